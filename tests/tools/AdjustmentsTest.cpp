#include "tools/Adjustments.h"
#include "tests/tools/AdjustmentReferences.h"

#include "engine/ToneTables.h"
#include "engine/WorkerPool.h"
#include "picture/Bitmap.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace AdjustmentReference;

TPixel PixelAt(const TBitmap& b, int x, int y)
{
    const std::uint8_t* p = b.ScanLine(y) + std::size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

// Noise over every level, with the extremes that clamp often.
TBitmap Noise(int width, int height, unsigned seed)
{
    TBitmap b(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x) {
            const unsigned r = random() % 300;
            b.ScanLine(y)[x] = std::uint8_t(r < 256 ? r : r < 278 ? 0 : 255);
        }
    return b;
}

// Inside `rect` (clamped to the picture) the reference of the source pixel;
// elsewhere the destination's own pixel.
void ExpectMatches(const TBitmap& before, const TBitmap& source, const TBitmap& result, const TRect& rect,
                   const TReference& reference, const std::string& what)
{
    const TRect area = ClampRect(rect, source.Width(), source.Height());
    for (int y = 0; y < result.Height(); ++y)
        for (int x = 0; x < result.Width(); ++x) {
            const bool inside = x >= area.Left && x <= area.Right && y >= area.Top && y <= area.Bottom;
            const TPixel want = inside ? reference(PixelAt(source, x, y)) : PixelAt(before, x, y);
            const TPixel got = PixelAt(result, x, y);
            ASSERT_TRUE(got.B == want.B && got.G == want.G && got.R == want.R)
                << what << " at (" << x << ", " << y << "): got " << got.B << "," << got.G << "," << got.R << " want "
                << want.B << "," << want.G << "," << want.R;
        }
}

struct TOperation {
    const char* Name;
    std::function<void(const TBitmap&, TBitmap&, const TRect&, TWorkerPool*)> Run;
    TReference Reference;
};

std::vector<TOperation> Operations()
{
    auto offset = [](int r, int g, int b) {
        return
            [=](const TBitmap& s, TBitmap& d, const TRect& rc, TWorkerPool* p) { OffsetPicture(s, d, r, g, b, rc, p); };
    };
    auto contrast = [](int c) {
        return [=](const TBitmap& s, TBitmap& d, const TRect& rc, TWorkerPool* p) { ContrastPicture(s, d, c, rc, p); };
    };
    auto saturate = [](int v) {
        return [=](const TBitmap& s, TBitmap& d, const TRect& rc, TWorkerPool* p) { SaturatePicture(s, d, v, rc, p); };
    };
    auto brightContrast = [](int b, int c) {
        return [=](const TBitmap& s, TBitmap& d, const TRect& rc, TWorkerPool* p) {
            BrightContrastPicture(s, d, b, c, rc, p);
        };
    };
    auto chain = [](TReference a, TReference b) { return [=](TPixel p) { return b(a(p)); }; };
    return {
        {"offset 10", offset(10, 10, 10), OffsetReference(10, 10, 10)},
        {"offset 255 -40 -255", offset(255, -40, -255), OffsetReference(255, -40, -255)},
        {"offset 0 (copy)", offset(0, 0, 0), OffsetReference(0, 0, 0)},
        {"contrast 50", contrast(50), ContrastReference(50)},
        {"contrast 255", contrast(255), ContrastReference(255)},
        {"contrast -255", contrast(-255), ContrastReference(-255)},
        {"contrast -7", contrast(-7), ContrastReference(-7)},
        {"saturation -127", saturate(-127), SaturationReference(-127)},
        {"saturation 0", saturate(0), SaturationReference(0)},
        {"saturation 127", saturate(127), SaturationReference(127)},
        {"saturation 78", saturate(78), SaturationReference(78)},
        {"bright -30 contrast 60", brightContrast(-30, 60),
         chain(OffsetReference(-30, -30, -30), ContrastReference(60))},
        {"bright 200 contrast -100", brightContrast(200, -100),
         chain(OffsetReference(200, 200, 200), ContrastReference(-100))},
    };
}

// Every operation, on rectangles from the whole picture down to one pixel and
// partly outside it, into another picture and in place, on one thread and
// shared out over two to four (the picture is big enough to be shared out).
TEST(Adjustments, EqualThePerPixelReferenceOnEveryRectangleAndThreadCount)
{
    constexpr int W = 301, H = 257;
    const TBitmap source = Noise(W, H, 7);
    const TBitmap target = Noise(W, H, 8);
    const TRect rects[] = {
        WholeRect(W, H),
        {0, 0, 0, 0},
        {W - 1, H - 1, W - 1, H - 1},
        {17, 3, 283, 250},
        {0, H - 1, W - 1, H - 1},
        {W - 1, 0, W - 1, H - 1},
        {-20, -5, W + 40, H + 9},
        {200, 100, 100, 200},
    };
    std::vector<std::unique_ptr<TWorkerPool>> pools;
    pools.push_back(nullptr);
    for (int threads : {1, 2, 3, 4})
        pools.push_back(std::make_unique<TWorkerPool>(threads));

    for (const TOperation& op : Operations())
        for (const TRect& rect : rects)
            for (const auto& pool : pools) {
                const std::string what = std::string(op.Name) + " rect (" + std::to_string(rect.Left) + "," +
                                         std::to_string(rect.Top) + ")-(" + std::to_string(rect.Right) + "," +
                                         std::to_string(rect.Bottom) + ") threads " +
                                         std::to_string(WorkerCount(pool.get()));
                TBitmap other = target;
                op.Run(source, other, rect, pool.get());
                ExpectMatches(target, source, other, rect, op.Reference, what + " into another picture");
                TBitmap same = source;
                op.Run(same, same, rect, pool.get());
                ExpectMatches(source, source, same, rect, op.Reference, what + " in place");
            }
}

TEST(Adjustments, ChainedBrightnessAndContrastEqualTheTwoPasses)
{
    const TBitmap source = Noise(64, 48, 3);
    const TRect whole = WholeRect(64, 48);
    for (int brightness : {-255, -31, 0, 10, 254})
        for (int contrast : {-255, -90, 0, 1, 77, 255}) {
            TBitmap twoPasses = source;
            OffsetPicture(twoPasses, twoPasses, brightness, brightness, brightness, whole);
            ContrastPicture(twoPasses, twoPasses, contrast, whole);
            TBitmap chained(64, 48);
            BrightContrastPicture(source, chained, brightness, contrast, whole);
            EXPECT_SAME_PICTURE(chained, twoPasses) << brightness << " " << contrast;
        }
}

// A destination smaller than the source (scratch pictures left from another
// picture) is written only where it exists; nothing outside either is touched.
TEST(Adjustments, PicturesOfDifferentSizesAreClampedToBoth)
{
    const TBitmap source = Noise(40, 30, 5);
    TBitmap small = Noise(25, 20, 6);
    const TBitmap before = small;
    OffsetPicture(source, small, 1, 2, 3, WholeRect(40, 30));
    ExpectMatches(before, source, small, WholeRect(25, 20), OffsetReference(1, 2, 3), "small destination");
    TBitmap big = Noise(50, 40, 9);
    const TBitmap bigBefore = big;
    SaturatePicture(small, big, -127, WholeRect(50, 40));
    ExpectMatches(bigBefore, small, big, WholeRect(25, 20), SaturationReference(-127), "small source");
}

} // namespace
