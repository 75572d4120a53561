#include "Main.h"

#include "About.h"
#include "Layers.h"
#include "Options.h"
#include "PanelPlacement.h"
#include "ShowHistory.h"
#include "Tool.h"
#include "ToolBox.h"
#include "ToolOption.h"
#include "Tools.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

std::unique_ptr<TFrmMain> TFrmMain::CreateWindows()
{
    // Every long-lived window is created once, here, in this order, and lives
    // for the whole run; the main window owns them all.
    auto main = std::make_unique<TFrmMain>();
    main->FrmOptions = new TFrmOptions(main.get());
    main->FrmHistory = new TFrmHistory(main->History, main.get());
    main->FrmAbout = new TFrmAbout(main.get());
    main->FrmLayers = new TFrmLayers(main->Document.LayerState, main.get());
    main->FrmTools = new TFrmTools(main.get());
    main->FrmToolOption = new TFrmToolOption(main.get());
    main->ConnectWindows();
    return main;
}

void TFrmMain::BindPanel(TPanelWindow* panel, QAction* toggle)
{
    // The check item and its tool bar button are one toggle; it shows or
    // hides the panel, and the panel's close box releases it.
    connect(toggle, &QAction::toggled, panel, &QWidget::setVisible);
    connect(panel, &TPanelWindow::ClosedByUser, toggle, [toggle] { toggle->setChecked(false); });
    connect(panel, &TPanelWindow::DeleteKeyReleased, this, &TFrmMain::DeleteKeyReleased);
}

void TFrmMain::ConnectWindows()
{
    BindPanel(FrmHistory, MenuItem_History);
    BindPanel(FrmLayers, MenuItem_Layers);
    BindPanel(FrmTools, MenuItem_Tools);
    BindPanel(FrmToolOption, MenuItem_ToolOption);

    connect(FrmHistory, &TFrmHistory::RowChosen, this, &TFrmMain::HistoryRowChosen);
    connect(FrmLayers, &TFrmLayers::RefreshViewRequested, this, &TFrmMain::RefreshView);
    connect(FrmLayers, &TFrmLayers::RefreshToolPreviewRequested, this, &TFrmMain::RefreshToolPreview);
    connect(FrmTools, &TFrmTools::ToolChosen, this, &TFrmMain::ToolChosen);
    connect(FrmTools, &TFrmTools::ToolPreviewRefreshRequested, this, &TFrmMain::RefreshToolPreview);
    connect(FrmToolOption, &TFrmToolOption::ToolPreviewRefreshRequested, this, &TFrmMain::RefreshToolPreview);
    // Committing or cancelling an object ends with the hand; no tool places
    // objects yet, so the cancel is all there is to do.
    connect(FrmToolOption, &TFrmToolOption::CommitRequested, this, &TFrmMain::DeleteKeyReleased);
    connect(FrmToolOption, &TFrmToolOption::CancelRequested, this, &TFrmMain::DeleteKeyReleased);
    ShowToolOptionPage();
}

void TFrmMain::ToolChosen(int tool)
{
    // Whatever the tool left shows is finished first; choosing the current
    // tool again starts it afresh.
    if (TTool* current = CurrentToolObject())
        Guarded([current] { current->Commit(); });
    Tool = tool;
    ShowToolOptionPage();
    if (TTool* chosen = CurrentToolObject())
        chosen->Select();
}

void TFrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FirstShown)
        return;
    FirstShown = true;

    // The history's size is fixed for the run by the options as they stand now.
    FrmOptions->LoadOptions();
    History.SetHistoryStates(FrmOptions->Options().HistoryStates);

    for (QAction* toggle : {MenuItem_History, MenuItem_Layers, MenuItem_Tools, MenuItem_ToolOption})
        toggle->setChecked(true);
    // The panels follow once the main window is on the screen, so that the
    // window manager stacks them above it.
    QTimer::singleShot(0, this, &TFrmMain::ShowPanels);
}

void TFrmMain::ShowPanels()
{
    // The window manager adds the panels' frames only once they are on the
    // screen: they are placed now by their inner sizes and again, frames and
    // all, when each has been drawn on the screen for the first time.
    UnplacedPanels.clear();
    for (TPanelWindow* panel : std::initializer_list<TPanelWindow*>{FrmTools, FrmHistory, FrmLayers, FrmToolOption}) {
        UnplacedPanels.insert(panel);
        panel->installEventFilter(this);
        panel->show();
    }
    PlacePanels();
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && UnplacedPanels.remove(watched)) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &TFrmMain::PlacePanels);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::PlacePanels()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Sizes with the window frames, as the desktop places them.
    const auto outer = [](const QWidget* panel) { return panel->frameGeometry().size(); };

    // The three stacked panels share the history panel's width.
    const int columnWidth = FrmHistory->width();
    for (QWidget* panel : {static_cast<QWidget*>(FrmLayers), static_cast<QWidget*>(FrmToolOption)})
        if (panel->width() != columnWidth)
            panel->resize(columnWidth, panel->height());

    const TPanelSizes sizes{outer(FrmTools), outer(FrmHistory), outer(FrmLayers), outer(FrmToolOption)};
    const TPanelPlaces places =
        PanelPlaces(screen->virtualGeometry(), sizes, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    FrmTools->move(places.Tools.topLeft());
    FrmHistory->move(places.History.topLeft());
    FrmLayers->move(places.Layers.topLeft());
    FrmToolOption->move(places.ToolOption.topLeft());
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    FrmOptions->SaveOptions();
    QMainWindow::closeEvent(event);
}
