#include "Icons.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName("lumenquilla");
    app.setWindowIcon(IconFor(TIcon::Application));
    QMainWindow window;
    window.setWindowTitle("Lumenquilla Professional Edition");
    window.showMaximized();
    return app.exec();
}
