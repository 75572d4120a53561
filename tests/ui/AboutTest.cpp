#include "ui/FrmAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(About, ShowsTheNameTheBuildVersionAndTheIcon)
{
    TFrmAbout about;
    EXPECT_EQ(ProgramVersion(), QStringLiteral(LQ_EXPECTED_VERSION));
    EXPECT_EQ(about.Lab_Name->text(), "Lumenquilla");
    EXPECT_TRUE(about.Lab_Version->text().contains(LQ_EXPECTED_VERSION)) << about.Lab_Version->text().toStdString();
    EXPECT_FALSE(about.Lab_Description->text().isEmpty());
    EXPECT_FALSE(about.Img_Icon->pixmap().isNull());
    EXPECT_FALSE(about.windowIcon().isNull());
    EXPECT_TRUE(about.isModal());
}

TEST(About, OkEndsTheModalRun)
{
    TFrmAbout about;
    QTimer::singleShot(0, &about, [&about] {
        ASSERT_TRUE(about.isVisible());
        QTest::mouseClick(about.BtnOk, Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(About, EnterPressesOkAndTheBoxCanBeShownAgain)
{
    TFrmAbout about;
    for (int run = 0; run < 2; ++run) {
        QTimer::singleShot(0, &about, [&about] { QTest::keyClick(&about, Qt::Key_Return); });
        EXPECT_EQ(about.exec(), QDialog::Accepted) << run;
    }
}
