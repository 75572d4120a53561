#include "Main.h"

#include "About.h"
#include "BmpFile.h"
#include "FileError.h"
#include "FileNames.h"
#include "JpegFile.h"
#include "Layers.h"
#include "Message.h"
#include "Options.h"
#include "P2CFile.h"
#include "ProgramDir.h"
#include "Resample.h"
#include "ShowHistory.h"
#include "Tool.h"
#include "ToolOption.h"
#include "Tools.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QUrl>

#include <new>
#include <utility>

namespace {

// The user guide beside the program, used when there is no help file.
constexpr const char* UserGuideName = "help/index.html";

// The busy cursor over the whole program while a file is read or written. It
// is put on the screen at once, before the long work starts, and taken off
// by Restore or at the end of the scope.
class TBusyCursor
{
public:
    TBusyCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Lets the cursor change and the closed dialog's area repaint before
        // the event loop stops for the work.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~TBusyCursor() { Restore(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    void Restore()
    {
        if (Active)
            QApplication::restoreOverrideCursor();
        Active = false;
    }

private:
    bool Active = true;
};

std::string LocalPath(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }
QString ShownPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QList<TFileFilter> OpenFilters()
{
    return {
        {"All Picture(*.jpg;*.jpeg;*.bmp;*.p2c)", {"*.jpg", "*.jpeg", "*.bmp", "*.p2c"}},
        {"JPEG Image File (*.jpg)", {"*.jpg"}},
        {"JPEG Image File (*.jpeg)", {"*.jpeg"}},
        {"Bitmaps (*.bmp)", {"*.bmp"}},
        {"Rorav Id Arezudu File(*.p2c)", {"*.p2c"}},
        {"All File(*.*)", {"*"}},
    };
}

QList<TFileFilter> SaveFilters()
{
    return {
        {"Bitmaps (*.bmp)", {"*.bmp"}},
        {"JPEG Image File (*.jpg)", {"*.jpg"}},
        {"Rorav Id Arezudu File(*.p2c)", {"*.p2c"}},
    };
}

QString StartDirectory()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

} // namespace

void TFrmMain::ShowText(const QString& text) { ShowMessage(this, text); }

void TFrmMain::ReportError(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error))
        ShowText(QStringLiteral("There is not enough memory to do this."));
    else
        ShowText(QString::fromStdString(error.what()));
}

void TFrmMain::OpenPicture()
{
    Guarded([this] {
        TFileRequest request;
        request.Caption = QStringLiteral("Open");
        request.Filters = OpenFilters();
        request.FilterIndex = 1;
        request.Directory = LastOpenDirectory.isEmpty() ? StartDirectory() : LastOpenDirectory;
        const std::optional<TFileChoice> choice = OpenDialog(this, request);
        if (!choice || choice->FileName.isEmpty())
            return;
        LastOpenDirectory = QFileInfo(choice->FileName).absolutePath();
        OpenFile(choice->FileName);
    });
}

void TFrmMain::OpenFile(const QString& fileName)
{
    Guarded([&] {
        const std::string path = LocalPath(fileName);
        bool opened = false;
        switch (FileKindOf(path)) {
        case TFileKind::Jpeg:
            opened = OpenPhoto(path, true);
            break;
        case TFileKind::Bitmap:
            opened = OpenPhoto(path, false);
            break;
        case TFileKind::Project:
            opened = OpenProject(path);
            break;
        case TFileKind::None:
            break;
        }
        if (!opened)
            ShowText(fileName + " open failed.");
    });
}

bool TFrmMain::OpenPhoto(const std::string& fileName, bool jpeg)
{
    std::string warning;
    std::exception_ptr recordError;
    {
        TBusyCursor busy;
        // A file that cannot be read throws here, before the document is touched.
        TBitmap picture = jpeg ? ReadJpegFile(fileName, &warning) : ReadBmpFile(fileName);
        Document.InitialisePhoto(std::move(picture));
        recordError = FinishOpen(fileName);
    }
    if (!warning.empty())
        ShowText(QString::fromStdString(warning));
    ReportPending(recordError);
    return true;
}

bool TFrmMain::OpenProject(const std::string& fileName)
{
    std::exception_ptr recordError;
    {
        TBusyCursor busy;
        if (ReadProjectFile(fileName, Document) != 0) {
            busy.Restore();
            ShowText(ShownPath(fileName) + " is not a valid .p2c file.");
            return false;
        }
        Document.InitialiseProject();
        recordError = FinishOpen(fileName);
    }
    ReportPending(recordError);
    return true;
}

std::exception_ptr TFrmMain::FinishOpen(const std::string& fileName)
{
    ZoomStep = 0;
    CaptureResampleSource(Document.ViewBitmap);
    OpenedFileName = fileName;
    // The picture is open whether or not its history state can be written;
    // a failure is reported once the window shows the new picture.
    std::exception_ptr recordError;
    try {
        RecordHistory("Open", ShownPath(fileName).toStdString());
    } catch (...) {
        recordError = std::current_exception();
    }
    UpdateCommands();
    // The layers panel shows what the open set, without refreshing anything.
    FrmLayers->ShowLayerState();
    SetCurrentTool(TToolCode::Hand);
    UpdateScrollBars();
    RefreshView();
    return recordError;
}

void TFrmMain::ReportPending(std::exception_ptr error)
{
    if (!error)
        return;
    Guarded([&] { std::rethrow_exception(error); });
}

void TFrmMain::RecordHistory(const std::string& operation, const std::string& comment)
{
    History.RecordHistory(operation, comment, Document);
    FrmHistory->RefreshHistoryGrid();
}

void TFrmMain::RecordToolStep()
{
    const TToolInfo* info = FindTool(Tool);
    if (!info || !info->HistoryOperation)
        return;
    RecordHistory(info->HistoryOperation, info->HistoryDetail);
    // Undo reaches the new step.
    UpdateCommands();
}

void TFrmMain::Save()
{
    Guarded([this] {
        Document.RebuildAll();
        const TSaveProposal proposal = ProposeSaveName(OpenedFileName);
        TFileRequest request;
        request.Caption = QStringLiteral("Save");
        request.Filters = SaveFilters();
        request.FilterIndex = proposal.FilterIndex;
        request.Directory = ShownPath(OpenedFileName.substr(0, OpenedFileName.size() - FileNameOnly(OpenedFileName).size()));
        request.FileName = ShownPath(proposal.Name);
        const std::optional<TFileChoice> choice = SaveDialog(this, request);
        if (!choice || choice->FileName.isEmpty())
            return;

        const std::string path = WithSaveExtension(LocalPath(choice->FileName), choice->FilterIndex);
        TBusyCursor busy;
        switch (FileKindOf(path)) {
        case TFileKind::Jpeg:
            WriteJpegFile(path, Document.ViewBitmap, 90);
            break;
        case TFileKind::Bitmap:
            WriteBmpFile(path, Document.ViewBitmap);
            break;
        case TFileKind::Project:
            WriteProjectFile(path, Document);
            break;
        case TFileKind::None:
            // Writing nothing without a word would look like a saved file.
            busy.Restore();
            ShowText(ShownPath(path) + " was not saved: the name must end in .bmp, .jpg or .p2c.");
            break;
        }
    });
}

void TFrmMain::CopyToClipboard()
{
    Guarded([this] {
        TBusyCursor busy;
        Document.RebuildAll();
        const TBitmap& view = Document.ViewBitmap;
        const QImage picture(view.Bits(), view.Width(), view.Height(), qsizetype(view.Stride()),
                             QImage::Format_BGR888);
        // A copy in the format every program takes; the composite changes later.
        QGuiApplication::clipboard()->setImage(picture.convertToFormat(QImage::Format_RGB32));
    });
}

void TFrmMain::Undo()
{
    Guarded([this] {
        if (History.Undo(Document))
            FinishRestore();
    });
    // Also after a state that could not be read, so that the list and the
    // commands show where the history stands.
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::Redo()
{
    Guarded([this] {
        if (History.Redo(Document))
            FinishRestore();
    });
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::HistoryRowChosen(int row)
{
    // Nothing is listed before the first open; and the commands that need a
    // picture must not come on without one.
    if (!Document.PictureOpened)
        return;
    Guarded([this, row] {
        if (History.SelectRow(row, Document))
            FinishRestore();
    });
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::FinishRestore()
{
    FrmLayers->ShowLayerState();
    SetCurrentTool(TToolCode::Hand);
    UpdateScrollBars();
    RefreshView();
}

void TFrmMain::ShowOptions() { FrmOptions->exec(); }

void TFrmMain::ShowContent()
{
    Guarded([this] {
        QString target = QString::fromStdString(ProgramFile(HelpFileName));
        if (!QFileInfo::exists(target))
            target = QString::fromStdString(ProgramFile(UserGuideName));
        if (!QFileInfo::exists(target)) {
            ShowText("The user guide is missing: " + target);
            return;
        }
        if (!OpenUrl(QUrl::fromLocalFile(target)))
            ShowText("No program could be started to show the user guide " + target);
    });
}

void TFrmMain::ShowAbout()
{
    if (FrmAbout)
        FrmAbout->exec();
}

void TFrmMain::ExitProgram() { close(); }

void TFrmMain::DeleteKeyReleased()
{
    if (TTool* tool = CurrentToolObject())
        tool->Cancel();
    SetCurrentTool(TToolCode::Hand);
    ShowToolOptionPage();
}

void TFrmMain::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
        DeleteKeyReleased();
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}
