#include "tools/DabShape.h"

#include <algorithm>
#include <cmath>

int RoundHalfEven(double value) { return int(std::nearbyint(value)); }

TRect DabRect(int x, int y, int size)
{
    const int half = RoundHalfEven(size / 2.0);
    return TRect{x - size / 2, y - size / 2, x + half, y + half};
}

TShape FilledBox(int width, int height)
{
    TShape shape{width, height, {}};
    shape.Rows.assign(std::size_t(std::max(height, 0)), TSpan{0, width});
    return shape;
}

TShape FilledEllipse(int width, int height)
{
    if (width <= 0 || height <= 0)
        return FilledBox(1, 1);
    TShape shape{width, height, {}};
    shape.Rows.resize(std::size_t(height));
    // Pixel centres in doubled coordinates: (2i + 1 - w)^2 h^2 + (2j + 1 - h)^2 w^2 <= w^2 h^2.
    const std::int64_t w = width;
    const std::int64_t h = height;
    const std::int64_t limit = w * w * h * h;
    for (int j = 0; j < height; ++j) {
        const std::int64_t dy = 2 * j + 1 - h;
        const std::int64_t rest = limit - dy * dy * w * w;
        int begin = width;
        // The row is symmetric: find its first column from the left.
        for (int i = 0; i <= width / 2; ++i) {
            const std::int64_t dx = 2 * i + 1 - w;
            if (dx * dx * h * h <= rest) {
                begin = i;
                break;
            }
        }
        shape.Rows[std::size_t(j)] = begin < width ? TSpan{begin, width - begin} : TSpan{0, 0};
    }
    return shape;
}

TShape DabShape(int size)
{
    const TRect box = DabRect(0, 0, size);
    const int width = box.Right - box.Left;
    if (width <= 0)
        return FilledBox(1, 1);
    if (width <= 3)
        return FilledBox(width, width);
    return FilledEllipse(width, width);
}

void FillShape(TBitmap& picture, const TShape& shape, int left, int top, TToolColor color)
{
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(shape.Height, picture.Height() - top);
    for (int j = firstRow; j < lastRow; ++j) {
        const TSpan span = shape.Rows[std::size_t(j)];
        const int begin = std::max(left + span.Begin, 0);
        const int end = std::min(left + span.End, picture.Width());
        std::uint8_t* p = picture.ScanLine(top + j) + std::size_t(std::max(begin, 0)) * 3;
        for (int x = begin; x < end; ++x, p += 3) {
            p[0] = color.B;
            p[1] = color.G;
            p[2] = color.R;
        }
    }
}
