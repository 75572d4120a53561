#include "tools/ObjectImage.h"

#include <algorithm>

namespace {

// v / 255 rounded to the nearest, for v in 0 .. 255 * 255.
inline int DivideBy255(int v)
{
    v += 128;
    return (v + (v >> 8)) >> 8;
}

} // namespace

void FillBox(TBitmap& picture, int left, int top, int right, int bottom, TToolColor color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, picture.Width());
    bottom = std::min(bottom, picture.Height());
    if (left >= right)
        return;
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* p = picture.ScanLine(y) + std::size_t(left) * 3;
        for (int x = left; x < right; ++x, p += 3) {
            p[0] = color.B;
            p[1] = color.G;
            p[2] = color.R;
        }
    }
}

void WriteObjectImage(TBitmap& layer, const TObjectImage& image, int left, int top)
{
    const TBitmap& paint = image.Paint;
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(paint.Height(), layer.Height() - top);
    const int firstColumn = std::max(0, -left);
    const int lastColumn = std::min(paint.Width(), layer.Width() - left);
    if (firstRow >= lastRow || firstColumn >= lastColumn)
        return;
    const std::size_t bytes = std::size_t(lastColumn - firstColumn) * 3;
    if (image.Blended) {
        for (int j = firstRow; j < lastRow; ++j) {
            std::uint8_t* out = layer.ScanLine(top + j) + std::size_t(left + firstColumn) * 3;
            const std::uint8_t* in = paint.ScanLine(j) + std::size_t(firstColumn) * 3;
            const std::uint8_t* alpha = image.Alpha.data() + std::size_t(j) * std::size_t(paint.Width()) + firstColumn;
            for (int i = firstColumn; i < lastColumn; ++i, out += 3, in += 3, ++alpha)
                for (int k = 0; k < 3; ++k)
                    out[k] = std::uint8_t(in[k] + DivideBy255(out[k] * (255 - *alpha)));
        }
        return;
    }
    for (int j = firstRow; j < lastRow; ++j) {
        std::uint8_t* out = layer.ScanLine(top + j) + std::size_t(left + firstColumn) * 3;
        const std::uint8_t* in = paint.ScanLine(j) + std::size_t(firstColumn) * 3;
        if (!image.Masked) {
            std::copy(in, in + bytes, out);
            continue;
        }
        const std::uint8_t* mask = image.Mask.ScanLine(j) + std::size_t(firstColumn) * 3;
        for (std::size_t k = 0; k < bytes; ++k)
            out[k] = std::uint8_t((out[k] & mask[k]) | in[k]);
    }
}

void DrawHandleSquare(TBitmap& layer, int x, int y)
{
    const int left = x - HandleReach;
    const int top = y - HandleReach;
    const int right = x + HandleReach;
    const int bottom = y + HandleReach;
    FillBox(layer, left, top, right, bottom, TToolColor{0, 0, 0});
    FillBox(layer, left + 1, top + 1, right - 1, bottom - 1, TToolColor{255, 255, 255});
}
