#include "document/ViewArithmetic.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewArithmetic, NearestRoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(Nearest(0.5), 0);
    EXPECT_EQ(Nearest(1.5), 2);
    EXPECT_EQ(Nearest(2.5), 2);
    EXPECT_EQ(Nearest(2.5000001), 3);
    EXPECT_EQ(Nearest(-1.5), -2);
    EXPECT_EQ(Nearest(-0.4), 0);
    EXPECT_EQ(Nearest(710.11), 710);
}

TEST(ViewArithmetic, APictureLargerThanTheBoxAtActualPixels)
{
    // 1000 x 800 in a 400 x 300 paint box.
    EXPECT_EQ(ScrollRangeFor(400, 1000, 1.0), (TScrollRange{true, 1000, 400}));
    EXPECT_EQ(ScrollRangeFor(300, 800, 1.0), (TScrollRange{true, 800, 300}));
    EXPECT_EQ(ComputeViewRect(0, 0, 1000, 800, 400, 300, 1.0), (TRect{0, 0, 399, 299}));
}

TEST(ViewArithmetic, TheSamePictureTwoStepsOut)
{
    const double zoom = ZoomRateOfStep(-2);
    ASSERT_EQ(zoom, 0.5625);
    // 400 / 0.5625 = 711.1 picture pixels across, 300 / 0.5625 = 533.3 down.
    EXPECT_EQ(ScrollRangeFor(400, 1000, zoom), (TScrollRange{true, 1000, 711}));
    EXPECT_EQ(ScrollRangeFor(300, 800, zoom), (TScrollRange{true, 800, 533}));
    EXPECT_EQ(ComputeViewRect(0, 0, 1000, 800, 400, 300, zoom), (TRect{0, 0, 710, 532}));
}

TEST(ViewArithmetic, APictureThatFitsHidesTheBarsAndIsShownWhole)
{
    EXPECT_FALSE(ScrollRangeFor(400, 300, 1.0).Shown);
    // Exactly the box's size still fits.
    EXPECT_FALSE(ScrollRangeFor(400, 400, 1.0).Shown);
    EXPECT_TRUE(ScrollRangeFor(400, 401, 1.0).Shown);
    EXPECT_EQ(ComputeViewRect(0, 0, 300, 200, 400, 300, 1.0), (TRect{0, 0, 299, 199}));
    // Two steps in, 300 pixels take 533 screen pixels: the horizontal bar appears.
    EXPECT_EQ(ScrollRangeFor(400, 300, ZoomRateOfStep(2)), (TScrollRange{true, 300, 225}));
}

TEST(ViewArithmetic, TheLastScrollPositionShowsTheLastColumn)
{
    const TScrollRange bar = ScrollRangeFor(400, 1000, 1.0);
    EXPECT_EQ(bar.LastPosition(), 600);
    EXPECT_EQ(ComputeViewRect(bar.LastPosition(), 0, 1000, 800, 400, 300, 1.0).Right, 999);
    // Beyond the end the rectangle is held to the picture.
    EXPECT_EQ(ComputeViewRect(650, 700, 1000, 800, 400, 300, 1.0), (TRect{650, 700, 999, 799}));
    EXPECT_EQ(TScrollRange{}.LastPosition(), 0);
}

TEST(ViewArithmetic, TheVisibleEdgeRoundsHalvesToEven)
{
    // At zoom 2 a 3-pixel box shows 1.5 picture pixels: the last visible
    // column is nearest(position + 0.5).
    EXPECT_EQ(ComputeViewRect(0, 0, 100, 100, 3, 3, 2.0).Right, 0);
    EXPECT_EQ(ComputeViewRect(1, 0, 100, 100, 3, 3, 2.0).Right, 2);
    EXPECT_EQ(ComputeViewRect(2, 0, 100, 100, 3, 3, 2.0).Right, 2);
    EXPECT_EQ(ComputeViewRect(0, 3, 100, 100, 3, 3, 2.0).Bottom, 4);
}

TEST(ViewArithmetic, PointerPositionsMapToTheNearestPicturePixel)
{
    EXPECT_EQ(PictureCoordinates(0, 0, 1.0, 0, 0), (TPicturePoint{0, 0}));
    EXPECT_EQ(PictureCoordinates(17, 5, 1.0, 100, 40), (TPicturePoint{117, 45}));
    // Zoom 2: screen 1, 3 and 5 are picture 0.5, 1.5 and 2.5.
    EXPECT_EQ(PictureCoordinates(1, 3, 2.0, 0, 0), (TPicturePoint{0, 2}));
    EXPECT_EQ(PictureCoordinates(5, 5, 2.0, 10, 11), (TPicturePoint{12, 14}));
    // Zoomed out, screen 3 is picture 4; past the picture stays past it.
    EXPECT_EQ(PictureCoordinates(3, 300, 0.75, 0, 0), (TPicturePoint{4, 400}));
}

TEST(ViewArithmetic, ZoomStepsReturnExactlyToEarlierRates)
{
    EXPECT_EQ(ZoomRateOfStep(0), 1.0);
    EXPECT_EQ(ZoomRateOfStep(-1), 0.75);
    EXPECT_EQ(ZoomRateOfStep(-1) / ZoomStepFactor, 1.0);
    EXPECT_EQ(ZoomRateOfStep(1), 1.0 / 0.75);
    EXPECT_EQ(ZoomRateOfStep(3), 1.0 / 0.75 / 0.75 / 0.75);
    for (int step = MinZoomStep(); step < MaxZoomStep(); ++step)
        ASSERT_LT(ZoomRateOfStep(step), ZoomRateOfStep(step + 1));
}

TEST(ViewArithmetic, ZoomStepsStayWithinTheBounds)
{
    EXPECT_EQ(MinZoomStep(), -14);
    EXPECT_EQ(MaxZoomStep(), 14);
    EXPECT_GE(ZoomRateOfStep(MinZoomStep()), MinZoomRate);
    EXPECT_LT(ZoomRateOfStep(MinZoomStep() - 1), MinZoomRate);
    EXPECT_LE(ZoomRateOfStep(MaxZoomStep()), MaxZoomRate);
    EXPECT_GT(ZoomRateOfStep(MaxZoomStep() + 1), MaxZoomRate);
    // The largest picture at the largest zoom still has a size in range.
    EXPECT_GT(ScaledLength(65535, ZoomRateOfStep(MaxZoomStep())), 65535 * 56);
    EXPECT_EQ(ScaledLength(1000, ZoomRateOfStep(MinZoomStep())), 18);
}

TEST(ViewArithmetic, ZoomingKeepsThePointUnderTheAnchorWithinTheRange)
{
    struct TCase {
        int position, anchor;
        double oldRate, newRate;
        TScrollRange range;
        int expected;
    };
    const TCase cases[] = {
        // Point 100 + 400 / 1 = 500 stays under x = 400 at 4/3: 500 - 300 = 200.
        {100, 400, 1.0, 4.0 / 3, {true, 2000, 600}, 200},
        // And back out: 200 + 300 = 500, 500 - 400 = 100.
        {200, 400, 4.0 / 3, 1.0, {true, 2000, 800}, 100},
        // Near the start the position cannot go below 0.
        {0, 10, 1.0, 0.75, {true, 2000, 1067}, 0},
        // 1190 + 790 = 1980, 1980 - 790 / 0.75 = 926.7.
        {1190, 790, 1.0, 0.75, {true, 2000, 1067}, 927},
        // Near the end it stops at the last position, 2000 - 1067.
        {1190, 10, 1.0, 0.75, {true, 2000, 1067}, 933},
        // Without a bar the position is 0.
        {300, 400, 1.0, 0.1, {}, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ScrollKeepingPoint(c.position, c.anchor, c.oldRate, c.newRate, c.range), c.expected)
            << c.position << " " << c.anchor;
}

TEST(ViewArithmetic, TheFittingStepIsTheLargestThatShowsTheWholePicture)
{
    struct TCase {
        int w, h, paintW, paintH;
    };
    for (const TCase c : {TCase{5640, 3172, 1600, 900}, TCase{600, 400, 900, 700}, TCase{300, 3000, 900, 700},
                          TCase{3, 2, 900, 700}, TCase{65535, 1, 10, 10}}) {
        const int step = FitZoomStep(c.w, c.h, c.paintW, c.paintH);
        const auto fits = [&](int s) {
            const double rate = ZoomRateOfStep(s);
            return !ScrollRangeFor(c.paintW, c.w, rate).Shown && !ScrollRangeFor(c.paintH, c.h, rate).Shown;
        };
        EXPECT_TRUE(fits(step) || step == MinZoomStep()) << c.w << "x" << c.h;
        EXPECT_TRUE(step == MaxZoomStep() || !fits(step + 1)) << c.w << "x" << c.h;
    }
    EXPECT_LT(FitZoomStep(5640, 3172, 1600, 900), 0);
    EXPECT_GT(FitZoomStep(300, 200, 900, 700), 0);
}

TEST(ViewArithmetic, StatusTexts)
{
    EXPECT_EQ(PictureSizeText(640, 480), "640 x 480");
    EXPECT_EQ(ZoomText(1.0), "100%");
    EXPECT_EQ(ZoomText(0.75), "75%");
    EXPECT_EQ(ZoomText(0.5625), "56.25%");
    EXPECT_EQ(ZoomText(1.0 / 0.75), "133.3%");
    EXPECT_EQ(ZoomText(ZoomRateOfStep(-3)), "42.19%");
    EXPECT_EQ(ZoomText(ZoomRateOfStep(MaxZoomStep())), "5612%");
    EXPECT_EQ(ZoomText(ZoomRateOfStep(MinZoomStep())), "1.782%");
}

} // namespace
