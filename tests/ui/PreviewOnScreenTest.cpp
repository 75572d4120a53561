// The preview window lies on the screen in both views, whatever the options
// ask for. The build also runs this with QT_SCALE_FACTOR=2 on a 1600 x 1000
// screen (LQ_EXPECT_SCALE says so), where the screen holds 800 x 500 of the
// window's pixels.
#include "tests/ui/PreviewFixture.h"

#include "ui/PaintBox.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

namespace {

class PreviewOnScreen : public PreviewFixture {};

TEST_F(PreviewOnScreen, TheWindowStaysOnTheScreenInBothViews)
{
    Pictures(3000, 2000);
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray scale = qgetenv("LQ_EXPECT_SCALE");
    if (!scale.isEmpty()) {
        ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), scale.toDouble());
        ASSERT_EQ(work.size(), QSize(800, 500)) << "the screen of the scaled run";
    }
    struct TCase {
        const char* What;
        TProgramOptions Options;
    };
    const TCase cases[] = {
        {"designed", TProgramOptions{3, 0, 0, 50, 0, 0, 0, 0}},
        {"maximized", TProgramOptions{1, 0, 0, 50, 0, 0, 0, 0}},
        {"custom, as large as the work area allows",
         TProgramOptions{0, work.width() - 1, work.height() - 1, 50, 0, 0, 0, 0}},
        {"last, from a larger screen", TProgramOptions{2, 0, 0, 50, 20, 40, 1500, 950}},
        {"last, at the work area's far corner",
         TProgramOptions{2, 0, 0, 50, work.bottom() - 300, work.right() - 300, 460, 420}},
    };
    for (const TCase& c : cases) {
        Options = c.Options;
        Preview.reset();
        TFrmPreview& preview = Shown();
        for (QToolButton* view : {preview.Btn_ViewFit, preview.Btn_ViewActual}) {
            view->click();
            Settle();
            EXPECT_TRUE(work.contains(preview.frameGeometry()))
                << c.What << ", " << view->text().toStdString() << ": " << preview.frameGeometry().x() << ","
                << preview.frameGeometry().y() << " " << preview.frameGeometry().width() << "x"
                << preview.frameGeometry().height() << " on " << work.width() << "x" << work.height();
        }
        preview.reject();
    }
}

// The divider is taken within a few logical pixels of it, so that it is as
// easy to catch at twice the density; a press further away scrolls.
TEST_F(PreviewOnScreen, TheDividerIsTakenWithinAFewLogicalPixels)
{
    Pictures(3000, 2000);
    TFrmPreview& preview = Shown();
    TPaintBox* box = preview.PreviewArea;
    const double ratio = box->devicePixelRatioF();
    preview.Btn_ViewSplit->click();
    struct TCase {
        int Beside; // logical pixels right of the divider
        bool Takes;
    };
    for (const TCase& c : {TCase{4, true}, TCase{-4, true}, TCase{12, false}}) {
        const int split = preview.SplitColumn(), left = preview.ScrollLeft();
        const QPoint press(int(split / ratio) + c.Beside, 40);
        QTest::mousePress(box, Qt::LeftButton, {}, press);
        QTest::mouseMove(box, press - QPoint(30, 0));
        QTest::mouseRelease(box, Qt::LeftButton, {}, press - QPoint(30, 0));
        const int moved = int((press.x() - 30) * ratio);
        EXPECT_EQ(preview.SplitColumn(), c.Takes ? moved : split) << c.Beside;
        EXPECT_EQ(preview.ScrollLeft(), c.Takes ? left : left + int(30 * ratio)) << c.Beside;
    }
}

} // namespace
