#include "tools/Adjustments.h"

#include "engine/ToneTables.h"
#include "engine/WorkerPool.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Below this many pixels (a small preview) waking the helpers costs more
// than it saves.
constexpr std::int64_t ShareOutPixels = 1 << 16;

TRect CommonRect(const TBitmap& source, const TBitmap& destination, const TRect& rect)
{
    return ClampRect(ClampRect(rect, source.Width(), source.Height()), destination.Width(), destination.Height());
}

// Calls map(source row, destination row, pixels) for every row of the
// rectangle, in bands of rows over the pool. Rows never depend on each
// other, so the bands give the same bytes as one pass.
template <class Map>
void ForEachRow(const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool, Map map)
{
    const TRect area = CommonRect(source, destination, rect);
    if (area.Empty())
        return;
    const int width = area.Right - area.Left + 1;
    const int height = area.Bottom - area.Top + 1;
    const std::size_t offset = std::size_t(area.Left) * 3;
    auto rows = [&](int first, int end) {
        for (int y = first; y < end; ++y)
            map(source.ScanLine(y) + offset, destination.ScanLine(y) + offset, width);
    };
    const int threads = std::min(WorkerCount(pool), height);
    if (threads <= 1 || std::int64_t(width) * height < ShareOutPixels) {
        rows(area.Top, area.Bottom + 1);
        return;
    }
    pool->Run([&](int worker) {
        if (worker >= threads)
            return;
        rows(area.Top + int(std::int64_t(height) * worker / threads),
             area.Top + int(std::int64_t(height) * (worker + 1) / threads));
    });
}

void MapPicture(const TBitmap& source, TBitmap& destination, const TChannelTables& tables, const TRect& rect,
                TWorkerPool* pool)
{
    if (IsIdentity(tables)) {
        if (&source != &destination)
            ForEachRow(source, destination, rect, pool, [](const std::uint8_t* s, std::uint8_t* d, int pixels) {
                std::memcpy(d, s, std::size_t(pixels) * 3);
            });
        return;
    }
    ForEachRow(source, destination, rect, pool,
               [&](const std::uint8_t* s, std::uint8_t* d, int pixels) { MapChannels(s, d, pixels, tables); });
}

} // namespace

void OffsetPicture(const TBitmap& source, TBitmap& destination, int red, int green, int blue, const TRect& rect,
                   TWorkerPool* pool)
{
    TChannelTables tables;
    BuildOffsetTables(red, green, blue, tables);
    MapPicture(source, destination, tables, rect, pool);
}

void ContrastPicture(const TBitmap& source, TBitmap& destination, int contrast, const TRect& rect, TWorkerPool* pool)
{
    TChannelTables tables;
    BuildContrastTables(contrast, tables);
    MapPicture(source, destination, tables, rect, pool);
}

void SaturatePicture(const TBitmap& source, TBitmap& destination, int saturation, const TRect& rect, TWorkerPool* pool)
{
    TSaturationTables tables;
    BuildSaturationTables(saturation, tables);
    ForEachRow(source, destination, rect, pool,
               [&](const std::uint8_t* s, std::uint8_t* d, int pixels) { Saturate(s, d, pixels, tables); });
}

void BrightContrastPicture(const TBitmap& source, TBitmap& destination, int brightness, int contrast, const TRect& rect,
                           TWorkerPool* pool)
{
    TChannelTables offset, contrastTables, chained;
    BuildOffsetTables(brightness, brightness, brightness, offset);
    BuildContrastTables(contrast, contrastTables);
    for (int i = 0; i < 256; ++i) {
        chained.Blue[i] = contrastTables.Blue[offset.Blue[i]];
        chained.Green[i] = contrastTables.Green[offset.Green[i]];
        chained.Red[i] = contrastTables.Red[offset.Red[i]];
    }
    MapPicture(source, destination, chained, rect, pool);
}
