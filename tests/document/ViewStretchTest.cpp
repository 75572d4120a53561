#include "document/ViewStretch.h"

#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint32_t Untouched = 0x12345678;

// A screen of width x height pixels, all Untouched.
struct TScreen {
    TScreen(int width, int height)
        : Width(width)
        , Pixels(std::size_t(width) * std::size_t(height), Untouched)
    {
    }
    std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
    int Width;
    std::vector<std::uint32_t> Pixels;
};

std::uint32_t ScreenColor(const TBitmap& picture, int x, int y)
{
    const std::uint8_t* p = Pixel(picture, x, y);
    return 0xff000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

void StretchAll(const TBitmap& picture, const TStretch& stretch, TScreen& screen)
{
    StretchToScreen(picture, stretch, screen.Pixels.data(), std::size_t(screen.Width), 0, stretch.ScaledWidth, 0,
                    stretch.ScaledHeight);
}

TEST(ViewStretch, PixelsArePackedAsRedGreenBlueWithFullAlpha)
{
    TBitmap picture = FilledPicture(1, 1, 0x01, 0x02, 0x03);
    TScreen screen(1, 1);
    StretchAll(picture, TStretch{WholeRect(1, 1), 1, 1}, screen);
    EXPECT_EQ(screen.At(0, 0), 0xff030201u);
}

TEST(ViewStretch, ZoomingInRepeatsWholePixels)
{
    const TBitmap picture = PatternPicture(2, 2, 5);
    TScreen screen(4, 4);
    StretchAll(picture, TStretch{WholeRect(2, 2), 4, 4}, screen);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(screen.At(x, y), ScreenColor(picture, x / 2, y / 2)) << x << "," << y;
}

TEST(ViewStretch, ZoomingOutDropsWholePixels)
{
    // Three columns on two screen pixels: columns 0 and 1 are shown, 2 dropped;
    // five rows on two: rows 0 and 2.
    const TBitmap picture = PatternPicture(3, 5, 9);
    TScreen screen(2, 2);
    StretchAll(picture, TStretch{WholeRect(3, 5), 2, 2}, screen);
    EXPECT_EQ(screen.At(0, 0), ScreenColor(picture, 0, 0));
    EXPECT_EQ(screen.At(1, 0), ScreenColor(picture, 1, 0));
    EXPECT_EQ(screen.At(0, 1), ScreenColor(picture, 0, 2));
    EXPECT_EQ(screen.At(1, 1), ScreenColor(picture, 1, 2));
}

TEST(ViewStretch, OnlyTheAreaIsRead)
{
    // The area (1, 1)-(2, 2) of a 4 x 4 picture at actual size, and a single
    // pixel of it blown up over a 3 x 2 screen.
    const TBitmap picture = PatternPicture(4, 4, 1);
    TScreen screen(2, 2);
    StretchAll(picture, TStretch{TRect{1, 1, 2, 2}, 2, 2}, screen);
    EXPECT_EQ(screen.At(0, 0), ScreenColor(picture, 1, 1));
    EXPECT_EQ(screen.At(1, 1), ScreenColor(picture, 2, 2));

    TScreen single(3, 2);
    StretchAll(picture, TStretch{TRect{3, 3, 3, 3}, 3, 2}, single);
    for (std::uint32_t pixel : single.Pixels)
        EXPECT_EQ(pixel, ScreenColor(picture, 3, 3));
}

TEST(ViewStretch, APartIsDrawnExactlyAsTheWholeDrawsIt)
{
    // A zoom that is not a whole number, so that screen columns and rows of
    // one picture pixel vary in count.
    const TBitmap picture = PatternPicture(9, 6, 3);
    const TStretch stretch{TRect{1, 0, 7, 4}, 17, 11};
    TScreen whole(17, 11);
    StretchAll(picture, stretch, whole);
    TScreen part(17, 11);
    StretchToScreen(picture, stretch, part.Pixels.data(), 17, 3, 9, 2, 7);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 17; ++x) {
            const bool inside = x >= 3 && x < 9 && y >= 2 && y < 7;
            EXPECT_EQ(part.At(x, y), inside ? whole.At(x, y) : Untouched) << x << "," << y;
        }
    // Each of the seven columns appears, in order, the last at the right edge.
    EXPECT_EQ(whole.At(0, 0), ScreenColor(picture, 1, 0));
    EXPECT_EQ(whole.At(16, 10), ScreenColor(picture, 7, 4));
}

TEST(ViewStretch, NothingIsDrawnForAnEmptyAreaOrRange)
{
    const TBitmap picture = PatternPicture(2, 2, 7);
    TScreen screen(2, 2);
    StretchToScreen(picture, TStretch{TRect{}, 2, 2}, screen.Pixels.data(), 2, 0, 2, 0, 2);
    StretchToScreen(picture, TStretch{WholeRect(2, 2), 0, 2}, screen.Pixels.data(), 2, 0, 2, 0, 2);
    StretchToScreen(picture, TStretch{WholeRect(2, 2), 2, 2}, screen.Pixels.data(), 2, 1, 1, 0, 2);
    for (std::uint32_t pixel : screen.Pixels)
        EXPECT_EQ(pixel, Untouched);
}

TEST(ViewStretch, TheScreenSpanOfPicturePixels)
{
    // Four pixels on eight screen pixels: pixels 1 and 2 take screen 2 to 5.
    EXPECT_EQ(ScreenSpan(1, 2, 0, 4, 8), (TScreenSpan{2, 6}));
    // Seven on three: screen 0, 1, 2 show pixels 0, 2, 4; pixel 1 is dropped.
    EXPECT_EQ(ScreenSpan(2, 4, 0, 7, 3), (TScreenSpan{1, 3}));
    EXPECT_EQ(ScreenSpan(1, 1, 0, 7, 3).First, ScreenSpan(1, 1, 0, 7, 3).End);
    // Held to the area, which starts at picture pixel 10.
    EXPECT_EQ(ScreenSpan(0, 11, 10, 4, 8), (TScreenSpan{0, 4}));
    EXPECT_EQ(ScreenSpan(12, 99, 10, 4, 8), (TScreenSpan{4, 8}));
    EXPECT_EQ(ScreenSpan(20, 30, 10, 4, 8).First, ScreenSpan(20, 30, 10, 4, 8).End);
}

TEST(ViewStretch, TheScreenSpanHoldsExactlyTheScreenPixelsOfThosePicturePixels)
{
    for (int length = 1; length <= 9; ++length)
        for (int scaled = 1; scaled <= 20; ++scaled)
            for (int from = 0; from < length; ++from)
                for (int to = from; to < length; ++to) {
                    const TScreenSpan span = ScreenSpan(from + 5, to + 5, 5, length, scaled);
                    for (int x = 0; x < scaled; ++x) {
                        const int shown = x * length / scaled;
                        ASSERT_EQ(x >= span.First && x < span.End, shown >= from && shown <= to)
                            << "length " << length << " scaled " << scaled << " pixels " << from << ".." << to
                            << " screen " << x;
                    }
                }
}

} // namespace
