// What the preview area shows besides the 1:1 effect: the whole picture
// (Fit), the photo while asked for, the two side by side.
#include "tests/ui/PreviewFixture.h"

#include "engine/DrawEffect.h"
#include "settings/Resample.h"
#include "ui/PaintBox.h"
#include "ui/PreviewGeometry.h"

#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

namespace {

// Whether the area's columns [x0, x1) show `picture` from (left, top) placed
// at `at`; only the pixels the picture covers are compared.
::testing::AssertionResult Shows(const TFrmPreview& preview, const TBitmap& picture, int left, int top, QPoint at,
                                 int x0, int x1)
{
    const QImage& area = preview.AreaImage();
    for (int y = std::max(at.y(), 0); y < area.height() && top + y - at.y() < picture.Height(); ++y)
        for (int x = std::max({x0, at.x(), 0}); x < std::min(x1, area.width()) && left + x - at.x() < picture.Width();
             ++x) {
            const std::uint8_t* p = Pixel(picture, left + x - at.x(), top + y - at.y());
            if ((area.pixel(x, y) & 0xffffffu) != (qRgb(p[2], p[1], p[0]) & 0xffffffu))
                return ::testing::AssertionFailure() << "area pixel " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

// The effect of a whole picture; the settings are the designed ones (a grey
// sketch multiplied over no colour), which the compositor's blend gives as
// the document would.
TBitmap WholeEffect(const TBitmap& picture, TEffectSettings s)
{
    s.Left = s.Top = 0;
    s.Width = picture.Width();
    s.Height = picture.Height();
    TDrawEffect effect;
    effect.SetSettings(s, &picture);
    EXPECT_TRUE(effect.Render());
    TBitmap out;
    effect.DrawBlended(out);
    return out;
}

class PreviewViews : public PreviewFixture {
protected:
    void SetUp() override
    {
        PreviewFixture::SetUp();
        Pictures(900, 700);
    }
};

TEST_F(PreviewViews, FitShowsTheWholePictureReducedAndAClickOpensOneToOneThere)
{
    TFrmPreview& preview = Shown();
    const QSize area = preview.PreviewArea->DeviceSize();
    const QSize whole(900, 700), fit = FitSize(whole, area);
    ASSERT_LT(fit.width(), 900);
    preview.Btn_ViewFit->click();
    QTRY_VERIFY(preview.ShowsLatest());
    EXPECT_TRUE(preview.InFitView());
    EXPECT_TRUE(preview.Btn_ViewFit->isChecked());
    EXPECT_FALSE(preview.Btn_ViewActual->isChecked());
    EXPECT_EQ(preview.Lbl_ViewState->text(), "Approximate");

    TBitmap reduced;
    ASSERT_TRUE(ResampleTo(CaptureResampleSource(Doc.ViewBitmap), fit.width(), fit.height(), reduced));
    const QPoint at = FitOrigin(fit, area);
    EXPECT_TRUE(Shows(preview, WholeEffect(reduced, preview.Settings()), 0, 0, at, 0, area.width()));
    // The face colour around it.
    EXPECT_EQ(preview.AreaImage().pixel(0, 0) | 0xff000000u, preview.PreviewArea->FaceColor().rgb() | 0xff000000u);

    // The photo while Original is held, the effect again once it is let go.
    QTest::mousePress(preview.Btn_Original, Qt::LeftButton);
    EXPECT_TRUE(Shows(preview, reduced, 0, 0, at, 0, area.width()));
    QTest::mouseRelease(preview.Btn_Original, Qt::LeftButton);
    EXPECT_TRUE(Shows(preview, WholeEffect(reduced, preview.Settings()), 0, 0, at, 0, area.width()));

    // A click opens 1:1 centred on the pixel clicked.
    const QPoint click = at + QPoint(fit.width() * 3 / 4, fit.height() / 3);
    const QPoint centre = FitToPicture(click, whole, fit, area);
    QTest::mouseClick(preview.PreviewArea, Qt::LeftButton, {}, click);
    EXPECT_FALSE(preview.InFitView());
    EXPECT_TRUE(preview.Btn_ViewActual->isChecked());
    EXPECT_EQ(preview.ScrollLeft(), CentredScroll(centre.x(), area.width(), 900));
    EXPECT_EQ(preview.ScrollTop(), CentredScroll(centre.y(), area.height(), 700));
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_EQ(preview.Lbl_ViewState->text(), "Exact");
    EXPECT_TRUE(Shows(preview, WholeEffect(Doc.SourceBitmap, preview.Settings()), preview.ScrollLeft(),
                      preview.ScrollTop(), QPoint(0, 0), 0, area.width()));

    // A picture the area holds whole is shown at 1:1 in either view.
    preview.Trc_ImageSize->setValue(20);
    preview.Btn_ViewFit->click();
    EXPECT_FALSE(preview.InFitView());
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_TRUE(Shows(preview, WholeEffect(Doc.SourceBitmap, preview.Settings()), 0, 0, QPoint(0, 0), 0, area.width()));
}

TEST_F(PreviewViews, TheOriginalButtonAndTheRightButtonShowThePhotoAndSplitShowsBoth)
{
    TFrmPreview& preview = Shown();
    TPaintBox* box = preview.PreviewArea;
    const int width = box->DeviceSize().width();
    QTRY_VERIFY(preview.ShowsExact());
    const auto effect = [&] { return WholeEffect(Doc.SourceBitmap, preview.Settings()); };
    const auto showsPhoto = [&](int x0, int x1) {
        return Shows(preview, Doc.SourceBitmap, preview.ScrollLeft(), preview.ScrollTop(), {0, 0}, x0, x1);
    };
    const auto showsEffect = [&](int x0, int x1) {
        return Shows(preview, effect(), preview.ScrollLeft(), preview.ScrollTop(), {0, 0}, x0, x1);
    };
    ASSERT_FALSE(showsPhoto(0, width)) << "the effect must look unlike the photo";

    struct THold {
        const char* How;
        std::function<void()> Press, Release;
    };
    const std::vector<THold> holds = {
        {"the Original button", [&] { QTest::mousePress(preview.Btn_Original, Qt::LeftButton); },
         [&] { QTest::mouseRelease(preview.Btn_Original, Qt::LeftButton); }},
        {"the right mouse button", [&] { QTest::mousePress(box, Qt::RightButton, {}, QPoint(50, 50)); },
         [&] { QTest::mouseRelease(box, Qt::RightButton, {}, QPoint(50, 50)); }},
    };
    for (const THold& hold : holds) {
        hold.Press();
        EXPECT_TRUE(showsPhoto(0, width)) << hold.How;
        hold.Release();
        EXPECT_TRUE(showsEffect(0, width)) << hold.How;
        EXPECT_TRUE(preview.ShowsExact()) << hold.How << ": nothing was computed again";
    }

    // Split: the photo left of the divider, the effect right of it, the
    // divider itself the two columns at it.
    preview.Btn_ViewSplit->click();
    int split = preview.SplitColumn();
    EXPECT_NEAR(split, width / 2, 1) << "the middle";
    EXPECT_TRUE(showsPhoto(0, split - 1));
    EXPECT_TRUE(showsEffect(split + 1, width));
    // Held, the photo covers the divider too.
    QTest::mousePress(preview.Btn_Original, Qt::LeftButton);
    EXPECT_TRUE(showsPhoto(0, width));
    QTest::mouseRelease(preview.Btn_Original, Qt::LeftButton);

    // The divider follows the pointer; a drag away from it still scrolls.
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(split + 2, 40));
    QTest::mouseMove(box, QPoint(60, 45));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(60, 45));
    split = preview.SplitColumn();
    EXPECT_EQ(split, 60);
    EXPECT_EQ(preview.ScrollLeft(), 0);
    EXPECT_TRUE(showsPhoto(0, split - 1));
    EXPECT_TRUE(showsEffect(split + 1, width));

    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(200, 100));
    QTest::mouseMove(box, QPoint(170, 100));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(170, 100));
    EXPECT_EQ(preview.ScrollLeft(), 30);
    EXPECT_EQ(preview.SplitColumn(), 60);
    QTRY_VERIFY(preview.ShowsExact());
    EXPECT_TRUE(showsPhoto(0, split - 1));
    EXPECT_TRUE(showsEffect(split + 1, width));

    preview.Btn_ViewSplit->click();
    EXPECT_TRUE(showsEffect(0, width));
}

} // namespace
