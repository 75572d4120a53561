#include "ui/FrmMain.h"
#include "ui/Icons.h"

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName("lumenquilla");
    app.setWindowIcon(IconFor(TIcon::Application));

    // The toolkit has taken its own options out of argv: what is left are
    // the files the desktop or the user asked to open.
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files << QFile::decodeName(argv[i]);

    const std::unique_ptr<TFrmMain> FrmMain = TFrmMain::CreateWindows();
    FrmMain->showMaximized();
    // Opened once the window and its panels are on the screen, so that an
    // error message has a window to stand over.
    if (!files.isEmpty())
        QTimer::singleShot(0, FrmMain.get(), [&] { FrmMain->OpenFiles(files); });
    return app.exec();
}
