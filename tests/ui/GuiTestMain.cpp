#include <QApplication>

#include <gtest/gtest.h>

// Widgets need one QApplication for the whole run. The offscreen platform is
// the default, so that listing the tests at build time needs no display.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
