#include "ui/FrmMain.h"

#include "picture/SafeFile.h"
#include "settings/ProgramDir.h"
#include "tools/ToolBox.h"
#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/Icons.h"
#include "ui/MainToolEnvironment.h"
#include "ui/Message.h"
#include "ui/PictureView.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QString PlainCaption(QString caption) { return caption.remove('&'); }

} // namespace

TFrmMain::TFrmMain(QWidget* parent)
    : QMainWindow(parent)
    , UndoHistory(UserFile(HistoryFolderName))
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
    if (FirstShown)
        SetWriteJournal({});
    delete centralWidget();
    delete FrmToolOption;
    delete FrmTools;
    delete FrmLayers;
    delete FrmHistory;
}

void TFrmMain::CreateMenus()
{
    QMenu* menu = nullptr;
    for (const TCommandRow& row : CommandTable()) {
        if (!menu || menu->title() != QLatin1String(row.Menu))
            menu = menuBar()->addMenu(QString::fromLatin1(row.Menu));
        else if (row.SeparatorBefore)
            menu->addSeparator();
        QAction* item = nullptr;
        if (row.Submenu) {
            RecentFilesMenu = menu->addMenu(QString::fromLatin1(row.Caption));
            RecentFilesMenu->setObjectName(row.Name);
            item = RecentFilesMenu->menuAction();
        } else {
            item = menu->addAction(QString::fromLatin1(row.Caption));
            item->setObjectName(row.Name);
            item->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.Keys)));
        }
        // The panel toggles: one check item each, which the tool bar shows as
        // a two-state button, so that menu, button and panel are always in step.
        if (row.Checkable) {
            item->setCheckable(true);
            item->setChecked(true);
        }
        if (row.Run)
            connect(item, &QAction::triggered, this, [this, run = row.Run] { run(*this); });
        Actions[std::size_t(row.Command)] = item;
    }
    EnableCommands();
}

void TFrmMain::CreateToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Tool Bar"));
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const TToolBarButton& button : ToolBarButtons()) {
        if (button.SeparatorBefore)
            bar->addSeparator();
        QAction* action = Action(button.Command);
        action->setIcon(IconFor(button.Icon));
        QString tip = PlainCaption(action->text());
        if (!action->shortcut().isEmpty())
            tip += " (" + action->shortcut().toString(QKeySequence::NativeText) + ")";
        action->setToolTip(tip);
        bar->addAction(action);
        bar->widgetForAction(action)->setObjectName(button.Name);
    }
}

void TFrmMain::CreateView()
{
    PictureView = new TPictureView(CurrentDocument, this);
    setCentralWidget(PictureView);
    connect(PictureView, &TPictureView::Resized, this, &TFrmMain::ViewResized);
    connect(PictureView, &TPictureView::Scrolled, this, [this] {
        if (!Destroying)
            RefreshView();
    });
    connect(PictureView, &TPictureView::PointerPressed, this, &TFrmMain::PointerPressed);
    connect(PictureView, &TPictureView::PointerMoved, this, &TFrmMain::PointerMoved);
    connect(PictureView, &TPictureView::PointerReleased, this, &TFrmMain::PointerReleased);
    connect(PictureView, &TPictureView::ZoomTurned, this, &TFrmMain::ZoomTurned);
}

void TFrmMain::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    SizePanel = new QLabel(bar);
    ZoomPanel = new QLabel(bar);
    SparePanel = new QLabel(bar);
    const std::pair<QLabel*, int> panels[] = {{SizePanel, 100}, {ZoomPanel, 50}, {SparePanel, 50}};
    int index = 0;
    for (const auto& [panel, width] : panels) {
        panel->setObjectName(QString("StatusPanel%1").arg(index++));
        panel->setMinimumWidth(width);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel, panel == SparePanel ? 1 : 0);
    }
}

void TFrmMain::EnableCommands()
{
    const TCommandState state{CurrentDocument.PictureOpened, ObjectPending,        UndoHistory.CanUndo(),
                              UndoHistory.CanRedo(),         !RecentFiles.empty(), CanEditLastObject()};
    for (const TCommandRow& row : CommandTable()) {
        const bool enabled = CommandEnabled(row, state);
        if (row.Submenu) {
            // The menu's own state follows to its entry; its files, which
            // open as Open does, follow too, so that none runs while off.
            RecentFilesMenu->setEnabled(enabled);
            for (QAction* file : RecentFilesMenu->actions())
                file->setEnabled(enabled);
        } else {
            Action(row.Command)->setEnabled(enabled);
        }
    }
}

void TFrmMain::UpdateCommands()
{
    ObjectPending = false;
    EnableCommands();
    SetDrawToolsForZoom();
}

void TFrmMain::DisableCommands()
{
    ObjectPending = true;
    EnableCommands();
}

void TFrmMain::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}
