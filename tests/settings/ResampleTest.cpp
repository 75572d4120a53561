#include "settings/Resample.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <stdexcept>

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

// A picture whose pixels, row by row, have all three bytes equal to `values`.
TBitmap Grey(int w, int h, std::initializer_list<int> values)
{
    TBitmap picture(w, h);
    auto value = values.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, ++value)
            std::fill_n(picture.ScanLine(y) + x * 3, 3, std::uint8_t(*value));
    return picture;
}

TBitmap Resampled(const TBitmap& picture, int w, int h)
{
    TBitmap target;
    EXPECT_TRUE(ResampleTo(CaptureResampleSource(picture), w, h, target));
    return target;
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
    const TResampleSource source = CaptureResampleSource(picture);
    EXPECT_EQ(source.Width, 5);
    EXPECT_EQ(source.Height, 2);
    ASSERT_EQ(source.Pixels.size(), 30u);
    EXPECT_EQ(source.Pixels[15], 100);
    EXPECT_EQ(source.Pixels[29], 114);
}

TEST(Resample, TheSameSizeReproducesTheSource)
{
    std::mt19937 random(1);
    for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {64, 3}, {3, 64}}) {
        const TBitmap picture = Picture(w, h, random);
        EXPECT_SAME_PICTURE(Resampled(picture, w, h), picture) << w << " x " << h;
    }
}

TEST(Resample, HalvingAveragesEachTwoByTwoBlock)
{
    // 10, 20, 30, 40 give 25; 0, 0, 0, 255 give 63 (the quotient truncates).
    const TBitmap picture = Grey(4, 4, {10, 20, 0, 0, 30, 40, 0, 255, 200, 200, 9, 9, 200, 200, 9, 9});
    EXPECT_SAME_PICTURE(Resampled(picture, 2, 2), Grey(2, 2, {25, 63, 200, 9}));
}

TEST(Resample, ThreeRowsToTwoWeighTheMiddleRowHalf)
{
    // (0 x 4096 + 90 x 2048) / 6144 and (90 x 2048 + 180 x 4096) / 6144;
    // equal weights would give 45 and 135.
    EXPECT_SAME_PICTURE(Resampled(Grey(1, 3, {0, 90, 180}), 1, 2), Grey(1, 2, {30, 150}));
}

TEST(Resample, ABadSizeOrAnEmptyCaptureLeavesTheTargetUntouched)
{
    std::mt19937 random(2);
    TBitmap before = Picture(3, 3, random);
    const TResampleSource source = CaptureResampleSource(Picture(8, 8, random));
    for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -3}, {0, 0}}) {
        TBitmap target = before;
        EXPECT_FALSE(ResampleTo(source, w, h, target));
        EXPECT_SAME_PICTURE(target, before) << w << " x " << h;
    }
    TBitmap tooLarge = before;
    EXPECT_THROW(ResampleTo(source, TBitmap::MaxSide + 1, 1, tooLarge), std::length_error);
    EXPECT_THROW(ResampleTo(source, 20000, 20000, tooLarge), std::length_error);
    EXPECT_SAME_PICTURE(tooLarge, before);

    TBitmap target = before;
    EXPECT_FALSE(ResampleTo(CaptureResampleSource(TBitmap()), 2, 2, target));
    EXPECT_SAME_PICTURE(target, before);
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
        TBitmap target;
        ASSERT_TRUE(ResampleTo(CaptureResampleSource(picture), w, h, target));
        ASSERT_SAME_PICTURE(target, Reference(picture, w, h)) << w0 << " x " << h0 << " to " << w << " x " << h;
    }
}

TEST(Resample, ALargePictureSplitIntoBandsEqualsTheAreaAverage)
{
    // Large enough to be shared among threads: the rows around every band
    // boundary for up to eight bands are checked.
    std::mt19937 random(4);
    const int w = 1013, h = 877;
    TBitmap picture = Picture(1531, 1187, random);
    TBitmap target;
    ASSERT_TRUE(ResampleTo(CaptureResampleSource(picture), w, h, target));
    for (int bands = 2; bands <= 8; ++bands)
        for (int b = 1; b < bands; ++b)
            for (int i : {h * b / bands - 1, h * b / bands})
                for (int j = 0; j < w; j += 97)
                    ASSERT_EQ(At(target, j, i, 1), ReferenceByte(picture, w, h, i, j, 1)) << j << "," << i;
}

TEST(Resample, EnlargingTakesTheSourcePixelUnderEachCentre)
{
    // Centres at 0.3, 0.9, 1.5, 2.1 and 2.7 source pixels.
    EXPECT_SAME_PICTURE(Resampled(Grey(3, 1, {10, 20, 30}), 5, 2),
                        Grey(5, 2, {10, 10, 20, 30, 30, 10, 10, 20, 30, 30}));
    // Far beyond 4096 times, where the fixed-point step would be 0.
    TBitmap wide = Resampled(Grey(1, 1, {255}), 5000, 1);
    EXPECT_EQ(At(wide, 0, 0, 0), 255);
    EXPECT_EQ(At(wide, 4999, 0, 2), 255);
}

TEST(Resample, WhiteStaysNearWhiteAndNeverWraps)
{
    // The weight sum is divided in whole units, so white can come out one
    // level darker at uneven ratios, and a quotient above 255 must not wrap.
    TBitmap white(29, 31);
    white.FillWhite();
    for (int w = 1; w <= 29; ++w) {
        const TBitmap target = Resampled(white, w, 31 - w);
        for (int y = 0; y < target.Height(); ++y)
            ASSERT_GE(*std::min_element(target.ScanLine(y), target.ScanLine(y) + w * 3), 254) << w;
    }
}

} // namespace
