#include "ui/FrmMain.h"

#include "document/DocumentFiles.h"
#include "document/P2CFile.h"
#include "picture/FileError.h"
#include "picture/FileNames.h"
#include "settings/ProgramDir.h"
#include "settings/RecentFiles.h"
#include "tools/PlacedObject.h"
#include "tools/Tool.h"
#include "tools/ToolBox.h"
#include "ui/BusyCursor.h"
#include "ui/ClipboardPicture.h"
#include "ui/FrmAbout.h"
#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmOptions.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/Message.h"
#include "ui/PictureView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <new>
#include <utility>

namespace {

// The user guide beside the program, used when there is no help file.
constexpr const char* UserGuideName = "help/index.html";

std::string LocalPath(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }
QString ShownPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

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
        request.Filters = OpenFileFilters();
        request.FilterIndex = 1;
        request.Directory = LastOpenDirectory().isEmpty() ? StartDirectory() : LastOpenDirectory();
        const std::optional<TFileChoice> choice = OpenDialog(this, request);
        if (!choice || choice->FileName.isEmpty())
            return;
        SetLastOpenDirectory(QFileInfo(choice->FileName).absolutePath());
        OpenFile(choice->FileName);
    });
}

QString TFrmMain::LastOpenDirectory() const { return QString::fromStdString(FrmOptions->Extra().LastOpenDirectory); }

void TFrmMain::SetLastOpenDirectory(const QString& directory)
{
    FrmOptions->Extra().LastOpenDirectory = directory.toStdString();
}

void TFrmMain::RememberOpened(const std::string& fileName)
{
    AddRecentFile(RecentFiles, fileName);
    StoreRecentFiles();
}

void TFrmMain::StoreRecentFiles()
{
    // Not being able to keep the list costs only the convenience.
    WriteRecentFiles(UserFile(RecentFilesName), RecentFiles);
    FillRecentFilesMenu();
}

void TFrmMain::FillRecentFilesMenu()
{
    RecentFilesMenu->clear();
    for (const std::string& file : RecentFiles) {
        const QString name = QFile::decodeName(file.c_str());
        QAction* item = RecentFilesMenu->addAction(QFileInfo(name).fileName());
        item->setToolTip(name);
        item->setStatusTip(name);
        connect(item, &QAction::triggered, this, [this, name] {
            if (!QFileInfo::exists(name)) {
                ShowText(name + " no longer exists.");
                RecentFiles.erase(std::remove(RecentFiles.begin(), RecentFiles.end(), name.toStdString()),
                                  RecentFiles.end());
                StoreRecentFiles();
                return;
            }
            OpenFiles({name});
        });
    }
    // The menu is on while there is a file in it, and its files while no
    // object is pending.
    EnableCommands();
}

void TFrmMain::OpenFiles(const QStringList& fileNames)
{
    if (fileNames.isEmpty())
        return;
    const QFileInfo file(fileNames.first());
    SetLastOpenDirectory(file.absolutePath());
    OpenFile(file.absoluteFilePath());
}

namespace {

QStringList DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
    return files;
}

} // namespace

void TFrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    // Only while the window could open a file: not while a placed object
    // waits, when Open is disabled.
    if (Action(TCommand::Open)->isEnabled() && !DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmMain::dropEvent(QDropEvent* event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty() || !Action(TCommand::Open)->isEnabled())
        return;
    event->acceptProposedAction();
    // Opened once the drop has finished, so that the source program is not
    // kept waiting while the photo is read.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

void TFrmMain::OpenFile(const QString& fileName)
{
    Guarded([&] {
        const std::string path = LocalPath(fileName);
        TDocumentFileKind opened = TDocumentFileKind::None;
        std::string warning;
        std::exception_ptr recordError;
        {
            TBusyCursor busy;
            try {
                // A file that cannot be read throws here, before the document is touched.
                opened = OpenDocumentFile(path, CurrentDocument, &warning);
            } catch (const TNotAProject& error) {
                // Said so, then reported as a failed open like a file of no kind.
                busy.Restore();
                ShowText(QString::fromStdString(error.what()));
            }
            if (opened != TDocumentFileKind::None)
                recordError = FinishOpen(path);
        }
        if (opened == TDocumentFileKind::None) {
            ShowText(fileName + " open failed.");
            return;
        }
        if (!warning.empty())
            ShowText(QString::fromStdString(warning));
        ReportPending(recordError);
        RememberOpened(path);
    });
}

std::exception_ptr TFrmMain::FinishOpen(const std::string& fileName)
{
    // With the option set, a picture larger than the view opens fitted.
    const QSize paint = PictureView->PaintSize();
    const TBitmap& view = CurrentDocument.ViewBitmap;
    const bool large = view.Width() > paint.width() || view.Height() > paint.height();
    PictureView->ResetZoomStep(FrmOptions->Extra().FitLargePictures && large ? PictureView->FitStep() : 0);
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
    UpdateScrollBars(QPoint(0, 0));
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
    try {
        UndoHistory.RecordHistory(operation, comment, CurrentDocument);
    } catch (const TFileError& error) {
        // The change stands; only its step is not kept.
        ReportHistoryProblem(error.what());
    }
    FrmHistory->RefreshHistoryGrid();
}

void TFrmMain::ReportHistoryProblem(const std::string& reason, bool now)
{
    // Every step would meet the same problem until there is room again.
    if (HistoryProblemShown)
        return;
    HistoryProblemShown = true;
    const QString text = QStringLiteral("The undo history cannot be written to %1:\n%2\n\nYou can go on editing. Undo "
                                        "goes back through the steps written so far; the steps from now on are kept "
                                        "again as soon as the history can be written.")
                             .arg(ShownPath(UndoHistory.Folder()), QString::fromStdString(reason));
    if (now)
        ShowText(text);
    else
        QTimer::singleShot(0, this, [this, text] { ShowText(text); });
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

bool TFrmMain::CanEditLastObject() const
{
    return ToolBox && PictureView && PictureView->ZoomRate() >= 1.0 && ToolBox->ReopenableObject() != TToolCode::None;
}

void TFrmMain::EditLastObject()
{
    if (ObjectPending || !CanEditLastObject())
        return;
    // A stroke tool's outline goes first, as when another tool is chosen.
    if (TTool* current = CurrentToolObject())
        Guarded([current] { current->Commit(); });
    TPlacedObjectTool* object = ToolBox->PlacedTool(ToolBox->ReopenableObject());
    if (!object)
        return;
    SetCurrentTool(ToolBox->ReopenableObject());
    ShowToolOptionPage();
    object->Reopen();
}

void TFrmMain::ReplaceToolStep()
{
    const TToolInfo* info = FindTool(Tool);
    if (!info || !info->HistoryOperation)
        return;
    try {
        UndoHistory.ReplaceCurrent(info->HistoryOperation, info->HistoryDetail, CurrentDocument);
    } catch (const TFileError& error) {
        ReportHistoryProblem(error.what());
    }
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::Save()
{
    Guarded([this] {
        CurrentDocument.RebuildAll();
        const TSaveProposal proposal = ProposeSaveName(OpenedFileName);
        TFileRequest request;
        request.Caption = QStringLiteral("Save");
        request.Filters = SaveFileFilters();
        request.FilterIndex = proposal.FilterIndex;
        request.Directory =
            ShownPath(OpenedFileName.substr(0, OpenedFileName.size() - FileNameOnly(OpenedFileName).size()));
        request.FileName = ShownPath(proposal.Name);
        const std::optional<TFileChoice> choice = SaveDialog(this, request);
        if (!choice || choice->FileName.isEmpty())
            return;

        const std::string path = WithSaveExtension(LocalPath(choice->FileName), choice->FilterIndex);
        TBusyCursor busy;
        SaveDocumentFile(path, CurrentDocument, {choice->FilterIndex == SaveFilterWebPLossless});
        // Nothing of this state is lost when the program ends.
        UndoHistory.MarkCurrentSaved();
    });
    // The whole rebuild took the tool's outline out of the composite the
    // screen still shows it in: both show it again.
    RefreshView();
}

void TFrmMain::CopyToClipboard()
{
    Guarded([this] {
        TBusyCursor busy;
        CurrentDocument.RebuildAll();
        CopyPicture(CurrentDocument.ViewBitmap);
    });
    RefreshView();
}

void TFrmMain::Undo()
{
    DropPendingObject();
    Guarded([this] {
        std::string notice;
        if (UndoHistory.Undo(CurrentDocument, &notice))
            FinishRestore();
        // A state deleted or damaged behind the program's back was passed over.
        if (!notice.empty())
            ShowText(QString::fromStdString(notice));
    });
    // Also after a state that could not be read, so that the list and the
    // commands show where the history stands.
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::Redo()
{
    DropPendingObject();
    Guarded([this] {
        if (UndoHistory.Redo(CurrentDocument))
            FinishRestore();
    });
    FrmHistory->RefreshHistoryGrid();
    UpdateCommands();
}

void TFrmMain::HistoryRowChosen(int row)
{
    // Nothing is listed before the first open; and the commands that need a
    // picture must not come on without one.
    if (!CurrentDocument.PictureOpened)
        return;
    DropPendingObject();
    Guarded([this, row] {
        if (UndoHistory.SelectRow(row, CurrentDocument))
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

void TFrmMain::CommitButtonClicked()
{
    // The commit records the history step, which writes a file.
    if (TTool* tool = CurrentToolObject())
        Guarded([tool] { tool->Commit(); });
    SetCurrentTool(TToolCode::Hand);
    ShowToolOptionPage();
}

void TFrmMain::DropPendingObject()
{
    // A state read back replaces the layers under a pending object: the
    // object is cancelled first, as the Delete key would, so that it ends
    // cleanly even when the state cannot be read and the commands come back.
    const TToolInfo* info = FindTool(Tool);
    if (info && info->Kind == TToolKind::Placed)
        DeleteKeyReleased();
}

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
