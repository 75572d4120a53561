#pragma once

#include "document/Document.h"
#include "document/History.h"
#include "document/Rect.h"
#include "document/ViewArithmetic.h"
#include "tools/ToolCodes.h"
#include "ui/FileDialogs.h"

#include <QMainWindow>
#include <QSet>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QScrollBar;
class QToolBar;
class QToolButton;
class QUrl;
class QWheelEvent;
class TFrmAbout;
class TFrmColorMoreOption;
class TFrmHistory;
class TFrmLayers;
class TFrmOptions;
class TFrmSketchMoreOption;
class TFrmToolOption;
class TFrmTools;
class TPaintBox;
class TPanelWindow;
class TTool;
class TToolBox;
class TToolEnvironment;
enum class TIcon;

// The main window: menus, tool bar, the picture view and the status bar. It
// owns the document, the undo history and every long-lived window, runs the
// commands and routes pointer events on the view to the current tool.
//
// Split by aspect: Main.cpp builds the window and enables its commands,
// MainCommands.cpp runs the commands, MainView.cpp is the view, and
// MainStartup.cpp creates the windows and handles showing and closing.
class TFrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // The main window, then every long-lived window it owns, in start-up order.
    static std::unique_ptr<TFrmMain> CreateWindows();

    TDocument Document;
    THistory History;

    // The dialogs the commands use; tests put their own answers in. Messages
    // go through ShowMessage (Message.h), which tests can take over too.
    TFileDialogFunction OpenDialog = RunOpenDialog;
    TFileDialogFunction SaveDialog = RunSaveDialog;
    std::function<bool(const QUrl& url)> OpenUrl;
    // Asks OK or Cancel; true for OK.
    std::function<bool(QWidget* parent, const QString& text)> ConfirmDialog;

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

    // Commands.
    void OpenPicture();
    // Opens a file chosen in the open dialog; the extension decides how.
    void OpenFile(const QString& fileName);
    // Files named on the command line or dropped on the window: the first
    // one opens as if chosen in the open dialog, which also starts there
    // next time.
    void OpenFiles(const QStringList& fileNames);
    void Save();
    void CopyToClipboard();
    void Undo();
    void Redo();
    void ShowOptions();
    // The adjustments (MainAdjustments.cpp).
    void ShowBrightContrast();
    void ShowSaturation();
    void ShowColorBalance();
    void ShowContent();
    void ShowAbout();
    void ExitProgram();
    // The cartoon command: the preview dialog (with the preset file loaded
    // when one is named), then the effect on the whole picture behind the
    // progress dialog, the layers, the layers panel and one history state.
    void RunCartoon(const QString& presetFile);
    // A shortcut: RunCartoon with the preset of that name beside the program.
    void RunShortcut(const char* presetName);
    // Records a history state whose comment names the effect's settings.
    void AddEffectHistory(const std::string& operation, const TEffectSettings& settings);
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
    // Enables the commands that need a document, Undo and Redo from the
    // history, and the drawing tools for the zoom.
    void UpdateCommands();
    // Disables Open, Save, the cartoon commands and the adjustments while a
    // drawing tool places an object; UpdateCommands ends it.
    void DisableCommands();
    // Records the document as the next history state and lists it.
    void RecordHistory(const std::string& operation, const std::string& comment);
    // The history step of the current tool, with its table texts; tools
    // without one add nothing.
    void RecordToolStep();
    // The one place every error of a command is shown.
    void ReportError(const std::exception& error);

    // The view.
    double ZoomRate() const { return ZoomRateOfStep(ZoomStep); }
    const TRect& ViewRect() const { return View; }
    TToolCode CurrentTool() const { return Tool; }
    // Makes a tool current with its palette button down.
    void SetCurrentTool(TToolCode tool);
    // The object that handles the current tool's pointer events; nullptr
    // for none.
    TTool* CurrentToolObject() const;
    void ComputeViewRect();
    // Keeps the scroll positions, held to the new ranges.
    void UpdateScrollBars();
    // The scroll positions given, in picture pixels, held to the ranges.
    void UpdateScrollBars(QPoint position);
    void PaintView();
    void PaintRect(const TRect& rect);
    void RefreshView();
    void RefreshToolPreview();
    void ShowToolOptionPage();
    void ZoomIn();
    void ZoomOut();
    void ActualPixels();
    // The largest zoom step that shows the whole picture.
    void FitInWindow();
    // The hand: scrolls by picture pixels as far as the bars go.
    void ScrollViewBy(int dx, int dy);
    // The closed hand while the hand tool holds the picture.
    void SetViewGrabbing(bool grabbing);
    // The shape of the view's cursor over a placed object; the tool's own
    // cursor comes back with ShowToolOptionPage.
    void SetViewShape(Qt::CursorShape shape);
    // The paint box's size in device pixels.
    QSize PaintSize() const;

    // The file name the document was last opened from.
    const std::string& DocumentFileName() const { return OpenedFileName; }

    // Controls, named as the design names them.
    QMenu* MenuFile = nullptr;
    QMenu* MenuRecentFiles = nullptr;
    QMenu* MenuEdit = nullptr;
    QMenu* MenuCartoon = nullptr;
    QMenu* MenuAdjustments = nullptr;
    QMenu* MenuView = nullptr;
    QMenu* MenuWindow = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuItem_Open = nullptr;
    QAction* MenuItem_SaveAs = nullptr;
    QAction* MenuItem_Options = nullptr;
    QAction* MenuItem_Exit = nullptr;
    QAction* MenuItem_Undo = nullptr;
    QAction* MenuItem_Redo = nullptr;
    QAction* MenuItem_Copy = nullptr;
    QAction* MenuItem_Classic = nullptr;
    QAction* MenuItem_Cartoon = nullptr;
    QAction* MenuItem_Sketch = nullptr;
    QAction* MenuItem_Linedrawing = nullptr;
    QAction* MenuItem_Canvas = nullptr;
    QAction* MenuItem_BrightContrast = nullptr;
    QAction* MenuItem_Saturation = nullptr;
    QAction* MenuItem_ColorBalance = nullptr;
    QAction* MenuItem_ZoomIn = nullptr;
    QAction* MenuItem_ZoomOut = nullptr;
    QAction* MenuItem_ActualPixels = nullptr;
    QAction* MenuItem_FitWindow = nullptr;
    QAction* MenuItem_History = nullptr;
    QAction* MenuItem_Layers = nullptr;
    QAction* MenuItem_Tools = nullptr;
    QAction* MenuItem_ToolOption = nullptr;
    QAction* Content1 = nullptr;
    QAction* About1 = nullptr;

    // The tool bar's buttons run the menu items they stand for and share
    // their enabled and checked states.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* Tol_Open = nullptr;
    QToolButton* Tol_SaveAs = nullptr;
    QToolButton* Tol_Copy = nullptr;
    QToolButton* Tol_Undo = nullptr;
    QToolButton* Tol_Redo = nullptr;
    QToolButton* Tol_ZoomIn = nullptr;
    QToolButton* Tol_ZoomOut = nullptr;
    QToolButton* Tol_ActualPixels = nullptr;
    QToolButton* Tol_Classic = nullptr;
    QToolButton* Tol_History = nullptr;
    QToolButton* Tol_Layers = nullptr;
    QToolButton* Tol_Tools = nullptr;
    QToolButton* Tol_ToolOption = nullptr;
    QToolButton* Tol_Help = nullptr;

    TPaintBox* PaintBox1 = nullptr;
    QScrollBar* HorzScrollBar = nullptr;
    QScrollBar* VertScrollBar = nullptr;
    // Status panels: picture size, zoom, and one left empty.
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Main.cpp
    void CreateMenus();
    void CreateToolBar();
    void CreateView();
    void CreateStatusBar();
    QAction* AddItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut, void (TFrmMain::*command)());
    QToolButton* AddButton(QAction* action, TIcon icon);
    // Runs a command; whatever it throws reaches ReportError.
    void Guarded(const std::function<void()>& command);

    // MainCommands.cpp
    // What opening does once the document holds the new pictures. A failure
    // to record the history state is returned, to be reported once the
    // window shows the picture and the busy cursor is gone.
    std::exception_ptr FinishOpen(const std::string& fileName);
    void ReportPending(std::exception_ptr error);
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
    void SetDrawToolsForZoom();

    // MainView.cpp
    void PaintBoxResized();
    void ScrollBarMoved();
    void PointerPressed(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons);
    void PointerMoved(QPoint position, Qt::MouseButtons buttons);
    void PointerReleased(QPoint position, Qt::MouseButton button, Qt::MouseButtons buttons);
    void WheelTurned(QWheelEvent* event);
    TPicturePoint PointerToPicture(QPoint position) const;
    // Zooms keeping the picture point under `anchor` (paint box device
    // pixels) in place; without one, the centre of the view.
    void SetZoomStep(int step);
    void SetZoomStep(int step, QPoint anchor);
    // Draws the screen pixels [x0, x1) x [y0, y1) of the scaled view rectangle.
    void StretchView(int x0, int x1, int y0, int y1);
    void UpdateViewCursor();
    static void ApplyScrollRange(QScrollBar* bar, const TScrollRange& range, double zoomRate, int position);

    // MainStartup.cpp
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
    // Shows a history state's write that failed in the background.
    void ReportHistoryWriteError();

    int ZoomStep = 0;
    TRect View{0, 0, 0, 0};
    TScrollRange HorzRange;
    TScrollRange VertRange;
    TToolCode Tool = TToolCode::None;
    // The tools, working on this window through the environment.
    std::unique_ptr<TToolEnvironment> ToolEnvironment;
    std::unique_ptr<TToolBox> ToolBox;
    bool Grabbing = false;
    // Wheel turns below one notch add up, for touchpads.
    int ZoomWheelTurn = 0;
    bool FirstShown = false;
    bool Destroying = false;
    std::string OpenedFileName;
    // Panels not yet drawn on the screen since start-up, whose frames the
    // placement does not know yet.
    QSet<QObject*> UnplacedPanels;
    // The recent files, newest first, as the File menu lists them.
    std::vector<std::string> RecentFiles;
};
