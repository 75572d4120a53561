#include "document/Composite.h"

#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

namespace {

std::uint8_t Multiply(std::uint8_t s, std::uint8_t c)
{
    std::uint8_t out = 0;
    MultiplyRow(&s, &c, &out, 1);
    return out;
}

std::uint8_t Mix(std::uint8_t s, std::uint8_t c, int opacity)
{
    std::uint8_t out = 0;
    OpacityRow(&s, &c, &out, 1, opacity);
    return out;
}

TEST(CompositeRule, MultiplyDividesBy255SoWhiteChangesNothing)
{
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(Multiply(255, std::uint8_t(c)), c) << "a white sketch shows the colour unchanged";
    EXPECT_EQ(Multiply(255, 255), 255);
    EXPECT_EQ(Multiply(0, 255), 0);
    EXPECT_EQ(Multiply(0, 0), 0);
    EXPECT_EQ(Multiply(0, 173), 0);
    EXPECT_EQ(Multiply(128, 128), 64); // 16384 / 255 = 64.25
    EXPECT_EQ(Multiply(200, 100), 78); // 20000 / 255 = 78.4
    EXPECT_EQ(Multiply(254, 254), 253); // 64516 / 255 = 253.0
    EXPECT_EQ(Multiply(1, 254), 0);
}

TEST(CompositeRule, OpacityWeighsTheSketchAndTruncates)
{
    EXPECT_EQ(Mix(255, 0, 50), 127);
    EXPECT_EQ(Mix(0, 255, 99), 2); // 255 / 100
    EXPECT_EQ(Mix(255, 0, 1), 2);
    EXPECT_EQ(Mix(0, 255, 1), 252); // 25245 / 100
    EXPECT_EQ(Mix(255, 255, 37), 255) << "equal inputs must come back unchanged";
    EXPECT_EQ(Mix(10, 200, 25), 152); // (75 x 200 + 25 x 10) / 100 = 152.5
}

TEST(CompositeRule, OpacityOutsideItsRangeStaysWithinTheBytes)
{
    EXPECT_EQ(Mix(40, 200, 0), 200);
    EXPECT_EQ(Mix(40, 200, 100), 40);
    EXPECT_EQ(Mix(40, 200, -30), 200);
    EXPECT_EQ(Mix(40, 200, 250), 40);
}

class ComposeTest : public ::testing::Test {
protected:
    static constexpr std::uint8_t Untouched = 0x5A;
    // 5 x 3 so that rows carry padding and the last column is odd.
    TBitmap sketch = PatternPicture(5, 3, 10);
    TBitmap color = PatternPicture(5, 3, 150);
    TBitmap source = PatternPicture(5, 3, 77);
    TBitmap view = FilledPicture(5, 3, Untouched, Untouched, Untouched);
    TLayerState state;

    void Compose(const TRect& rect) { ComposeRect(sketch, color, source, state, view, rect); }
    // Pixels of `view` inside `rect` satisfy `inside`, all others are untouched.
    template <class F>
    void ExpectOnly(const TRect& rect, F inside)
    {
        for (int y = 0; y < view.Height(); ++y)
            for (int x = 0; x < view.Width(); ++x)
                for (int k = 0; k < 3; ++k) {
                    const bool in = x >= rect.Left && x <= rect.Right && y >= rect.Top && y <= rect.Bottom;
                    const std::uint8_t expected = in ? inside(x, y, k) : Untouched;
                    ASSERT_EQ(Pixel(view, x, y)[k], expected) << "x " << x << " y " << y << " channel " << k;
                }
    }
};

TEST_F(ComposeTest, BlendsOnlyInsideTheRectangleWithInclusiveEdges)
{
    const TRect rect{1, 1, 3, 2};
    Compose(rect);
    ExpectOnly(rect,
               [&](int x, int y, int k) { return std::uint8_t(Pixel(sketch, x, y)[k] * Pixel(color, x, y)[k] / 255); });
}

TEST_F(ComposeTest, OpacityModeUsesTheStateOpacity)
{
    state.BlendingMode = BlendOpacity;
    state.Opacity = 30;
    const TRect rect{0, 0, 4, 2};
    Compose(rect);
    ExpectOnly(rect, [&](int x, int y, int k) {
        return std::uint8_t((70 * Pixel(color, x, y)[k] + 30 * Pixel(sketch, x, y)[k]) / 100);
    });
}

TEST_F(ComposeTest, ARectangleBeyondThePictureIsClamped)
{
    Compose(TRect{-4, 1, 40, 70});
    ExpectOnly(TRect{0, 1, 4, 2},
               [&](int x, int y, int k) { return std::uint8_t(Pixel(sketch, x, y)[k] * Pixel(color, x, y)[k] / 255); });
}

TEST_F(ComposeTest, ARectangleWhollyOutsideOrEmptyChangesNothing)
{
    const TBitmap before = view;
    Compose(TRect{5, 0, 9, 2});
    Compose(TRect{-3, -3, -1, -1});
    Compose(TRect{0, 3, 4, 8});
    Compose(TRect{3, 1, 2, 2}); // right before left
    state.SketchVisible = false;
    Compose(TRect{5, 0, 9, 2});
    EXPECT_SAME_PICTURE(view, before);
}

TEST_F(ComposeTest, AnUnknownBlendingModeLeavesTheViewAlone)
{
    const TBitmap before = view;
    for (int mode : {2, -1, 255}) {
        state.BlendingMode = mode;
        Compose(TRect{0, 0, 4, 2});
    }
    EXPECT_SAME_PICTURE(view, before);
}

TEST_F(ComposeTest, OneVisibleLayerIsCopiedUnchanged)
{
    state.ColorVisible = false;
    state.BlendingMode = 7; // the mode does not matter for a copy
    Compose(TRect{2, 0, 4, 2});
    ExpectOnly(TRect{2, 0, 4, 2}, [&](int x, int y, int k) { return Pixel(sketch, x, y)[k]; });

    view.Fill(Untouched, Untouched, Untouched);
    state.ColorVisible = true;
    state.SketchVisible = false;
    Compose(TRect{0, 1, 1, 1});
    ExpectOnly(TRect{0, 1, 1, 1}, [&](int x, int y, int k) { return Pixel(color, x, y)[k]; });
}

TEST_F(ComposeTest, NeitherLayerVisibleShowsThePhoto)
{
    state.SketchVisible = false;
    state.ColorVisible = false;
    Compose(TRect{0, 0, 4, 2});
    EXPECT_SAME_PICTURE(view, source);
}

TEST(ComposeSizes, PicturesOfDifferentSizesAreNeverReadOutside)
{
    // Run under the address sanitizer, a read past any picture would fail.
    TBitmap sketch = FilledPicture(6, 5, 255, 255, 255);
    TBitmap color = FilledPicture(3, 2, 100, 100, 100);
    TBitmap source = FilledPicture(2, 4, 9, 9, 9);
    TBitmap view = FilledPicture(6, 5, 1, 1, 1);
    TLayerState state;
    ComposeRect(sketch, color, source, state, view, TRect{0, 0, 5, 4});
    EXPECT_EQ(Pixel(view, 2, 1)[0], 100);
    EXPECT_EQ(Pixel(view, 3, 1)[0], 1) << "beyond the colouring layer nothing is blended";
    EXPECT_EQ(Pixel(view, 2, 2)[0], 1);

    state.SketchVisible = state.ColorVisible = false;
    ComposeRect(sketch, color, source, state, view, TRect{0, 0, 5, 4});
    EXPECT_EQ(Pixel(view, 1, 3)[2], 9);
    EXPECT_EQ(Pixel(view, 0, 0)[2], 9);
    EXPECT_EQ(Pixel(view, 2, 1)[2], 100) << "beyond the photo the view keeps what it had";

    // A view smaller than the layers is not written past its end either.
    TBitmap small = FilledPicture(2, 1, 1, 1, 1);
    state.SketchVisible = state.ColorVisible = true;
    ComposeRect(sketch, sketch, source, state, small, TRect{0, 0, 5, 4});
    EXPECT_EQ(Pixel(small, 1, 0)[1], 255);
}

} // namespace
