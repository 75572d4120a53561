#include "Bitmap.h"
#include "ColorStep.h"
#include "EffectSettings.h"
#include "WorkerPool.h"

#include <algorithm>
#include <cstring>
#include <vector>

void BuildBandRow(const std::uint8_t* table, int tableSize, int scale, TBandRow& row)
{
    const std::int64_t start = std::int64_t(scale - 1) * ColorTableRowSize;
    auto byteAt = [&](std::int64_t offset) -> std::uint8_t {
        std::int64_t i = start + offset;
        return i >= 0 && i < tableSize ? table[i] : 0;
    };
    const int n = byteAt(0);
    row.Pairs = n + 1;
    for (int i = 0; i <= n; ++i) {
        row.Low[i] = byteAt(1 + i);
        row.High[i] = byteAt(2 + i);
    }
    for (int c = 0; c < 256; ++c) {
        row.Match[c] = -1;
        for (int i = 0; i <= n; ++i)
            if (row.Low[i] <= c && c < row.High[i])
                row.Match[c] = std::int16_t(i);
    }
    // A value of 255 lies in no band; before any match it takes the top band,
    // the one that holds 254, so that white does not start out black.
    row.Initial = row.Match[254] >= 0 ? row.Match[254] : 0;
}

bool TColorStep::ScaleColors(int scaleType, int scanFromOrigin, int colorScale, const std::uint8_t* colorTable,
                             int colorTableSize)
{
    progress_.BeginStep(StepNames::ColorScale);
    bool done;
    if (colorScale > 0 && (scaleType == 1 || scaleType == 2)) {
        TBandRow bands;
        BuildBandRow(colorTable, colorTableSize, colorScale, bands);
        done = scaleType == 1 ? ScaleFixed(bands) : ScaleAverage(bands, scanFromOrigin != 0);
    } else {
        // No scaling. An unknown method copies too: leaving the buffer as an
        // earlier computation left it would show stale pixels.
        const std::size_t rowBytes = std::size_t(region_.Width) * 3;
        done = ForEachUnit(
            pool_, region_.Width > 0 ? region_.Height : 0,
            [&](int y, int) {
                std::memcpy(scaled_.Data() + std::size_t(y) * rowBytes,
                            picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3, rowBytes);
            },
            [&](int y) { progress_.Percent(y, region_.Height - 1); });
    }
    if (!done)
        return false;
    progress_.EndStep();
    return true;
}

// Fixed colours: every channel becomes the lower boundary of its band; a
// channel in no band keeps the band of the same channel at the pixel before.
// That carried band is the only link between rows, so the last match of each
// row is found first and the rows are then mapped independently.
bool TColorStep::ScaleFixed(const TBandRow& bands)
{
    const int width = region_.Width, height = region_.Height;
    if (width <= 0 || height <= 0)
        return true;
    std::vector<std::int16_t> lastMatch(std::size_t(height) * 3);
    bool done = ForEachUnit(
        pool_, height,
        [&](int y, int) {
            const std::uint8_t* row = picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3;
            for (int c = 0; c < 3; ++c) {
                std::int16_t last = -1;
                for (int x = width - 1; x >= 0 && last < 0; --x)
                    last = bands.Match[row[std::size_t(x) * 3 + c]];
                lastMatch[std::size_t(y) * 3 + c] = last;
            }
        },
        [](int) {});
    if (!done)
        return false;
    std::vector<std::int16_t> entering(std::size_t(height) * 3);
    std::int16_t state[3] = {std::int16_t(bands.Initial), std::int16_t(bands.Initial), std::int16_t(bands.Initial)};
    for (int y = 0; y < height; ++y)
        for (int c = 0; c < 3; ++c) {
            entering[std::size_t(y) * 3 + c] = state[c];
            if (lastMatch[std::size_t(y) * 3 + c] >= 0)
                state[c] = lastMatch[std::size_t(y) * 3 + c];
        }
    const std::size_t rowBytes = std::size_t(width) * 3;
    return ForEachUnit(
        pool_, height,
        [&](int y, int) {
            const std::uint8_t* in = picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3;
            std::uint8_t* out = scaled_.Data() + std::size_t(y) * rowBytes;
            int band[3] = {entering[std::size_t(y) * 3], entering[std::size_t(y) * 3 + 1],
                           entering[std::size_t(y) * 3 + 2]};
            for (std::size_t i = 0; i < rowBytes; i += 3)
                for (int c = 0; c < 3; ++c) {
                    int m = bands.Match[in[i + c]];
                    if (m >= 0)
                        band[c] = m;
                    out[i + c] = bands.Low[band[c]];
                }
        },
        [&](int y) { progress_.Percent(y, height - 1); });
}

namespace {

// One region fill of average scaling, on a visited map with a one-pixel
// border that counts as visited, so that no neighbour needs a bounds test.
struct TFill {
    const TBitmap* Picture;
    const std::uint8_t* Bits;
    std::size_t Stride;
    std::uint8_t* Visited; // (width + 2) x (height + 2)
    std::size_t VisitedStride;
    std::uint32_t* Points; // (y << 16) | x, in the order the pixels joined
    TRegion Rect;
    std::uint8_t* Scaled;
    const TBandRow* Bands;
    int Band[3]; // the band of each channel from the last lookup

    const std::uint8_t* Pixel(std::uint32_t point) const
    {
        return Bits + std::size_t(point >> 16) * Stride + std::size_t(point & 0xFFFF) * 3;
    }
    bool Inside(int x, int y) const
    {
        return unsigned(x - Rect.Left) < unsigned(Rect.Width) && unsigned(y - Rect.Top) < unsigned(Rect.Height);
    }
    std::uint8_t* Output(int x, int y) const
    {
        return Scaled + (std::size_t(y - Rect.Top) * Rect.Width + std::size_t(x - Rect.Left)) * 3;
    }

    void Run(int seedX, int seedY)
    {
        const std::uint8_t* seed = Bits + std::size_t(seedY) * Stride + std::size_t(seedX) * 3;
        unsigned low[3], span[3];
        for (int c = 0; c < 3; ++c) {
            int m = Bands->Match[seed[c]];
            if (m >= 0)
                Band[c] = m;
            low[c] = Bands->Low[Band[c]];
            int high = Bands->High[Band[c]];
            span[c] = high > int(low[c]) ? unsigned(high) - low[c] : 0; // an empty band takes nothing
        }

        // Neighbours in the fixed order below, down, up, left, right and the
        // four corners; the region's colour depends on the order of joining.
        const std::ptrdiff_t vs = std::ptrdiff_t(VisitedStride), ps = std::ptrdiff_t(Stride);
        const std::ptrdiff_t visitedStep[8] = {vs, -vs, -1, 1, -vs - 1, -vs + 1, vs - 1, vs + 1};
        const std::ptrdiff_t pixelStep[8] = {ps, -ps, -3, 3, -ps - 3, -ps + 3, ps - 3, ps + 3};
        const std::uint32_t pointStep[8] = {0x10000u, 0u - 0x10000u, 0u - 1u, 1u, 0u - 0x10001u, 0u - 0xFFFFu,
                                            0xFFFFu, 0x10001u};
        std::size_t count = 0;
        bool touches = false;
        auto visit = [&](std::uint32_t point) {
            std::uint8_t* visited =
                Visited + (std::size_t(point >> 16) + 1) * VisitedStride + std::size_t(point & 0xFFFF) + 1;
            const std::uint8_t* pixel = Pixel(point);
            for (int k = 0; k < 8; ++k) {
                if (visited[visitedStep[k]])
                    continue;
                const std::uint8_t* p = pixel + pixelStep[k];
                if (p[0] - low[0] < span[0] && p[1] - low[1] < span[1] && p[2] - low[2] < span[2]) {
                    visited[visitedStep[k]] = 1;
                    std::uint32_t joined = point + pointStep[k];
                    Points[count++] = joined;
                    touches = touches || Inside(int(joined & 0xFFFF), int(joined >> 16));
                }
            }
        };
        // The seed itself joins only when a neighbour finds it again.
        visit(std::uint32_t(seedY) << 16 | std::uint32_t(seedX));
        for (std::size_t head = 0; head < count; ++head)
            visit(Points[head]);

        if (count > 0 && touches) {
            // A running blend from the middle entry outwards, weighting the
            // last pairs most.
            const std::uint8_t* middle = Pixel(Points[count / 2]);
            unsigned colour[3] = {middle[0], middle[1], middle[2]};
            for (std::size_t k = 0; k <= (count - 1) / 2; ++k) {
                const std::uint8_t* front = Pixel(Points[k]);
                const std::uint8_t* back = Pixel(Points[count - 1 - k]);
                for (int c = 0; c < 3; ++c)
                    colour[c] = ((front[c] + back[c]) / 2 + colour[c]) / 2;
            }
            for (std::size_t i = 0; i < count; ++i) {
                int x = int(Points[i] & 0xFFFF), y = int(Points[i] >> 16);
                if (Inside(x, y)) {
                    std::uint8_t* out = Output(x, y);
                    out[0] = std::uint8_t(colour[0]);
                    out[1] = std::uint8_t(colour[1]);
                    out[2] = std::uint8_t(colour[2]);
                }
            }
        }
        // A seed that never joined (an empty region, or a channel in no band
        // so that it lies outside its own limits) keeps its own colour; a
        // later region that reaches it may still overwrite it.
        if (!Visited[(std::size_t(seedY) + 1) * VisitedStride + std::size_t(seedX) + 1] && Inside(seedX, seedY))
            std::memcpy(Output(seedX, seedY), seed, 3);
    }
};

} // namespace

bool TColorStep::ScaleAverage(const TBandRow& bands, bool scanFromOrigin)
{
    if (region_.Pixels() == 0)
        return true;
    const int pw = picture_->Width(), ph = picture_->Height();
    const std::size_t vstride = std::size_t(pw) + 2;
    visited_.Resize(vstride * (std::size_t(ph) + 2));
    regionPoints_.Resize(std::size_t(pw) * ph);
    std::uint8_t* visited = visited_.Data();
    std::memset(visited, 0, vstride);
    std::memset(visited + vstride * (std::size_t(ph) + 1), 0, vstride);
    std::memset(visited, 1, vstride);
    std::memset(visited + vstride * (std::size_t(ph) + 1), 1, vstride);
    for (int y = 1; y <= ph; ++y) {
        std::uint8_t* row = visited + vstride * y;
        std::memset(row + 1, 0, std::size_t(pw));
        row[0] = row[pw + 1] = 1;
    }

    TFill fill{picture_, picture_->Bits(), picture_->Stride(), visited, vstride, regionPoints_.Data(), region_,
               scaled_.Data(), &bands, {bands.Initial, bands.Initial, bands.Initial}};
    const int startX = scanFromOrigin ? 0 : region_.Left;
    const int startY = scanFromOrigin ? 0 : region_.Top;
    const int endX = region_.Left + region_.Width, endY = region_.Top + region_.Height;
    for (int y = startY; y < endY; ++y) {
        const std::uint8_t* row = visited + vstride * (std::size_t(y) + 1) + 1;
        for (int x = startX; x < endX; ++x) {
            if (AbortRequested())
                return false;
            if (!row[x])
                fill.Run(x, y);
        }
        progress_.Percent(y - region_.Top, region_.Height - 1);
    }
    return true;
}
