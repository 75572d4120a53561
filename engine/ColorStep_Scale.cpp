#include "engine/ColorStep.h"
#include "engine/EffectSettings.h"
#include "engine/RowsReady.h"
#include "engine/WorkerPool.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
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
                             int colorTableSize, TRowsReady* ready)
{
    progress_.BeginStep(StepNames::ColorScale);
    bool done;
    if (colorScale > 0 && (scaleType == ScaleTypeFixed || scaleType == ScaleTypeAverage)) {
        TBandRow bands;
        BuildBandRow(colorTable, colorTableSize, colorScale, bands);
        done = scaleType == ScaleTypeFixed ? ScaleFixed(bands) : ScaleAverage(bands, scanFromOrigin != 0, ready);
    } else {
        // No scaling. An unknown method copies too: leaving the buffer as an
        // earlier computation left it would show stale pixels.
        const std::size_t rowBytes = std::size_t(region_.Width) * 3;
        done = ForEachUnit(
            pool_, cancel_, region_.Width > 0 ? region_.Height : 0,
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
namespace {

// The band of the last pixel in columns [from, to) of a row whose channel
// `c` lies in a band, scanning from the right; -1 when none does.
std::int16_t LastMatch(const TBandRow& bands, const std::uint8_t* row, int from, int to, int c)
{
    for (int x = to - 1; x >= from; --x) {
        const std::int16_t m = bands.Match[row[std::size_t(x) * 3 + c]];
        if (m >= 0)
            return m;
    }
    return -1;
}

} // namespace

bool TColorStep::ScaleFixed(const TBandRow& bands)
{
    const int width = region_.Width, height = region_.Height;
    if (width <= 0 || height <= 0)
        return true;
    std::vector<std::int16_t> entering(std::size_t(height) * 3);
    std::int16_t state[3] = {std::int16_t(bands.Initial), std::int16_t(bands.Initial), std::int16_t(bands.Initial)};
    if (!carryFromPicture_) {
        std::vector<std::int16_t> lastMatch(std::size_t(height) * 3);
        bool done = ForEachUnit(
            pool_, cancel_, height,
            [&](int y, int) {
                const std::uint8_t* row = picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3;
                for (int c = 0; c < 3; ++c)
                    lastMatch[std::size_t(y) * 3 + c] = LastMatch(bands, row, 0, width, c);
            },
            [](int) {});
        if (!done)
            return false;
        for (int y = 0; y < height; ++y)
            for (int c = 0; c < 3; ++c) {
                entering[std::size_t(y) * 3 + c] = state[c];
                if (lastMatch[std::size_t(y) * 3 + c] >= 0)
                    state[c] = lastMatch[std::size_t(y) * 3 + c];
            }
    } else {
        // As the scan of the whole picture carries it: the last match left of
        // the region in the row, or else the last one in the rows above.
        const int above = region_.Top + height - 1; // rows whose last match can reach a region row
        const int pictureWidth = picture_->Width();
        std::vector<std::int16_t> rowMatch(std::size_t(above) * 3), leftMatch(std::size_t(height) * 3);
        bool done = ForEachUnit(
            pool_, cancel_, above + height,
            [&](int unit, int) {
                if (unit < above) {
                    const std::uint8_t* row = picture_->ScanLine(unit);
                    for (int c = 0; c < 3; ++c)
                        rowMatch[std::size_t(unit) * 3 + c] = LastMatch(bands, row, 0, pictureWidth, c);
                } else {
                    const int y = unit - above;
                    const std::uint8_t* row = picture_->ScanLine(region_.Top + y);
                    for (int c = 0; c < 3; ++c)
                        leftMatch[std::size_t(y) * 3 + c] = LastMatch(bands, row, 0, region_.Left, c);
                }
            },
            [](int) {});
        if (!done)
            return false;
        for (int r = 0; r < region_.Top + height; ++r)
            for (int c = 0; c < 3; ++c) {
                if (r >= region_.Top) {
                    const std::size_t i = std::size_t(r - region_.Top) * 3 + c;
                    entering[i] = leftMatch[i] >= 0 ? leftMatch[i] : state[c];
                }
                if (r < above && rowMatch[std::size_t(r) * 3 + c] >= 0)
                    state[c] = rowMatch[std::size_t(r) * 3 + c];
            }
    }
    const std::size_t rowBytes = std::size_t(width) * 3;
    return ForEachUnit(
        pool_, cancel_, height,
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

// Average scaling grows each region from its seed over the 8 neighbours in a
// fixed order, which fixes the order of the region list and so the blended
// colour. The walk runs on a map of the picture with a one-pixel border that
// never joins, so no neighbour needs a bounds test. Two kinds of map:
//
// - TLimitMap, for any table: a visited byte per pixel; a neighbour joins when
//   it is unvisited and each channel lies inside the seed's band limits. Each
//   region writes its colour into the output as soon as it is known.
// - TKeyMap, for tables whose bands do not overlap (every table the program
//   writes): a channel lies inside a band exactly when its own band is that
//   band, so each pixel carries the key of its three bands, and a neighbour
//   joins when its key equals the seed's: one load and compare instead of
//   four. A joined pixel's key is replaced by the number of its region, and
//   the output is written in one pass at the end, in memory order: every
//   pixel of the output either joined exactly one region, whose colour it
//   takes, or is a seed that never joined and keeps its own colour, which is
//   what writing each region's colour as it ends comes to.

constexpr std::uint32_t NoBand = 1023; // a channel in no band; no seed key has it
constexpr std::uint32_t JoinedBit = 0x80000000u;
constexpr std::uint32_t BorderKey = 0xFFFFFFFFu;

inline std::uint32_t KeyOf(int blue, int green, int red)
{
    return std::uint32_t(blue) | std::uint32_t(green) << 10 | std::uint32_t(red) << 20;
}

// Neighbours in the fixed order: below, above, left, right, then the corners
// above left, above right, below left, below right.
constexpr int NeighbourX[8] = {0, 0, -1, 1, -1, 1, -1, 1};
constexpr int NeighbourY[8] = {1, -1, 0, 0, -1, -1, 1, 1};

struct TFillCommon {
    const std::uint8_t* Bits;
    std::size_t Stride;
    std::size_t MapStride; // picture width + 2
    std::uint32_t* Points; // (y << 16) | x, in the order the pixels joined
    TRegion Rect;
    std::uint8_t* Scaled;
    const TBandRow* Bands;
    int Band[3]; // the band of each channel from the last lookup

    const std::uint8_t* Pixel(std::uint32_t point) const
    {
        return Bits + std::size_t(point >> 16) * Stride + std::size_t(point & 0xFFFF) * 3;
    }
    std::size_t MapIndex(unsigned x, unsigned y) const { return (std::size_t(y) + 1) * MapStride + x + 1; }
    bool Inside(int x, int y) const
    {
        return unsigned(x - Rect.Left) < unsigned(Rect.Width) && unsigned(y - Rect.Top) < unsigned(Rect.Height);
    }
    std::uint8_t* Output(int x, int y) const
    {
        return Scaled + (std::size_t(y - Rect.Top) * Rect.Width + std::size_t(x - Rect.Left)) * 3;
    }
};

struct TLimitMap {
    std::uint8_t* Visited;
    unsigned Low[3] = {}, Span[3] = {};

    bool Unjoined(std::size_t i) const { return Visited[i] == 0; }
    void Start(const TFillCommon& f)
    {
        for (int c = 0; c < 3; ++c) {
            Low[c] = f.Bands->Low[f.Band[c]];
            int high = f.Bands->High[f.Band[c]];
            Span[c] = high > int(Low[c]) ? unsigned(high) - Low[c] : 0; // an empty band takes nothing
        }
    }
    // Tests and marks neighbour i (at pixel p); true when it joins.
    bool Join(std::size_t i, const std::uint8_t* p)
    {
        if (Visited[i] || !(p[0] - Low[0] < Span[0] && p[1] - Low[1] < Span[1] && p[2] - Low[2] < Span[2]))
            return false;
        Visited[i] = 1;
        return true;
    }
    void RegionDone(const TFillCommon& f, std::size_t count, const unsigned colour[3])
    {
        WriteRegion(f, count, colour);
    }
    static void WriteRegion(const TFillCommon& f, std::size_t count, const unsigned colour[3])
    {
        for (std::size_t i = 0; i < count; ++i) {
            int x = int(f.Points[i] & 0xFFFF), y = int(f.Points[i] >> 16);
            if (f.Inside(x, y)) {
                std::uint8_t* out = f.Output(x, y);
                out[0] = std::uint8_t(colour[0]);
                out[1] = std::uint8_t(colour[1]);
                out[2] = std::uint8_t(colour[2]);
            }
        }
    }
    void SeedDone(const TFillCommon& f, int x, int y, const std::uint8_t* seed)
    {
        // A seed that never joined (an empty region, or a channel in no band
        // so that it lies outside its own limits) keeps its own colour; a
        // later region that reaches it may still overwrite it.
        if (Unjoined(f.MapIndex(x, y)) && f.Inside(x, y))
            std::memcpy(f.Output(x, y), seed, 3);
    }
};

struct TKeyMap {
    std::uint32_t* Keys;
    std::vector<std::uint32_t>* Colours; // of each region that touches the output
    std::uint32_t Seed = 0;
    std::uint32_t Label = 0;

    bool Unjoined(std::size_t i) const { return (Keys[i] & JoinedBit) == 0; }
    void Start(const TFillCommon& f)
    {
        Seed = KeyOf(f.Band[0], f.Band[1], f.Band[2]);
        Label = JoinedBit | std::uint32_t(Colours->size());
        Colours->push_back(0);
    }
    bool Join(std::size_t i, const std::uint8_t*)
    {
        if (Keys[i] != Seed)
            return false;
        Keys[i] = Label;
        return true;
    }
    void RegionDone(const TFillCommon&, std::size_t, const unsigned colour[3])
    {
        Colours->back() = colour[0] | colour[1] << 8 | colour[2] << 16;
    }
    void SeedDone(const TFillCommon&, int, int, const std::uint8_t*) {}
};

// The same with the three bands of a pixel numbered densely, for the
// common tables with few bands: a byte (or two) per pixel instead of four,
// so that far more of the map stays in the cache while a large region grows.
// A joined pixel is only marked; each region writes its colour into the
// output when it ends, as TLimitMap does.
template <class TKey>
struct TSmallKeyMap {
    static constexpr TKey Joined = std::numeric_limits<TKey>::max(); // the border too
    TKey* Keys;
    int Radix; // band numbers per channel, "no band" included
    TKey Seed = 0;

    static bool Fits(const TBandRow& bands)
    {
        const std::int64_t radix = bands.Pairs + 1;
        return radix * radix * radix < std::int64_t(Joined);
    }
    TKey KeyOf(int blue, int green, int red) const { return TKey((blue * Radix + green) * Radix + red); }
    bool Unjoined(std::size_t i) const { return Keys[i] != Joined; }
    void Start(const TFillCommon& f) { Seed = KeyOf(f.Band[0], f.Band[1], f.Band[2]); }
    bool Join(std::size_t i, const std::uint8_t*)
    {
        if (Keys[i] != Seed)
            return false;
        Keys[i] = Joined;
        return true;
    }
    void RegionDone(const TFillCommon& f, std::size_t count, const unsigned colour[3])
    {
        TLimitMap::WriteRegion(f, count, colour);
    }
    void SeedDone(const TFillCommon& f, int x, int y, const std::uint8_t* seed)
    {
        if (Unjoined(f.MapIndex(x, y)) && f.Inside(x, y))
            std::memcpy(f.Output(x, y), seed, 3);
    }
};

template <class Map>
struct TFill : TFillCommon {
    Map M;
    // A neighbour's offset in the map, in the picture and in a point.
    std::ptrdiff_t MapStep[8] = {}, PixelStep[8] = {};
    std::uint32_t PointStep[8] = {};

    void Prepare()
    {
        for (int k = 0; k < 8; ++k) {
            MapStep[k] = NeighbourY[k] * std::ptrdiff_t(MapStride) + NeighbourX[k];
            PixelStep[k] = NeighbourY[k] * std::ptrdiff_t(Stride) + NeighbourX[k] * 3;
            PointStep[k] = std::uint32_t(NeighbourY[k]) * 0x10000u + std::uint32_t(NeighbourX[k]);
        }
    }

    void Run(int seedX, int seedY)
    {
        const std::uint8_t* seed = Bits + std::size_t(seedY) * Stride + std::size_t(seedX) * 3;
        for (int c = 0; c < 3; ++c) {
            int m = Bands->Match[seed[c]];
            if (m >= 0)
                Band[c] = m;
        }
        M.Start(*this);

        std::size_t count = 0;
        auto visit = [&](std::uint32_t point) {
            const std::size_t at = MapIndex(point & 0xFFFF, point >> 16);
            const std::uint8_t* pixel = Pixel(point);
            for (int k = 0; k < 8; ++k) {
                // A joined pixel is written at the end of the list and
                // counted; any other is written there too and overwritten
                // later, which keeps the loop free of branches.
                bool join = M.Join(at + MapStep[k], pixel + PixelStep[k]);
                Points[count] = point + PointStep[k];
                count += join;
            }
        };
        // The seed itself joins only when a neighbour finds it again.
        visit(std::uint32_t(seedY) << 16 | std::uint32_t(seedX));
        for (std::size_t head = 0; head < count; ++head)
            visit(Points[head]);

        bool touches = false;
        for (std::size_t i = 0; i < count && !touches; ++i)
            touches = Inside(int(Points[i] & 0xFFFF), int(Points[i] >> 16));
        if (touches) {
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
            M.RegionDone(*this, count, colour);
        }
        M.SeedDone(*this, seedX, seedY, seed);
    }
};

// True when no value lies in two different pairs of the row, so that lying in
// a pair is the same as having it as one's band.
bool BandsAreDisjoint(const TBandRow& bands)
{
    for (int c = 0; c < 256; ++c)
        for (int i = 0; i < bands.Pairs; ++i)
            if (bands.Low[i] <= c && c < bands.High[i] && bands.Match[c] != i)
                return false;
    return true;
}

// With `ready`, tells after each row of the walk how many rows of the output
// are final. That holds for the key maps of TSmallKeyMap only: there a pixel
// joins a region only if it has the seed's key, and a pixel the walk has
// passed that is still unjoined has no unjoined neighbour with its key left
// (its own region took them), so a region seeded in row y reaches no row
// above y - 1; once row y is done, the rows above it are final.
template <class Map>
bool Scan(TFill<Map>& fill, const TRegion& region, bool scanFromOrigin, const TProgressReporter& progress,
          const TCancelToken* cancel, TRowsReady* ready = nullptr)
{
    const int startX = scanFromOrigin ? 0 : region.Left;
    const int startY = scanFromOrigin ? 0 : region.Top;
    const int endX = region.Left + region.Width, endY = region.Top + region.Height;
    fill.Prepare();
    for (int y = startY; y < endY; ++y) {
        std::size_t at = fill.MapIndex(0, y);
        for (int x = startX; x < endX; ++x) {
            if (CancelRequested(cancel))
                return false;
            if (fill.M.Unjoined(at + x))
                fill.Run(x, y);
        }
        if (ready)
            ready->Publish(y - region.Top);
        progress.Percent(y - region.Top, region.Height - 1);
    }
    if (ready)
        ready->Publish(region.Height);
    return true;
}

template <class TKey>
bool ScaleBySmallKeys(const TBitmap& picture, TWorkerPool* pool, TCancelToken* cancel,
                      TWorkBuffer<std::uint8_t>& buffer, const TBandRow& bands, TFillCommon& common,
                      const TRegion& region, bool scanFromOrigin, const TProgressReporter& progress, TRowsReady* ready)
{
    const int pw = picture.Width(), ph = picture.Height();
    const std::size_t stride = common.MapStride;
    buffer.Resize(stride * (std::size_t(ph) + 2) * sizeof(TKey));
    TKey* keys = reinterpret_cast<TKey*>(buffer.Data());
    const TKey border = TSmallKeyMap<TKey>::Joined;
    std::fill_n(keys, stride, border);
    std::fill_n(keys + stride * (std::size_t(ph) + 1), stride, border);
    const int radix = bands.Pairs + 1;
    TSmallKeyMap<TKey> map{keys, radix};
    // Each channel's part of the key; a value in no band takes the number
    // after the last band, which no seed has.
    std::uint32_t channelKey[3][256];
    for (int v = 0; v < 256; ++v) {
        const int band = bands.Match[v] >= 0 ? bands.Match[v] : bands.Pairs;
        channelKey[0][v] = std::uint32_t(band * radix * radix);
        channelKey[1][v] = std::uint32_t(band * radix);
        channelKey[2][v] = std::uint32_t(band);
    }
    if (!ForEachUnit(
            pool, cancel, ph,
            [&](int y, int) {
                TKey* row = keys + stride * (std::size_t(y) + 1);
                const std::uint8_t* p = picture.ScanLine(y);
                row[0] = row[pw + 1] = border;
                for (int x = 0; x < pw; ++x, p += 3)
                    row[x + 1] = TKey(channelKey[0][p[0]] + channelKey[1][p[1]] + channelKey[2][p[2]]);
            },
            [](int) {}))
        return false;
    TFill<TSmallKeyMap<TKey>> fill{common, map};
    return Scan(fill, region, scanFromOrigin, progress, cancel, ready);
}

} // namespace

bool TColorStep::ScaleAverage(const TBandRow& bands, bool scanFromOrigin, TRowsReady* ready)
{
    if (region_.Pixels() == 0)
        return true;
    // The fill state covers the whole picture. For a large picture it is let
    // go when the scaling ends, so that it does not add to the memory the
    // layers need afterwards; small ones (a preview) keep it for the next run.
    struct TRelease {
        TColorStep& Step;
        ~TRelease()
        {
            if (Step.regionPoints_.Size() > LargeFillState) {
                Step.regionPoints_.Release();
                Step.keys_.Release();
                Step.smallKeys_.Release();
                Step.visited_.Release();
                std::vector<std::uint32_t>().swap(Step.regionColours_);
            }
        }
    } release{*this};
    const int pw = picture_->Width(), ph = picture_->Height();
    const std::size_t stride = std::size_t(pw) + 2;
    regionPoints_.Resize(std::size_t(pw) * ph + 8); // room for the write past the end

    TFillCommon common{picture_->Bits(), picture_->Stride(), stride, regionPoints_.Data(),
                       region_,          scaled_.Data(),     &bands, {bands.Initial, bands.Initial, bands.Initial}};

    if (BandsAreDisjoint(bands) && TSmallKeyMap<std::uint16_t>::Fits(bands)) {
        if (TSmallKeyMap<std::uint8_t>::Fits(bands))
            return ScaleBySmallKeys<std::uint8_t>(*picture_, pool_, cancel_, smallKeys_, bands, common, region_,
                                                  scanFromOrigin, progress_, ready);
        return ScaleBySmallKeys<std::uint16_t>(*picture_, pool_, cancel_, smallKeys_, bands, common, region_,
                                               scanFromOrigin, progress_, ready);
    }
    if (BandsAreDisjoint(bands)) {
        keys_.Resize(stride * (std::size_t(ph) + 2));
        std::uint32_t* keys = keys_.Data();
        std::fill_n(keys, stride, BorderKey);
        std::fill_n(keys + stride * (std::size_t(ph) + 1), stride, BorderKey);
        std::uint32_t channelKey[3][256];
        for (int c = 0; c < 3; ++c)
            for (int v = 0; v < 256; ++v)
                channelKey[c][v] = std::uint32_t(bands.Match[v] >= 0 ? bands.Match[v] : NoBand) << (10 * c);
        if (!ForEachUnit(
                pool_, cancel_, ph,
                [&](int y, int) {
                    std::uint32_t* row = keys + stride * (std::size_t(y) + 1);
                    const std::uint8_t* p = picture_->ScanLine(y);
                    row[0] = row[pw + 1] = BorderKey;
                    for (int x = 0; x < pw; ++x, p += 3)
                        row[x + 1] = channelKey[0][p[0]] | channelKey[1][p[1]] | channelKey[2][p[2]];
                },
                [](int) {}))
            return false;
        regionColours_.clear();
        TFill<TKeyMap> fill{common, {keys, &regionColours_}};
        if (!Scan(fill, region_, scanFromOrigin, progress_, cancel_))
            return false;
        const std::uint32_t* colours = regionColours_.data();
        const std::size_t rowBytes = std::size_t(region_.Width) * 3;
        return ForEachUnit(
            pool_, cancel_, region_.Height,
            [&](int y, int) {
                const std::uint32_t* k = keys + common.MapIndex(region_.Left, region_.Top + y);
                const std::uint8_t* own = picture_->ScanLine(region_.Top + y) + std::size_t(region_.Left) * 3;
                std::uint8_t* out = scaled_.Data() + std::size_t(y) * rowBytes;
                for (int x = 0; x < region_.Width; ++x, out += 3, own += 3) {
                    if (k[x] & JoinedBit) {
                        std::uint32_t c = colours[k[x] & ~JoinedBit];
                        out[0] = std::uint8_t(c);
                        out[1] = std::uint8_t(c >> 8);
                        out[2] = std::uint8_t(c >> 16);
                    } else {
                        out[0] = own[0];
                        out[1] = own[1];
                        out[2] = own[2];
                    }
                }
            },
            [](int) {});
    }

    visited_.Resize(stride * (std::size_t(ph) + 2));
    std::uint8_t* visited = visited_.Data();
    std::fill_n(visited, stride, std::uint8_t(1));
    std::fill_n(visited + stride * (std::size_t(ph) + 1), stride, std::uint8_t(1));
    for (int y = 1; y <= ph; ++y) {
        std::uint8_t* row = visited + stride * y;
        std::memset(row + 1, 0, std::size_t(pw));
        row[0] = row[pw + 1] = 1;
    }
    TFill<TLimitMap> fill{common, {visited}};
    return Scan(fill, region_, scanFromOrigin, progress_, cancel_);
}
