#pragma once

#include "settings/ProgramDir.h"
#include "tests/ui/MessageRecorder.h"
#include "ui/FrmMain.h"
#include "ui/PaintBox.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// A pointer event on the main window's paint box at a device position (the
// offscreen screen has one device pixel per logical pixel).
inline void SendMouse(TFrmMain& main, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), main.PaintBox1->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(main.PaintBox1, &event);
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
        Main = TFrmMain::CreateWindows();
        Main->OpenDialog = [this](QWidget*, const TFileRequest& request) {
            OpenRequests.push_back(request);
            return OpenAnswer;
        };
        Main->SaveDialog = [this](QWidget*, const TFileRequest& request) {
            SaveRequests.push_back(request);
            return SaveAnswer;
        };
        Main->OpenUrl = [this](const QUrl& url) {
            OpenedUrls << url;
            return true;
        };
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
