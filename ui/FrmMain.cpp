#include "ui/FrmMain.h"

#include "settings/ProgramDir.h"
#include "tools/ToolBox.h"
#include "ui/Cursors.h"
#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/Icons.h"
#include "ui/MainToolEnvironment.h"
#include "ui/Message.h"
#include "ui/PaintBox.h"

#include <QAction>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QString PlainCaption(QString caption) { return caption.remove('&'); }

} // namespace

TFrmMain::TFrmMain(QWidget* parent)
    : QMainWindow(parent)
    , History(UserFile(HistoryFolderName))
    , OpenUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
    , ToolEnvironment(std::make_unique<TMainToolEnvironment>(*this))
    , ToolBox(std::make_unique<TToolBox>(*ToolEnvironment))
{
    setObjectName("FrmMain");
    setWindowTitle(QStringLiteral("Lumenquilla Professional Edition"));
    // Pictures and projects dragged from a file manager open here.
    setAcceptDrops(true);
    setWindowIcon(IconFor(TIcon::Application));
    CreateMenus();
    CreateToolBar();
    CreateView();
    CreateStatusBar();
    setMinimumSize(377, 254);
    // The size the window returns to when it is no longer maximized.
    resize(960, 680);
    ShowToolOptionPage();
}

TFrmMain::~TFrmMain()
{
    // Late resize and pointer events must not reach the view while the
    // document goes, and the panels hold references into the document and
    // the history: the view and the windows are deleted here, before them.
    Destroying = true;
    delete centralWidget();
    delete FrmToolOption;
    delete FrmTools;
    delete FrmLayers;
    delete FrmHistory;
}

QAction* TFrmMain::AddItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                           void (TFrmMain::*command)())
{
    QAction* item = menu->addAction(caption);
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    if (command)
        connect(item, &QAction::triggered, this, [this, command] { (this->*command)(); });
    return item;
}

void TFrmMain::CreateMenus()
{
    QMenuBar* bar = menuBar();
    MenuFile = bar->addMenu(QStringLiteral("File"));
    MenuItem_Open = AddItem(MenuFile, "&Open", QKeySequence("Ctrl+O"), &TFrmMain::OpenPicture);
    MenuItem_SaveAs = AddItem(MenuFile, "&Save", QKeySequence("Ctrl+S"), &TFrmMain::Save);
    MenuRecentFiles = MenuFile->addMenu(QStringLiteral("Recent Files"));
    MenuRecentFiles->setObjectName("MenuRecentFiles");
    MenuFile->addSeparator();
    MenuItem_Options = AddItem(MenuFile, "Options", {}, &TFrmMain::ShowOptions);
    MenuFile->addSeparator();
    MenuItem_Exit = AddItem(MenuFile, "E&xit", QKeySequence("Ctrl+Q"), &TFrmMain::ExitProgram);

    MenuEdit = bar->addMenu(QStringLiteral("Edit"));
    MenuItem_Undo = AddItem(MenuEdit, "Undo", QKeySequence("Ctrl+Z"), &TFrmMain::Undo);
    MenuItem_Redo = AddItem(MenuEdit, "Redo", {}, &TFrmMain::Redo);
    // The combinations other programs use for Redo work too; the first is shown.
    MenuItem_Redo->setShortcuts({QKeySequence("Ctrl+Alt+Z"), QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    MenuEdit->addSeparator();
    MenuItem_Copy = AddItem(MenuEdit, "&Copy to Clipboard", QKeySequence("Ctrl+C"), &TFrmMain::CopyToClipboard);

    MenuCartoon = bar->addMenu(QStringLiteral("Cartoon"));
    MenuItem_Classic = AddItem(MenuCartoon, "&Lumen Quilla", QKeySequence("Ctrl+I"), nullptr);
    MenuCartoon->addSeparator();
    MenuItem_Cartoon = AddItem(MenuCartoon, "Shortcut: Cartoon", {}, nullptr);
    MenuItem_Sketch = AddItem(MenuCartoon, "Shortcut: Sketch", {}, nullptr);
    MenuItem_Linedrawing = AddItem(MenuCartoon, "Shortcut: Line Drawing", {}, nullptr);
    MenuItem_Canvas = AddItem(MenuCartoon, "Shortcut: Canvas", {}, nullptr);

    MenuAdjustments = bar->addMenu(QStringLiteral("Adjustments"));
    MenuItem_BrightContrast = AddItem(MenuAdjustments, "Brightness / Contrast", {}, &TFrmMain::ShowBrightContrast);
    MenuItem_Saturation = AddItem(MenuAdjustments, "Saturation", {}, &TFrmMain::ShowSaturation);
    MenuItem_ColorBalance = AddItem(MenuAdjustments, "Color Balance", {}, &TFrmMain::ShowColorBalance);
    connect(MenuItem_Classic, &QAction::triggered, this, [this] { RunCartoon({}); });
    const std::pair<QAction*, const char*> shortcuts[] = {{MenuItem_Cartoon, CartoonSetName},
                                                          {MenuItem_Sketch, SketchSetName},
                                                          {MenuItem_Linedrawing, LineDrawingSetName},
                                                          {MenuItem_Canvas, CanvasSetName}};
    for (const auto& [item, preset] : shortcuts)
        connect(item, &QAction::triggered, this, [this, preset = preset] { RunShortcut(preset); });

    MenuView = bar->addMenu(QStringLiteral("View"));
    MenuItem_ZoomIn = AddItem(MenuView, "Zoom In", {}, &TFrmMain::ZoomIn);
    MenuItem_ZoomOut = AddItem(MenuView, "Zoom Out", {}, &TFrmMain::ZoomOut);
    MenuItem_ActualPixels = AddItem(MenuView, "Actual Pixels", QKeySequence("Ctrl+0"), &TFrmMain::ActualPixels);
    MenuItem_FitWindow = AddItem(MenuView, "Fit in Window", QKeySequence("Ctrl+9"), &TFrmMain::FitInWindow);
    // And the zoom keys of other picture programs.
    MenuItem_ZoomIn->setShortcuts({QKeySequence("Ctrl+Right"), QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")});
    MenuItem_ZoomOut->setShortcuts({QKeySequence("Ctrl+Left"), QKeySequence("Ctrl+-")});

    // The panel toggles: one check item each, which the tool bar shows as a
    // two-state button, so that menu, button and panel are always in step.
    MenuWindow = bar->addMenu(QStringLiteral("Window"));
    MenuItem_History = AddItem(MenuWindow, "History", {}, nullptr);
    MenuItem_Layers = AddItem(MenuWindow, "Layers", {}, nullptr);
    MenuItem_Tools = AddItem(MenuWindow, "Tools", {}, nullptr);
    MenuItem_ToolOption = AddItem(MenuWindow, "Tool Option", {}, nullptr);
    for (QAction* item : {MenuItem_History, MenuItem_Layers, MenuItem_Tools, MenuItem_ToolOption}) {
        item->setCheckable(true);
        item->setChecked(true);
    }

    MenuHelp = bar->addMenu(QStringLiteral("Help"));
    Content1 = AddItem(MenuHelp, "&Content", QKeySequence("F1"), &TFrmMain::ShowContent);
    About1 = AddItem(MenuHelp, "&About", {}, &TFrmMain::ShowAbout);

    const std::pair<QAction*, const char*> names[] = {
        {MenuItem_Open, "MenuItem_Open"},
        {MenuItem_SaveAs, "MenuItem_SaveAs"},
        {MenuItem_Options, "MenuItem_Options"},
        {MenuItem_Exit, "MenuItem_Exit"},
        {MenuItem_Undo, "MenuItem_Undo"},
        {MenuItem_Redo, "MenuItem_Redo"},
        {MenuItem_Copy, "MenuItem_Copy"},
        {MenuItem_Classic, "MenuItem_Classic"},
        {MenuItem_Cartoon, "MenuItem_Cartoon"},
        {MenuItem_Sketch, "MenuItem_Sketch"},
        {MenuItem_Linedrawing, "MenuItem_Linedrawing"},
        {MenuItem_Canvas, "MenuItem_Canvas"},
        {MenuItem_BrightContrast, "MenuItem_BrightContrast"},
        {MenuItem_Saturation, "MenuItem_Saturation"},
        {MenuItem_ColorBalance, "MenuItem_ColorBalance"},
        {MenuItem_ZoomIn, "MenuItem_ZoomIn"},
        {MenuItem_ZoomOut, "MenuItem_ZoomOut"},
        {MenuItem_ActualPixels, "MenuItem_ActualPixels"},
        {MenuItem_FitWindow, "MenuItem_FitWindow"},
        {MenuItem_History, "MenuItem_History"},
        {MenuItem_Layers, "MenuItem_Layers"},
        {MenuItem_Tools, "MenuItem_Tools"},
        {MenuItem_ToolOption, "MenuItem_ToolOption"},
        {Content1, "Content1"},
        {About1, "About1"},
    };
    for (const auto& [item, name] : names)
        item->setObjectName(name);

    // Until a picture is open only Open, Options, Exit, the panel toggles,
    // Help and About can be chosen.
    for (QAction* item :
         {MenuItem_SaveAs, MenuItem_Undo, MenuItem_Redo, MenuItem_Copy, MenuItem_Classic, MenuItem_Cartoon,
          MenuItem_Sketch, MenuItem_Linedrawing, MenuItem_Canvas, MenuItem_BrightContrast, MenuItem_Saturation,
          MenuItem_ColorBalance, MenuItem_ZoomIn, MenuItem_ZoomOut, MenuItem_ActualPixels, MenuItem_FitWindow})
        item->setEnabled(false);
}

QToolButton* TFrmMain::AddButton(QAction* action, TIcon icon)
{
    action->setIcon(IconFor(icon));
    QString tip = PlainCaption(action->text());
    if (!action->shortcut().isEmpty())
        tip += " (" + action->shortcut().toString(QKeySequence::NativeText) + ")";
    action->setToolTip(tip);
    ToolBar1->addAction(action);
    auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(action));
    button->setObjectName(action->objectName().replace("MenuItem_", "Tol_"));
    return button;
}

void TFrmMain::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("Tool Bar"));
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Tol_Open = AddButton(MenuItem_Open, TIcon::Open);
    Tol_SaveAs = AddButton(MenuItem_SaveAs, TIcon::Save);
    Tol_Copy = AddButton(MenuItem_Copy, TIcon::Copy);
    Tol_Undo = AddButton(MenuItem_Undo, TIcon::Undo);
    Tol_Redo = AddButton(MenuItem_Redo, TIcon::Redo);
    ToolBar1->addSeparator();
    Tol_ZoomIn = AddButton(MenuItem_ZoomIn, TIcon::ZoomIn);
    Tol_ZoomOut = AddButton(MenuItem_ZoomOut, TIcon::ZoomOut);
    Tol_ActualPixels = AddButton(MenuItem_ActualPixels, TIcon::ActualPixels);
    ToolBar1->addSeparator();
    Tol_Classic = AddButton(MenuItem_Classic, TIcon::Cartoon);
    ToolBar1->addSeparator();
    Tol_History = AddButton(MenuItem_History, TIcon::History);
    Tol_Layers = AddButton(MenuItem_Layers, TIcon::Layers);
    Tol_Tools = AddButton(MenuItem_Tools, TIcon::Tools);
    Tol_ToolOption = AddButton(MenuItem_ToolOption, TIcon::ToolOption);
    ToolBar1->addSeparator();
    Tol_Help = AddButton(Content1, TIcon::Help);
    Tol_Help->setObjectName("Tol_Help");
}

void TFrmMain::CreateView()
{
    auto* client = new QWidget(this);
    client->setObjectName("ViewClient");
    PaintBox1 = new TPaintBox(client);
    HorzScrollBar = new QScrollBar(Qt::Horizontal, client);
    HorzScrollBar->setObjectName("HorzScrollBar");
    VertScrollBar = new QScrollBar(Qt::Vertical, client);
    VertScrollBar->setObjectName("VertScrollBar");
    for (QScrollBar* bar : {HorzScrollBar, VertScrollBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, &TFrmMain::ScrollBarMoved);
    }
    auto* grid = new QGridLayout(client);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(PaintBox1, 0, 0);
    grid->addWidget(VertScrollBar, 0, 1);
    grid->addWidget(HorzScrollBar, 1, 0);
    setCentralWidget(client);

    connect(PaintBox1, &TPaintBox::Resized, this, &TFrmMain::PaintBoxResized);
    connect(PaintBox1, &TPaintBox::PointerPressed, this, &TFrmMain::PointerPressed);
    connect(PaintBox1, &TPaintBox::PointerMoved, this, &TFrmMain::PointerMoved);
    connect(PaintBox1, &TPaintBox::PointerReleased, this, &TFrmMain::PointerReleased);
    connect(PaintBox1, &TPaintBox::WheelTurned, this, &TFrmMain::WheelTurned);
}

void TFrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    StatusPanel0 = new QLabel(bar);
    StatusPanel1 = new QLabel(bar);
    StatusPanel2 = new QLabel(bar);
    const std::pair<QLabel*, int> panels[] = {{StatusPanel0, 100}, {StatusPanel1, 50}, {StatusPanel2, 50}};
    int index = 0;
    for (const auto& [panel, width] : panels) {
        panel->setObjectName(QString("StatusPanel%1").arg(index++));
        panel->setMinimumWidth(width);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel, panel == StatusPanel2 ? 1 : 0);
    }
}

void TFrmMain::UpdateCommands()
{
    for (QAction* item :
         {MenuItem_Open, MenuItem_SaveAs, MenuItem_Copy, MenuItem_History, MenuItem_Classic, MenuItem_Cartoon,
          MenuItem_Sketch, MenuItem_Linedrawing, MenuItem_Canvas, MenuItem_BrightContrast, MenuItem_Saturation,
          MenuItem_ColorBalance, MenuItem_ZoomIn, MenuItem_ZoomOut, MenuItem_ActualPixels, MenuItem_FitWindow})
        item->setEnabled(true);
    MenuItem_Undo->setEnabled(History.CanUndo());
    MenuItem_Redo->setEnabled(History.CanRedo());
    SetDrawToolsForZoom();
}

void TFrmMain::DisableCommands()
{
    for (QAction* item :
         {MenuItem_Open, MenuItem_SaveAs, MenuItem_Classic, MenuItem_Cartoon, MenuItem_Sketch, MenuItem_Linedrawing,
          MenuItem_Canvas, MenuItem_BrightContrast, MenuItem_Saturation, MenuItem_ColorBalance})
        item->setEnabled(false);
}

void TFrmMain::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}
