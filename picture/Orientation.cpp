#include "picture/Orientation.h"

#include <algorithm>
#include <cstddef>

namespace {

// Where output row y starts in the source and how it walks through it: each
// output row is a straight line through the source (a row or a column,
// forwards or backwards), so the inner loop is one fixed step.
struct TWalk {
    // Source position of output pixel (0, y) and the source step per output
    // pixel along x, both in bytes.
    std::ptrdiff_t start;
    std::ptrdiff_t step;
};

TWalk WalkFor(int orientation, const TBitmap& source, int y)
{
    const int w = source.Width();
    const int h = source.Height();
    const auto stride = std::ptrdiff_t(source.Stride());
    auto at = [&](int sx, int sy) { return std::ptrdiff_t(sy) * stride + std::ptrdiff_t(sx) * 3; };
    switch (orientation) {
    case 2: return {at(w - 1, y), -3};
    case 3: return {at(w - 1, h - 1 - y), -3};
    case 4: return {at(0, h - 1 - y), 3};
    case 5: return {at(y, 0), stride};
    case 6: return {at(y, h - 1), -stride};
    case 7: return {at(w - 1 - y, h - 1), -stride};
    case 8: return {at(w - 1 - y, 0), stride};
    default: return {at(0, y), 3};
    }
}

} // namespace

TBitmap ApplyOrientation(TBitmap picture, int orientation)
{
    if (orientation < 2 || orientation > 8 || picture.Empty())
        return picture;

    const bool swapSides = orientation >= 5;
    const int outWidth = swapSides ? picture.Height() : picture.Width();
    const int outHeight = swapSides ? picture.Width() : picture.Height();
    TBitmap result(outWidth, outHeight);
    // Quarter turns read the source down its columns; going through the
    // output in tiles keeps the source rows of a tile in the cache.
    constexpr int Tile = 64;
    const std::uint8_t* base = picture.Bits();
    for (int tileY = 0; tileY < outHeight; tileY += Tile) {
        const int endY = std::min(tileY + Tile, outHeight);
        for (int tileX = 0; tileX < outWidth; tileX += Tile) {
            const int endX = std::min(tileX + Tile, outWidth);
            for (int y = tileY; y < endY; ++y) {
                const TWalk walk = WalkFor(orientation, picture, y);
                std::ptrdiff_t from = walk.start + std::ptrdiff_t(tileX) * walk.step;
                std::uint8_t* to = result.ScanLine(y) + std::size_t(tileX) * 3;
                for (int x = tileX; x < endX; ++x, from += walk.step, to += 3) {
                    to[0] = base[from];
                    to[1] = base[from + 1];
                    to[2] = base[from + 2];
                }
            }
        }
    }
    return result;
}
