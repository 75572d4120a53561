#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Lumenquilla Professional Edition");
    window.showMaximized();
    return app.exec();
}
