#include "ui/FrmProcess.h"

#include "settings/EffectControls.h"
#include "tests/picture/PicturePrinter.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

// Soft gradients with a few hard edges: every step of the effect has work.
TBitmap TestPhoto(int width, int height)
{
    TBitmap p(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const bool disc =
                (x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) < height * height / 9;
            row[3 * x] = std::uint8_t(disc ? 40 : x * 255 / width);
            row[3 * x + 1] = std::uint8_t(disc ? 200 : y * 255 / height);
            row[3 * x + 2] = std::uint8_t((x ^ y) & 0x3f) + (disc ? 150 : 60);
        }
    }
    return p;
}

TEffectSettings WholePicture(const TBitmap& photo, bool sketch, bool color)
{
    TEffectSettings s = DesignedSettings();
    s.DrawSketch = sketch;
    s.DrawColor = color;
    s.Width = photo.Width();
    s.Height = photo.Height();
    return s;
}

TEST(ProcessDialog, ClosesItselfWhenTheWorkerEndsAndHandsOverTheLayersOfADirectRender)
{
    struct TCase {
        bool sketch, color;
        int totalMaximum;
    };
    for (const TCase c : {TCase{true, false, 3}, TCase{true, true, 10}, TCase{false, true, 7}}) {
        const TBitmap photo = TestPhoto(96, 64);
        const TEffectSettings settings = WholePicture(photo, c.sketch, c.color);
        TFrmProcess dialog;
        dialog.SetSettings(settings, photo);
        EXPECT_EQ(dialog.windowTitle(), "Progress");
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_FALSE(dialog.Cancelled());
        EXPECT_EQ(dialog.TotalBar->maximum(), c.totalMaximum);
        EXPECT_EQ(dialog.TotalBar->value(), c.totalMaximum) << "the last step leaves the bar full";

        TBitmap sketch, color, expectedSketch, expectedColor;
        ASSERT_TRUE(dialog.GetLayers(sketch, color));
        TDrawEffect direct;
        direct.SetSettings(settings, &photo);
        ASSERT_TRUE(direct.Render());
        ASSERT_TRUE(direct.GetLayers(expectedSketch, expectedColor));
        EXPECT_SAME_PICTURE(sketch, expectedSketch);
        EXPECT_SAME_PICTURE(color, expectedColor);
    }
}

TEST(ProcessDialog, CancelDiscardsTheResultAndLeavesTheLayersAlone)
{
    const TBitmap photo = TestPhoto(1200, 800);
    TEffectSettings settings = WholePicture(photo, true, true);
    settings.ColorSmooth = 19;
    TFrmProcess dialog;
    dialog.SetSettings(settings, photo);
    // Pressed as soon as the modal loop runs; the dialog waits for the worker
    // to stop and then closes by itself.
    QTimer::singleShot(0, dialog.BtnCancel, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.Cancelled());
    EXPECT_FALSE(dialog.BtnCancel->isEnabled());

    TBitmap sketch(3, 2), color(3, 2);
    sketch.FillWhite();
    EXPECT_FALSE(dialog.GetLayers(sketch, color));
    EXPECT_EQ(sketch.Width(), 3);
    EXPECT_EQ(color.Height(), 2);
}

TEST(ProcessDialog, ACancelAfterTheWorkerEndedStillCounts)
{
    const TBitmap photo = TestPhoto(48, 32);
    TFrmProcess dialog;
    dialog.SetSettings(WholePicture(photo, true, false), photo);
    // The interface thread is held here until the worker has ended, so the
    // cancel comes before the dialog hears of the end.
    QTimer::singleShot(0, &dialog, [&] {
        while (!dialog.WorkerEnded())
            std::this_thread::yield();
        dialog.BtnCancel->click();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.Cancelled());
    TBitmap sketch, color;
    EXPECT_FALSE(dialog.GetLayers(sketch, color));
    EXPECT_EQ(sketch.Width(), 0);
}

TEST(ProcessDialog, EscAndTheWindowSystemsCloseCountAsCancel)
{
    const TBitmap photo = TestPhoto(1200, 800);
    for (bool byEsc : {true, false}) {
        TEffectSettings settings = WholePicture(photo, true, true);
        settings.ColorSmooth = 19;
        TFrmProcess dialog;
        dialog.SetSettings(settings, photo);
        QTimer::singleShot(0, &dialog, [&] {
            if (byEsc)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
            // Still open: it closes when the worker has stopped.
            EXPECT_TRUE(dialog.isVisible());
        });
        dialog.exec();
        EXPECT_TRUE(dialog.Cancelled());
        TBitmap sketch, color;
        EXPECT_FALSE(dialog.GetLayers(sketch, color));
    }
}

} // namespace
