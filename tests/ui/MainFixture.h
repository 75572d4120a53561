#pragma once

#include "settings/ProgramDir.h"
#include "tests/ui/MessageRecorder.h"
#include "ui/FrmMain.h"
#include "ui/MainToolEnvironment.h"
#include "ui/PaintBox.h"
#include "ui/PictureView.h"

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

// A widget or menu item of the main window, found as the user knows it: by
// its object name.
template <class T>
T* Named(const QObject& owner, const QString& name)
{
    T* found = owner.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline TPaintBox* PaintBoxOf(const TFrmMain& main) { return Named<TPaintBox>(main.View(), "PaintBox1"); }

// A pointer event on the main window's paint box at a device position (the
// offscreen screen has one device pixel per logical pixel).
inline void SendMouse(TFrmMain& main, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    TPaintBox* box = PaintBoxOf(main);
    QMouseEvent event(type, QPointF(at), box->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &event);
}

// A picture's pixel as the toolkit's colour.
inline QRgb PicturePixel(const TBitmap& picture, int x, int y)
{
    const std::uint8_t* p = picture.ScanLine(y) + std::size_t(x) * 3;
    return qRgb(p[2], p[1], p[0]);
}

// A main window with all its long-lived windows, shown on the offscreen
// screen, whose program directory is a fresh temporary folder. Its dialogs
// are answered by the test: the file dialogs return what the test put in
// OpenAnswer and SaveAnswer, messages are collected (also those shown while
// the window closes), and the help viewer is not started.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        OverrideProgramDir(Folder.path().toStdString());
        StartAgain();
    }

    // A new main window on the same program folder, as the next run of the
    // editor would find it.
    void StartAgain()
    {
        Main.reset();
        Main = TFrmMain::CreateWindows();
        Main->SetOpenDialog([this](QWidget*, const TFileRequest& request) {
            OpenRequests.push_back(request);
            return OpenAnswer;
        });
        Main->SetSaveDialog([this](QWidget*, const TFileRequest& request) {
            SaveRequests.push_back(request);
            return SaveAnswer;
        });
        Main->SetUrlOpener([this](const QUrl& url) {
            OpenedUrls << url;
            return true;
        });
        Main->resize(900, 700);
        Main->show();
        Settle();
    }

    void TearDown() override
    {
        Main.reset();
        OverrideProgramDir("");
    }

    // Lets the layout hand out new sizes, and the view follow them.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // Answers the next modal dialog of type T, once it is on the screen.
    template <class T>
    static void WhenShown(std::function<void(T&)> answer)
    {
        auto* poll = new QTimer(qApp);
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            // The answer may run a dialog of its own; this poll is done.
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        });
        poll->start();
    }

    // The main window's widgets and its long-lived windows.
    QAction* Item(const char* name) const { return Named<QAction>(*Main, name); }
    QToolButton* Button(const char* name) const { return Named<QToolButton>(*Main, name); }
    QMenu* RecentFilesMenu() const { return Named<QMenu>(*Main, "MenuRecentFiles"); }
    QLabel* StatusPanel(int index) const { return Named<QLabel>(*Main, QString("StatusPanel%1").arg(index)); }
    QScrollBar* HorzScrollBar() const { return Named<QScrollBar>(Main->View(), "HorzScrollBar"); }
    QScrollBar* VertScrollBar() const { return Named<QScrollBar>(Main->View(), "VertScrollBar"); }
    TPaintBox* PaintBox() const { return PaintBoxOf(*Main); }
    template <class TWindow>
    TWindow* Window() const
    {
        auto* window = Main->findChild<TWindow*>();
        EXPECT_NE(window, nullptr);
        return window;
    }
    // The document as the drawing tools reach it, for a test that stands in
    // for one.
    TMainToolEnvironment Tools() const { return TMainToolEnvironment(*Main); }

    static QString Photo(const char* name) { return QStringLiteral(LQ_PHOTO_DIR "/") + name; }

    // A copy of a test photo in the temporary folder under another name.
    QString CopyOf(const char* photo, const QString& name) const
    {
        const QString path = Folder.filePath(name);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(Photo(photo), path));
        return path;
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = Folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    void Open(const QString& path)
    {
        Main->OpenFile(path);
        Settle();
    }

    QTemporaryDir Folder;
    TMessageRecorder Recorder;
    QStringList& Messages = Recorder.Messages;
    std::unique_ptr<TFrmMain> Main;
    std::vector<TFileRequest> OpenRequests;
    std::vector<TFileRequest> SaveRequests;
    std::optional<TFileChoice> OpenAnswer;
    std::optional<TFileChoice> SaveAnswer;
    QList<QUrl> OpenedUrls;
};
