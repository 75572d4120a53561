#pragma once

#include "document/Document.h"
#include "document/History.h"
#include "document/Rect.h"
#include "tools/ToolCodes.h"
#include "ui/CommandTable.h"
#include "ui/FileDialogs.h"
#include "ui/FrmBatch.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QUrl;
class TFrmAbout;
class TFrmBatchProgress;
class TFrmColorMoreOption;
class TFrmHistory;
class TFrmLayers;
class TFrmOptions;
class TFrmSketchMoreOption;
class TFrmToolOption;
class TFrmTools;
class TPanelWindow;
class TPictureView;
class TTool;
class TToolBox;
class TToolEnvironment;
struct TAdjustmentHost;
struct TPicturePoint;

// Whether the cartoon command fits the preset to the picture (Shortcut: Auto).
enum class TFitToPicture { No, Yes };

// The main window: menus, tool bar, the picture view and the status bar. It
// owns the document, the undo history and every long-lived window, runs the
// commands and routes pointer events on the view to the current tool.
//
// Split by aspect: FrmMain.cpp builds the window and enables its commands,
// FrmMainCommands.cpp runs the commands, FrmMainView.cpp ties the view to the
// document and the tools, and FrmMainStartup.cpp creates the windows and
// handles showing and closing. The widgets are its own; tests find them by
// their object names.
class TFrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // The main window, then every long-lived window it owns, in start-up order.
    static std::unique_ptr<TFrmMain> CreateWindows();

    const TDocument& Document() const { return CurrentDocument; }
    THistory& History() { return UndoHistory; }
    const TPictureView& View() const { return *PictureView; }
    // The file name the document was last opened from.
    const std::string& DocumentFileName() const { return OpenedFileName; }

    // The dialogs the commands use; tests put their own answers in. Messages
    // go through ShowMessage (Message.h), which tests can take over too.
    void SetOpenDialog(TFileDialogFunction dialog) { OpenDialog = std::move(dialog); }
    void SetSaveDialog(TFileDialogFunction dialog) { SaveDialog = std::move(dialog); }
    void SetUrlOpener(std::function<bool(const QUrl& url)> opener) { OpenUrl = std::move(opener); }
    void SetBatchDialog(TBatchDialogFunction dialog) { BatchDialog = std::move(dialog); }
    // The window of the batch last started, while it is open.
    TFrmBatchProgress* BatchWindow() const;
    // Asks OK or Cancel; true for OK.
    void SetConfirmDialog(std::function<bool(QWidget* parent, const QString& text)> dialog)
    {
        ConfirmDialog = std::move(dialog);
    }

    // Commands.
    void OpenPicture();
    // Opens a file chosen in the open dialog; the extension decides how.
    void OpenFile(const QString& fileName);
    // Files named on the command line or dropped on the window: the first
    // one opens as if chosen in the open dialog, which also starts there
    // next time.
    void OpenFiles(const QStringList& fileNames);
    void Save();
    // File > Batch (FrmMainBatch.cpp): the batch window, then the batch on
    // worker threads behind a progress window of its own while the editor
    // stays in use. With a batch still running, its window comes to the front
    // instead.
    void ShowBatch();
    void CopyToClipboard();
    void Undo();
    void Redo();
    // The object committed last becomes pending again with its tool, as long
    // as no other history step has followed; committing it replaces its step.
    void EditLastObject();
    void ShowOptions();
    // The adjustments (FrmMainAdjustments.cpp).
    void ShowBrightContrast();
    void ShowSaturation();
    void ShowColorBalance();
    void ShowContent();
    void ShowAbout();
    void ExitProgram();
    // The cartoon command: the preview dialog (with the preset file loaded
    // when one is named), then the effect on the whole picture behind the
    // progress dialog, the layers, the layers panel and one history state.
    void RunCartoon(const QString& presetFile, TFitToPicture fit = TFitToPicture::No);
    // A shortcut: RunCartoon with the preset of that name beside the program.
    void RunShortcut(const char* presetName, TFitToPicture fit = TFitToPicture::No);
    void ZoomIn();
    void ZoomOut();
    void ActualPixels();
    // The largest zoom step that shows the whole picture.
    void FitInWindow();

    // Enables the commands by the command table: those that need a picture
    // once one is open, Undo and Redo from the history, and the drawing tools
    // for the zoom. Ends DisableCommands.
    void UpdateCommands();
    // While a drawing tool places an object: off go the commands that would
    // drop it (opening a file, saving, the cartoon commands, the adjustments).
    void DisableCommands();
    // Records the document as the next history state and lists it.
    void RecordHistory(const std::string& operation, const std::string& comment);

    // The view.
    const TRect& ViewRect() const;
    TToolCode CurrentTool() const { return Tool; }
    // Makes a tool current with its palette button down.
    void SetCurrentTool(TToolCode tool);
    void PaintRect(const TRect& rect);
    // Rebuilds the visible part of the composite and shows it; the current
    // tool draws its outline again over it.
    void RefreshView();
    void RefreshToolPreview();
    // The current tool's option page, and its cursor over the view.
    void ShowToolOptionPage();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The drawing tools reach the document, the palette and the option panel
    // through it.
    friend class TMainToolEnvironment;

    // FrmMain.cpp
    void CreateMenus();
    void CreateToolBar();
    void CreateView();
    void CreateStatusBar();
    QAction* Action(TCommand command) const { return Actions[std::size_t(command)]; }
    // Sets every command's enabled state by the command table.
    void EnableCommands();
    // Runs a command; whatever it throws reaches ReportError.
    void Guarded(const std::function<void()>& command);

    // FrmMainCommands.cpp
    // The one place every error of a command is shown.
    void ReportError(const std::exception& error);
    // What opening does once the document holds the new pictures. A failure
    // to record the history state is returned, to be reported once the
    // window shows the picture and the busy cursor is gone.
    std::exception_ptr FinishOpen(const std::string& fileName);
    void ReportPending(std::exception_ptr error);
    // The history cannot be written (a full disk, most often): said once,
    // after the command that met it, until states are written again.
    void ReportHistoryProblem(const std::string& reason, bool now = false);
    // What Undo, Redo and a chosen history row do once a state is read.
    void FinishRestore();
    void ShowText(const QString& text);
    // The folder the open dialog starts in, kept in the options.
    QString LastOpenDirectory() const;
    void SetLastOpenDirectory(const QString& directory);
    void RememberOpened(const std::string& fileName);
    void FillRecentFilesMenu();
    // Writes the list beside the options and refills the menu.
    void StoreRecentFiles();
    // The history step of the current tool, with its table texts; tools
    // without one add nothing.
    void RecordToolStep();
    // Whether Edit Last Object has an object to open, with the drawing tools
    // available at this zoom.
    bool CanEditLastObject() const;
    // The same step in place of the current one: an object edited again.
    void ReplaceToolStep();
    // The Delete key released in the main window or a panel: the hand
    // becomes the current tool.
    void DeleteKeyReleased();
    // The commit button of an object page: the object is committed and the
    // hand becomes the current tool.
    void CommitButtonClicked();
    // Undo, Redo and the history list first cancel an object being placed.
    void DropPendingObject();
    // The user chose a row of the history panel: its state is restored.
    void HistoryRowChosen(int row);

    // FrmMainCartoon.cpp
    // Records a history state whose comment names the effect's settings.
    void AddEffectHistory(const std::string& operation, const TEffectSettings& settings);

    // FrmMainAdjustments.cpp
    TAdjustmentHost AdjustmentHost();
    // One modal showing of an adjustment dialog, created for it and destroyed after it.
    template <class TDialog>
    void RunAdjustment();

    // FrmMainView.cpp
    // The object that handles the current tool's pointer events; nullptr
    // for none.
    TTool* CurrentToolObject() const;
    // Keeps the scroll positions, held to the new ranges.
    void UpdateScrollBars();
    // The scroll positions given, in picture pixels, held to the ranges.
    void UpdateScrollBars(QPoint position);
    // The status panels and the tool's page and cursor after the bars changed.
    void ShowViewState();
    void SetZoomStep(int step);
    void SetZoomStep(int step, QPoint anchor);
    void SetDrawToolsForZoom();
    void UpdateViewCursor();
    // The hand: scrolls by picture pixels as far as the bars go.
    void ScrollViewBy(int dx, int dy);
    // The closed hand while the hand tool holds the picture.
    void SetViewGrabbing(bool grabbing);
    // The shape of the view's cursor over a placed object; the tool's own
    // cursor comes back with ShowToolOptionPage.
    void SetViewShape(Qt::CursorShape shape);
    void ViewResized();
    void ZoomTurned(int notches, QPoint anchor);
    void PointerPressed(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons);
    void PointerMoved(TPicturePoint point, Qt::MouseButtons buttons);
    void PointerReleased(TPicturePoint point, Qt::MouseButton button, Qt::MouseButtons buttons);

    // FrmMainStartup.cpp
    // Ties a panel to its Window menu check item and tool bar button, and
    // passes its Delete key on.
    void BindPanel(TPanelWindow* panel, QAction* toggle);
    void ConnectWindows();
    void ShowPanels();
    void PlacePanels();
    void FillWorkAreaIfNotMaximized();
    static constexpr int WindowManagerGraceMs = 700;
    void ToolChosen(TToolCode tool);
    // Offers back the work earlier runs left unsaved or lost in a crash.
    void OfferEarlierWork();
    // Shows a history state's write that failed in the background; `now`
    // at the close, when no event follows to show it.
    void ReportHistoryWriteError(bool now = false);

    TDocument CurrentDocument;
    THistory UndoHistory;

    TFileDialogFunction OpenDialog = RunOpenDialog;
    TFileDialogFunction SaveDialog = RunSaveDialog;
    std::function<bool(const QUrl& url)> OpenUrl;
    std::function<bool(QWidget* parent, const QString& text)> ConfirmDialog;
    TBatchDialogFunction BatchDialog = RunBatchDialog;
    // What the batch window showed last, to start from next time.
    TBatchChoice LastBatch;
    QPointer<TFrmBatchProgress> BatchProgress;

    // Long-lived windows, in the order they are created.
    TFrmOptions* FrmOptions = nullptr;
    // The preview dialog's two option dialogs; each preview dialog attaches
    // to them while it lives.
    TFrmSketchMoreOption* FrmSketchMoreOption = nullptr;
    TFrmColorMoreOption* FrmColorMoreOption = nullptr;
    TFrmHistory* FrmHistory = nullptr;
    TFrmAbout* FrmAbout = nullptr;
    TFrmLayers* FrmLayers = nullptr;
    TFrmTools* FrmTools = nullptr;
    TFrmToolOption* FrmToolOption = nullptr;

    // The menu items, by command; the tool bar's buttons run them and share
    // their enabled and checked states.
    std::array<QAction*, CommandCount> Actions{};
    QMenu* RecentFilesMenu = nullptr;
    TPictureView* PictureView = nullptr;
    // Status panels: picture size, zoom, and one left empty.
    QLabel* SizePanel = nullptr;
    QLabel* ZoomPanel = nullptr;
    QLabel* SparePanel = nullptr;

    TToolCode Tool = TToolCode::None;
    // Set by DisableCommands until UpdateCommands.
    bool ObjectPending = false;
    // The tools, working on this window through the environment.
    std::unique_ptr<TToolEnvironment> ToolEnvironment;
    std::unique_ptr<TToolBox> ToolBox;
    bool FirstShown = false;
    bool HistoryProblemShown = false;
    bool Destroying = false;
    std::string OpenedFileName;
    // Panels not yet drawn on the screen since start-up, whose frames the
    // placement does not know yet.
    QSet<QObject*> UnplacedPanels;
    // The recent files, newest first, as the File menu lists them.
    std::vector<std::string> RecentFiles;
};
