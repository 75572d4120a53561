#include "ui/FrmMain.h"

#include "document/EarlierWork.h"
#include "picture/FileError.h"
#include "picture/SafeFile.h"
#include "settings/ProgramDir.h"
#include "settings/RecentFiles.h"
#include "tools/Tool.h"
#include "tools/ToolBox.h"
#include "ui/FrmAbout.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmHistory.h"
#include "ui/FrmLayers.h"
#include "ui/FrmOptions.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"
#include "ui/PanelPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
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
    main->FrmSketchMoreOption = new TFrmSketchMoreOption(main.get());
    main->FrmColorMoreOption = new TFrmColorMoreOption(main.get());
    main->FrmHistory = new TFrmHistory(main->UndoHistory, main.get());
    main->FrmAbout = new TFrmAbout(main.get());
    main->FrmLayers = new TFrmLayers(main->CurrentDocument.LayerState, main.get());
    main->FrmTools = new TFrmTools(main.get());
    main->FrmToolOption = new TFrmToolOption(main.get());
    main->ConfirmDialog = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Lumenquilla"), text,
                        QMessageBox::Ok | QMessageBox::Cancel, parent);
        return box.exec() == QMessageBox::Ok;
    };
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
    BindPanel(FrmHistory, Action(TCommand::History));
    BindPanel(FrmLayers, Action(TCommand::Layers));
    BindPanel(FrmTools, Action(TCommand::Tools));
    BindPanel(FrmToolOption, Action(TCommand::ToolOption));

    connect(FrmHistory, &TFrmHistory::RowChosen, this, &TFrmMain::HistoryRowChosen);
    connect(FrmLayers, &TFrmLayers::RefreshViewRequested, this, &TFrmMain::RefreshView);
    connect(FrmLayers, &TFrmLayers::RefreshToolPreviewRequested, this, &TFrmMain::RefreshToolPreview);
    connect(FrmTools, &TFrmTools::ToolChosen, this, &TFrmMain::ToolChosen);
    connect(FrmTools, &TFrmTools::ToolPreviewRefreshRequested, this, &TFrmMain::RefreshToolPreview);
    connect(FrmToolOption, &TFrmToolOption::ToolPreviewRefreshRequested, this, &TFrmMain::RefreshToolPreview);
    // Committing or cancelling an object ends with the hand.
    connect(FrmToolOption, &TFrmToolOption::CommitRequested, this, &TFrmMain::CommitButtonClicked);
    connect(FrmToolOption, &TFrmToolOption::CancelRequested, this, &TFrmMain::DeleteKeyReleased);
    ShowToolOptionPage();

    // History states are written in the background; a write that failed is
    // looked for here, on this thread, and shown once. Its state stays
    // listed and is restored from memory meanwhile.
    auto* historyWatch = new QTimer(this);
    connect(historyWatch, &QTimer::timeout, this, [this] { ReportHistoryWriteError(); });
    historyWatch->start(300);
}

void TFrmMain::ReportHistoryWriteError(bool now)
{
    const std::string error = UndoHistory.TakeWriteError();
    if (!error.empty())
        ReportHistoryProblem(error, now);
    else if (HistoryProblemShown && !UndoHistory.WritesFailing())
        HistoryProblemShown = false;
}

void TFrmMain::OfferEarlierWork()
{
    // Each offer is made once: taken, its picture becomes this run's first
    // state (unsaved still); declined, its folder goes.
    for (const std::unique_ptr<TEarlierRun>& offer : TEarlierRun::Scan(UndoHistory.Folder(), UndoHistory.RunFolder())) {
        if (!ConfirmDialog(this, QString::fromStdString(offer->Question()))) {
            offer->Discard();
            continue;
        }
        std::exception_ptr recordError;
        Guarded([&] {
            offer->Restore(CurrentDocument);
            CurrentDocument.InitialiseProject();
            recordError = FinishOpen(offer->Note().Picture);
            UndoHistory.MarkCurrentSaved(false);
        });
        offer->Discard();
        ReportPending(recordError);
    }
}

void TFrmMain::ToolChosen(TToolCode tool)
{
    // Whatever the tool left shows is finished first; choosing the current
    // tool again starts it afresh.
    if (TTool* current = CurrentToolObject())
        Guarded([current] { current->Commit(); });
    Tool = tool;
    FrmToolOption->StartObject(tool);
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

    // Temporary files a killed run left beside the files it was writing go
    // first; this run's writes are noted from now on.
    const std::string journal = UserFile(WriteJournalName);
    RemoveLeftoverWrites(journal);
    SetWriteJournal(journal);

    // The history's size is fixed for the run by the options as they stand now.
    FrmOptions->LoadOptions();
    RecentFiles = ReadRecentFiles(UserFile(RecentFilesName));
    FillRecentFilesMenu();
    UndoHistory.SetHistoryStates(FrmOptions->Options().HistoryStates);

    for (QAction* toggle :
         {Action(TCommand::History), Action(TCommand::Layers), Action(TCommand::Tools), Action(TCommand::ToolOption)})
        toggle->setChecked(true);
    // The panels follow once the main window is on the screen, so that the
    // window manager stacks them above it; then the questions about work
    // earlier runs left behind.
    QTimer::singleShot(0, this, &TFrmMain::ShowPanels);
    QTimer::singleShot(0, this, &TFrmMain::OfferEarlierWork);
    // Maximizing is the window manager's job; on a display without one the
    // window would stay at its first size. A window manager has long done it
    // by the time this runs.
    QTimer::singleShot(WindowManagerGraceMs, this, &TFrmMain::FillWorkAreaIfNotMaximized);
}

void TFrmMain::FillWorkAreaIfNotMaximized()
{
    const QScreen* screen = this->screen();
    if (!screen || !isMaximized())
        return;
    const QRect area = screen->availableGeometry();
    if (frameGeometry().width() < area.width() * 9 / 10 || frameGeometry().height() < area.height() * 9 / 10) {
        setGeometry(area);
        PlacePanels();
    }
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
    // Each panel stays in the work area of the screen it lands on, and below
    // the main window's title bar, where it would hide the window's buttons.
    const auto place = [this, screen](QWidget* panel, const QRect& where) {
        const QScreen* on = QGuiApplication::screenAt(where.center());
        QRect area = (on ? on : screen)->availableGeometry();
        if (isVisible() && area.contains(geometry().topLeft()))
            area.setTop(geometry().top());
        panel->move(KeptInside(where, area).topLeft());
    };
    place(FrmTools, places.Tools);
    place(FrmHistory, places.History);
    place(FrmLayers, places.Layers);
    place(FrmToolOption, places.ToolOption);
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    FrmOptions->SaveOptions();
    // Waits for the states still being written; keeps an unsaved picture
    // for the next start, and removes the rest of this run's history.
    UndoHistory.EndRun();
    ReportHistoryWriteError(true);
    QMainWindow::closeEvent(event);
}
