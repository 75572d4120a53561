#include "engine/Sketch.h"

#include "engine/CpuFeatures.h"
#include "engine/GaussianBlur.h"
#include "engine/WorkerPool.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

void TSketch::SetKeepEdges(bool keep)
{
    keepEdges_ = keep;
    if (!keep)
        edges_.Release();
}

void TSketch::LoadPicture(const TBitmap* picture, int left, int top, int width, int height)
{
    TRegion r = ClampRegion(picture, left, top, width, height);
    width_ = r.Width;
    height_ = r.Height;
    inverted_.Resize(std::size_t(r.Pixels()) * 3);
    values_.Resize(std::size_t(r.Pixels()));
    if (keepEdges_)
        edges_.Resize(std::size_t(r.Pixels()));
    std::int32_t* credits = Credits();
    const std::size_t rowBytes = std::size_t(width_) * 3;
    bool done = ForEachUnit(
        pool_, cancel_, height_,
        [&](int y, int) {
            const std::uint8_t* in = picture->ScanLine(r.Top + y) + std::size_t(r.Left) * 3;
            std::uint8_t* out = inverted_.Data() + std::size_t(y) * rowBytes;
            for (std::size_t i = 0; i < rowBytes; ++i)
                out[i] = std::uint8_t(255 - in[i]);
            std::fill_n(credits + std::size_t(y) * width_, width_, 0);
        },
        [](int) {});
    if (!done)
        width_ = height_ = 0;
}

namespace {

// Credits of one centre comparison, by how the sharpened amount is rounded.
struct TSharpenTables {
    std::int32_t Once[256]; // Round(d*S)
    std::int32_t Twice[256]; // Round(Round(d*S)*S)
};

void BuildSharpenTables(double sharpen, TSharpenTables& t)
{
    // The factor comes from a 0..50 control divided by 5; a stored value far
    // outside would overflow the sums, so it is held to that range.
    double s = std::isnan(sharpen) ? 0.0 : std::clamp(sharpen, 0.0, 10.0);
    for (int d = 0; d < 256; ++d) {
        double once = std::nearbyint(d * s);
        t.Once[d] = std::int32_t(once);
        t.Twice[d] = std::int32_t(std::nearbyint(once * s));
    }
}

// The comparison of a centre value v with its near and far neighbour in one
// channel and direction: returns the credit to the centre and adds the credit
// to the near neighbour to `nearCredit`. `larger` is the table used when the
// far step is the larger one.
inline std::int32_t Compare(int v, int nearValue, int farValue, const std::int32_t* larger, const TSharpenTables& t,
                            std::int32_t& nearCredit)
{
    int d1 = v - nearValue;
    if (d1 <= 0) {
        nearCredit -= d1;
        return 0;
    }
    int d2 = v - farValue;
    if (d2 <= 0)
        return d1;
    return d2 > d1 ? larger[d2] : t.Once[d1];
}

// All comparisons of the centres of row y (1..height-2). Credits to the row
// above go to `up`, which is the row above itself or a side row when another
// thread may be writing that row.
void EdgeRowWithTables(const std::uint8_t* picture, std::int32_t* values, int width, int y, std::int32_t* up,
                       const TSharpenTables& t)
{
    const std::size_t rowBytes = std::size_t(width) * 3;
    const std::uint8_t* above = picture + std::size_t(y - 1) * rowBytes;
    const std::uint8_t* row = above + rowBytes;
    const std::uint8_t* below = row + rowBytes;
    std::int32_t* own = values + std::size_t(y) * width;
    for (int x = 1; x < width - 1; ++x) {
        const std::uint8_t* c = row + std::size_t(x) * 3;
        std::int32_t centre = 0, left = 0, top = 0;
        // Blue, green, red: the horizontal blue step and every vertical step
        // round the larger step twice when sharpening.
        centre += Compare(c[0], c[-3], c[3], t.Twice, t, left);
        centre += Compare(c[1], c[-2], c[4], t.Once, t, left);
        centre += Compare(c[2], c[-1], c[5], t.Once, t, left);
        const std::uint8_t* a = above + std::size_t(x) * 3;
        const std::uint8_t* b = below + std::size_t(x) * 3;
        centre += Compare(c[0], a[0], b[0], t.Twice, t, top);
        centre += Compare(c[1], a[1], b[1], t.Twice, t, top);
        centre += Compare(c[2], a[2], b[2], t.Twice, t, top);
        own[x] += centre;
        own[x - 1] += left;
        up[x] += top;
    }
}

// The two common sharpen factors need no table: with 0 a centre darker than
// both neighbours gets nothing from that comparison, with 1 it gets the
// larger step. Then every channel byte can be compared on its own, many at a
// time; the three channels of a pixel are added up afterwards.
enum class TSharpenKind { Table, None, Larger };

struct TEdgeScratch {
    std::vector<std::int16_t> Centre, Left, Up;
};

template <TSharpenKind Kind>
inline __attribute__((always_inline)) void
ChannelCredits(const std::uint8_t* __restrict__ row, const std::uint8_t* __restrict__ above,
               const std::uint8_t* __restrict__ below, int count, std::int16_t* __restrict__ centre,
               std::int16_t* __restrict__ left, std::int16_t* __restrict__ up)
{
    for (int e = 0; e < count; ++e) {
        const std::int16_t v = row[e];
        const std::int16_t d1 = std::int16_t(v - row[e - 3]), d2 = std::int16_t(v - row[e + 3]);
        const std::int16_t d3 = std::int16_t(v - above[e]), d4 = std::int16_t(v - below[e]);
        std::int16_t h, w;
        if constexpr (Kind == TSharpenKind::Larger) {
            const std::int16_t mh = d1 > d2 ? d1 : d2, mv = d3 > d4 ? d3 : d4;
            h = d1 > 0 ? mh : std::int16_t(0);
            w = d3 > 0 ? mv : std::int16_t(0);
        } else {
            h = ((d1 > 0) & (d2 <= 0)) ? d1 : std::int16_t(0);
            w = ((d3 > 0) & (d4 <= 0)) ? d3 : std::int16_t(0);
        }
        centre[e] = std::int16_t(h + w);
        left[e] = d1 < 0 ? std::int16_t(-d1) : std::int16_t(0);
        up[e] = d3 < 0 ? std::int16_t(-d3) : std::int16_t(0);
    }
}

template <TSharpenKind Kind>
void ChannelCreditsNarrow(const std::uint8_t* row, const std::uint8_t* above, const std::uint8_t* below, int count,
                          std::int16_t* centre, std::int16_t* left, std::int16_t* up)
{
    ChannelCredits<Kind>(row, above, below, count, centre, left, up);
}

#if defined(__x86_64__) && defined(__GNUC__)
template <TSharpenKind Kind>
__attribute__((target("avx2"))) void ChannelCreditsWide(const std::uint8_t* row, const std::uint8_t* above,
                                                        const std::uint8_t* below, int count, std::int16_t* centre,
                                                        std::int16_t* left, std::int16_t* up)
{
    ChannelCredits<Kind>(row, above, below, count, centre, left, up);
}
#endif

template <TSharpenKind Kind>
void EdgeRowByChannels(const std::uint8_t* picture, std::int32_t* values, int width, int y, std::int32_t* up,
                       TEdgeScratch& s)
{
    const std::size_t rowBytes = std::size_t(width) * 3;
    const std::uint8_t* above = picture + std::size_t(y - 1) * rowBytes;
    const std::uint8_t* row = above + rowBytes;
    const std::uint8_t* below = row + rowBytes;
    if (width < 3)
        return; // no centres
    const int count = (width - 2) * 3; // the channel bytes of the centres 1..width-2
    s.Centre.resize(std::size_t(count));
    s.Left.resize(std::size_t(count));
    s.Up.resize(std::size_t(count));
#if defined(__x86_64__) && defined(__GNUC__)
    if (WideVectors())
        ChannelCreditsWide<Kind>(row + 3, above + 3, below + 3, count, s.Centre.data(), s.Left.data(), s.Up.data());
    else
#endif
        ChannelCreditsNarrow<Kind>(row + 3, above + 3, below + 3, count, s.Centre.data(), s.Left.data(), s.Up.data());
    std::int32_t* own = values + std::size_t(y) * width;
    const std::int16_t *c = s.Centre.data(), *l = s.Left.data(), *u = s.Up.data();
    for (int x = 1; x < width - 1; ++x, c += 3, l += 3, u += 3) {
        own[x] += c[0] + c[1] + c[2];
        own[x - 1] += l[0] + l[1] + l[2];
        up[x] += u[0] + u[1] + u[2];
    }
}

struct TEdgePass {
    const TSharpenTables& Tables;
    TSharpenKind Kind;

    void Row(const std::uint8_t* picture, std::int32_t* values, int width, int y, std::int32_t* up,
             TEdgeScratch& s) const
    {
        if (Kind == TSharpenKind::None)
            EdgeRowByChannels<TSharpenKind::None>(picture, values, width, y, up, s);
        else if (Kind == TSharpenKind::Larger)
            EdgeRowByChannels<TSharpenKind::Larger>(picture, values, width, y, up, s);
        else
            EdgeRowWithTables(picture, values, width, y, up, Tables);
    }
};

TSharpenKind KindOf(const TSharpenTables& t)
{
    bool none = true, larger = true;
    for (int d = 0; d < 256; ++d) {
        none = none && t.Once[d] == 0 && t.Twice[d] == 0;
        larger = larger && t.Once[d] == d && t.Twice[d] == d;
    }
    return none ? TSharpenKind::None : larger ? TSharpenKind::Larger : TSharpenKind::Table;
}

} // namespace

bool TSketch::DrawEdges(double sharpen)
{
    progress_.BeginStep(StepNames::DrawSketch);
    TSharpenTables tables;
    BuildSharpenTables(sharpen, tables);
    const TEdgePass pass{tables, KindOf(tables)};
    const int centreRows = std::max(height_ - 2, 0);
    const int workers = WorkerCount(pool_);
    std::uint8_t* picture = inverted_.Data();
    std::int32_t* values = Credits();
    auto reportRow = [&](int y) { progress_.Percent(y, height_ - 2); };

    std::vector<TEdgeScratch> scratch(workers);
    if (workers <= 1 || centreRows < 2 * workers) {
        return ForEachUnit(
            nullptr, cancel_, centreRows,
            [&](int u, int) { pass.Row(picture, values, width_, u + 1, values + std::size_t(u) * width_, scratch[0]); },
            [&](int u) { reportRow(u + 1); });
    }

    // Bands of centre rows run on different threads; the credits a band
    // gives to the row above it go to a side row, added once all are done.
    const int bands = std::min(centreRows, workers * 4);
    std::vector<std::int32_t> side(std::size_t(bands) * width_, 0);
    auto bandStart = [&](int band) { return 1 + int(std::int64_t(centreRows) * band / bands); };
    bool done = ForEachUnit(
        pool_, cancel_, bands,
        [&](int band, int worker) {
            int first = bandStart(band), last = bandStart(band + 1);
            pass.Row(picture, values, width_, first, side.data() + std::size_t(band) * width_, scratch[worker]);
            for (int y = first + 1; y < last; ++y) {
                if (CancelRequested(cancel_))
                    return;
                pass.Row(picture, values, width_, y, values + std::size_t(y - 1) * width_, scratch[worker]);
            }
        },
        [&](int band) {
            for (int y = bandStart(band); y < bandStart(band + 1); ++y)
                reportRow(y);
        });
    if (!done)
        return false;
    for (int band = 0; band < bands; ++band) {
        std::int32_t* row = values + std::size_t(bandStart(band) - 1) * width_;
        const std::int32_t* add = side.data() + std::size_t(band) * width_;
        for (int x = 0; x < width_; ++x)
            row[x] += add[x];
    }
    return true;
}

bool TSketch::ToneMap(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold, int remainDarkness,
                      bool remainDark)
{
    // 64-bit, so that no stored setting can overflow the arithmetic.
    const std::int64_t remainLevel = 255 - std::int64_t(remainDarkness);
    const std::int64_t darkFrom = 255 - std::int64_t(remainThreshold);
    return ForEachUnit(
        pool_, cancel_, height_,
        [&](int y, int) {
            const std::int32_t* credit = Credits() + std::size_t(y) * width_;
            std::int32_t* v = values_.Data() + std::size_t(y) * width_;
            const std::uint8_t* p = inverted_.Data() + std::size_t(y) * width_ * 3;
            for (int x = 0; x < width_; ++x) {
                std::int64_t a = std::int64_t(credit[x]) * darkness / 32 - detail;
                if (remainDark && p[x * 3] >= darkFrom && p[x * 3 + 1] >= darkFrom && p[x * 3 + 2] >= darkFrom &&
                    a < remainLevel)
                    a = remainLevel;
                std::int64_t out;
                if (a > 255)
                    out = 0;
                else if (a < 0)
                    out = 255;
                else if (sketchType == 1)
                    out = a >= 16 ? 0 : 255;
                else if (sketchType == 2)
                    out = 255 - a > whiteLevel ? 255 : 255 - a;
                else
                    out = a;
                v[x] = std::int32_t(out);
            }
        },
        [](int) {});
}

bool TSketch::RenderEdges(double smoothRadius, double sharpen)
{
    if (smoothRadius > 0.0 && !GaussianBlur(inverted_.Data(), inverted_.Data(), width_, height_, smoothRadius,
                                            progress_.Sink(), pool_, cancel_))
        return false;
    return DrawEdges(sharpen);
}

bool TSketch::RenderTone(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold,
                         int remainDarkness, bool remainDark)
{
    if (!ToneMap(sketchType, detail, darkness, whiteLevel, remainThreshold, remainDarkness, remainDark))
        return false;
    progress_.EndStep();
    return true;
}

bool TSketch::Render(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold, int remainDarkness,
                     bool remainDark, double smoothRadius, double sharpen)
{
    return RenderEdges(smoothRadius, sharpen) &&
           RenderTone(sketchType, detail, darkness, whiteLevel, remainThreshold, remainDarkness, remainDark);
}
