#include "Icons.h"
#include "Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName("lumenquilla");
    app.setWindowIcon(IconFor(TIcon::Application));

    const std::unique_ptr<TFrmMain> FrmMain = TFrmMain::CreateWindows();
    FrmMain->showMaximized();
    return app.exec();
}
