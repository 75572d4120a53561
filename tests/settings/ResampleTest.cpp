#include "Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::int64_t Unit = 4096;

TBitmap Picture(int w, int h, std::mt19937& random)
{
    TBitmap picture(w, h);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            picture.ScanLine(y)[x] = std::uint8_t(byte(random));
    return picture;
}

void SetPixel(TBitmap& b, int x, int y, std::uint8_t c0, std::uint8_t c1, std::uint8_t c2)
{
    b.ScanLine(y)[x * 3] = c0;
    b.ScanLine(y)[x * 3 + 1] = c1;
    b.ScanLine(y)[x * 3 + 2] = c2;
}

std::uint8_t At(const TBitmap& b, int x, int y, int c) { return b.ScanLine(y)[x * 3 + c]; }

// The weight source cell s gets in target cell t along one axis. For a
// reduction it is the overlap, in 1/4096 pixel, of the source cell with the
// target cell [t x step, (t + 1) x step); for an enlargement the target cell
// takes the one source cell under its centre.
std::int64_t AxisWeight(int sourceSize, int targetSize, int t, int s)
{
    if (targetSize > sourceSize)
        return s == (2 * t + 1) * sourceSize / (2 * targetSize) ? Unit : 0;
    const std::int64_t step = sourceSize * Unit / targetSize;
    const std::int64_t begin = std::max(t * step, s * Unit);
    const std::int64_t end = std::min((t + 1) * step, (s + 1) * Unit);
    return std::max<std::int64_t>(0, end - begin);
}

// Area average over every source pixel, with each product truncated to
// 1/4096 as the fixed-point arithmetic does, and the weight sum in whole units.
std::uint8_t ReferenceByte(const TBitmap& source, int w, int h, int i, int j, int c)
{
    std::int64_t acc = 0, total = 0;
    for (int m = 0; m < source.Height(); ++m) {
        const std::int64_t rowWeight = AxisWeight(source.Height(), h, i, m);
        if (rowWeight == 0)
            continue;
        for (int n = 0; n < source.Width(); ++n) {
            const std::int64_t weight = rowWeight * AxisWeight(source.Width(), w, j, n);
            acc += At(source, n, m, c) * weight / Unit;
            total += weight;
        }
    }
    return std::uint8_t(std::min<std::int64_t>(255, acc / (total / Unit)));
}

TBitmap Reference(const TBitmap& source, int w, int h)
{
    TBitmap target(w, h);
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j)
            for (int c = 0; c < 3; ++c)
                target.ScanLine(i)[j * 3 + c] = ReferenceByte(source, w, h, i, j, c);
    return target;
}

TEST(Resample, CaptureCopiesThePixelsWithoutRowPadding)
{
    TBitmap picture(5, 2); // 15 bytes a row, 16 with padding
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 15; ++x)
            picture.ScanLine(y)[x] = std::uint8_t(y * 100 + x);
    CaptureResampleSource(picture);
    const TResampleSource& source = ResampleSource();
    EXPECT_EQ(source.Width, 5);
    EXPECT_EQ(source.Height, 2);
    ASSERT_EQ(source.Pixels.size(), 30u);
    EXPECT_EQ(source.Pixels[14], 14);
    EXPECT_EQ(source.Pixels[15], 100);
    EXPECT_EQ(source.Pixels[29], 114);

    CaptureResampleSource(TBitmap(1, 1));
    EXPECT_EQ(ResampleSource().Width, 1);
    EXPECT_EQ(ResampleSource().Pixels.size(), 3u);
}

TEST(Resample, TheSameSizeReproducesTheSource)
{
    std::mt19937 random(1);
    for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {64, 3}, {3, 64}}) {
        TBitmap picture = Picture(w, h, random);
        CaptureResampleSource(picture);
        TBitmap target;
        ASSERT_TRUE(ResampleTo(w, h, target));
        EXPECT_EQ(target, picture) << w << " x " << h;
    }
}

TEST(Resample, HalvingAveragesEachTwoByTwoBlock)
{
    TBitmap picture(4, 4);
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx) {
            std::uint8_t base = std::uint8_t(bx * 100 + by * 50);
            SetPixel(picture, bx * 2, by * 2, 10, 0, base);
            SetPixel(picture, bx * 2 + 1, by * 2, 20, 0, base);
            SetPixel(picture, bx * 2, by * 2 + 1, 30, 0, base);
            SetPixel(picture, bx * 2 + 1, by * 2 + 1, 40, 255, base);
        }
    CaptureResampleSource(picture);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(2, 2, target));
    ASSERT_EQ(target.Width(), 2);
    ASSERT_EQ(target.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(At(target, x, y, 0), 25);
            EXPECT_EQ(At(target, x, y, 1), 63) << "255 / 4 truncates";
            EXPECT_EQ(At(target, x, y, 2), x * 100 + y * 50) << "each block on its own";
        }
}

TEST(Resample, ThreeRowsToTwoWeighTheMiddleRowHalf)
{
    // Row 0 weighs 4096 and row 1 2048 in the first target row; rows 1 and 2
    // weigh 2048 and 4096 in the second. Equal weights would give 45 and 135.
    TBitmap picture(1, 3);
    SetPixel(picture, 0, 0, 0, 0, 0);
    SetPixel(picture, 0, 1, 90, 90, 90);
    SetPixel(picture, 0, 2, 180, 180, 180);
    CaptureResampleSource(picture);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(1, 2, target));
    EXPECT_EQ(At(target, 0, 0, 0), 30);  // (0 x 4096 + 90 x 2048) / 6144
    EXPECT_EQ(At(target, 0, 1, 2), 150); // (90 x 2048 + 180 x 4096) / 6144
}

TEST(Resample, ABadSizeOrAnEmptyCaptureLeavesTheTargetUntouched)
{
    std::mt19937 random(2);
    TBitmap before = Picture(3, 3, random);
    CaptureResampleSource(Picture(8, 8, random));
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -3}, {0, 0}}) {
        TBitmap target = before;
        EXPECT_FALSE(ResampleTo(w, h, target));
        EXPECT_EQ(target, before) << w << " x " << h;
    }
    TBitmap tooLarge = before;
    EXPECT_THROW(ResampleTo(TBitmap::MaxSide + 1, 1, tooLarge), std::length_error);
    EXPECT_THROW(ResampleTo(20000, 20000, tooLarge), std::length_error);
    EXPECT_EQ(tooLarge, before);

    CaptureResampleSource(TBitmap());
    TBitmap target = before;
    EXPECT_FALSE(ResampleTo(2, 2, target));
    EXPECT_EQ(target, before);
}

TEST(Resample, EqualsTheAreaAverageOnRandomSizes)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> size(1, 23);
    for (int round = 0; round < 300; ++round) {
        int w0 = size(random), h0 = size(random);
        TBitmap picture = Picture(w0, h0, random);
        // Mostly reductions; some enlargements of one or both sides.
        int w = std::uniform_int_distribution<int>(1, round % 5 == 0 ? 2 * w0 + 1 : w0)(random);
        int h = std::uniform_int_distribution<int>(1, round % 7 == 0 ? 2 * h0 + 1 : h0)(random);
        CaptureResampleSource(picture);
        TBitmap target;
        ASSERT_TRUE(ResampleTo(w, h, target));
        ASSERT_EQ(target, Reference(picture, w, h)) << w0 << " x " << h0 << " to " << w << " x " << h;
    }
}

TEST(Resample, ALargePictureSplitIntoBandsEqualsTheAreaAverage)
{
    // Large enough to be shared among threads; every row at a band boundary
    // for up to eight bands and random pixels elsewhere are checked.
    std::mt19937 random(4);
    const int w0 = 1531, h0 = 1187, w = 1013, h = 877;
    TBitmap picture = Picture(w0, h0, random);
    CaptureResampleSource(picture);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(w, h, target));
    std::vector<int> checkedRows;
    for (int bands = 2; bands <= 8; ++bands)
        for (int b = 1; b < bands; ++b)
            for (int d = -1; d <= 0; ++d)
                checkedRows.push_back(h * b / bands + d);
    checkedRows.push_back(0);
    checkedRows.push_back(h - 1);
    for (int i : checkedRows)
        for (int j = 0; j < w; j += 97)
            ASSERT_EQ(At(target, j, i, 1), ReferenceByte(picture, w, h, i, j, 1)) << j << "," << i;
    std::uniform_int_distribution<int> row(0, h - 1), column(0, w - 1), channel(0, 2);
    for (int k = 0; k < 300; ++k) {
        int i = row(random), j = column(random), c = channel(random);
        ASSERT_EQ(At(target, j, i, c), ReferenceByte(picture, w, h, i, j, c)) << j << "," << i;
    }
}

TEST(Resample, EnlargingTakesTheSourcePixelUnderEachCentre)
{
    TBitmap picture(3, 1);
    SetPixel(picture, 0, 0, 10, 11, 12);
    SetPixel(picture, 1, 0, 20, 21, 22);
    SetPixel(picture, 2, 0, 30, 31, 32);
    CaptureResampleSource(picture);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(5, 2, target));
    // Centres at 0.3, 0.9, 1.5, 2.1 and 2.7 source pixels.
    const int expected[5] = {10, 10, 20, 30, 30};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(At(target, x, y, 0), expected[x]) << x << "," << y;
            EXPECT_EQ(At(target, x, y, 2), expected[x] + 2);
        }

    // Far beyond 4096 times: the fixed-point step would be 0.
    TBitmap dot(1, 1);
    SetPixel(dot, 0, 0, 1, 2, 255);
    CaptureResampleSource(dot);
    ASSERT_TRUE(ResampleTo(5000, 1, target));
    EXPECT_EQ(At(target, 4999, 0, 2), 255);
    EXPECT_EQ(At(target, 0, 0, 0), 1);
}

TEST(Resample, OneSideReducedAndTheOtherEnlarged)
{
    TBitmap picture(4, 1);
    SetPixel(picture, 0, 0, 0, 0, 0);
    SetPixel(picture, 1, 0, 100, 100, 100);
    SetPixel(picture, 2, 0, 200, 200, 200);
    SetPixel(picture, 3, 0, 255, 255, 255);
    CaptureResampleSource(picture);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(2, 3, target));
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(At(target, 0, y, 1), 50);
        EXPECT_EQ(At(target, 1, y, 1), 227); // (200 + 255) / 2
    }
}

TEST(Resample, WhiteStaysNearWhiteAndNeverWraps)
{
    // The weight sum is divided in whole units, so a white area can come out
    // one level darker at uneven ratios, but never wraps past 255 to black.
    TBitmap white(29, 31);
    white.FillWhite();
    CaptureResampleSource(white);
    for (int w = 1; w <= 29; ++w) {
        TBitmap target;
        ASSERT_TRUE(ResampleTo(w, 31 - w, target));
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < w * 3; ++x)
                ASSERT_GE(target.ScanLine(y)[x], 254) << w;
    }
}

} // namespace
