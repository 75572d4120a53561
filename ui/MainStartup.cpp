#include "Main.h"

#include "About.h"

#include <QCloseEvent>
#include <QShowEvent>

std::unique_ptr<TFrmMain> TFrmMain::CreateWindows()
{
    // Every long-lived window is created once, here, and lives for the whole
    // run; the main window owns them all.
    auto main = std::make_unique<TFrmMain>();
    main->FrmAbout = new TFrmAbout(main.get());
    return main;
}

void TFrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FirstShown)
        return;
    FirstShown = true;
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
}
