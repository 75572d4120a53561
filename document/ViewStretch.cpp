#include "document/ViewStretch.h"

#include <algorithm>
#include <cstring>
#include <vector>

void StretchToScreen(const TBitmap& picture, const TStretch& stretch, std::uint32_t* screen, std::size_t screenStride,
                     int x0, int x1, int y0, int y1)
{
    const TRect& area = stretch.Area;
    if (area.Empty() || stretch.ScaledWidth <= 0 || stretch.ScaledHeight <= 0 || x0 >= x1 || y0 >= y1)
        return;
    const std::int64_t w = area.Right - area.Left + 1;
    const std::int64_t h = area.Bottom - area.Top + 1;

    // The byte offset in a picture row of each screen column's pixel,
    // computed once: the row loop then only looks up and repacks.
    std::vector<std::size_t> columns(std::size_t(x1 - x0));
    for (int x = x0; x < x1; ++x)
        columns[std::size_t(x - x0)] = std::size_t(area.Left + x * w / stretch.ScaledWidth) * 3;

    int lastSourceRow = -1;
    const std::uint32_t* lastRow = nullptr;
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* out = screen + std::size_t(y) * screenStride + x0;
        const int sourceRow = int(area.Top + y * h / stretch.ScaledHeight);
        if (sourceRow == lastSourceRow) {
            // Zoomed in, a picture row covers several screen rows.
            std::memcpy(out, lastRow, std::size_t(x1 - x0) * sizeof(std::uint32_t));
            continue;
        }
        const std::uint8_t* in = picture.ScanLine(sourceRow);
        const std::size_t* column = columns.data();
        for (int i = 0, n = x1 - x0; i < n; ++i) {
            const std::uint8_t* p = in + column[i];
            out[i] = 0xff000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        }
        lastSourceRow = sourceRow;
        lastRow = out;
    }
}

namespace {

// The first screen pixel whose picture pixel lies at or after `offset` pixels
// into the area: the least x with x * length / scaled >= offset.
std::int64_t FirstScreenPixel(std::int64_t offset, std::int64_t length, std::int64_t scaled)
{
    return (offset * scaled + length - 1) / length;
}

} // namespace

TScreenSpan ScreenSpan(int from, int to, int origin, int length, int scaledLength)
{
    if (length <= 0 || scaledLength <= 0)
        return {};
    const std::int64_t first = std::max<std::int64_t>(from - origin, 0);
    const std::int64_t last = std::min<std::int64_t>(to - origin, length - 1);
    if (first > last)
        return {};
    return TScreenSpan{int(FirstScreenPixel(first, length, scaledLength)),
                       int(FirstScreenPixel(last + 1, length, scaledLength))};
}
