#include "engine/ColorSmooth.h"

#include "engine/CpuFeatures.h"
#include "engine/EffectSettings.h"
#include "engine/MedianByCounting.h"
#include "engine/MedianNetwork.h"
#include "engine/RowsReady.h"
#include "engine/WorkerPool.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
struct TLanesNarrow {
    using TVector = __m128;
    static constexpr int Count = 4;
    static TVector Load(const float* p) { return _mm_loadu_ps(p); }
    static void Store(float* p, TVector v) { _mm_storeu_ps(p, v); }
    static TVector Min(TVector a, TVector b) { return _mm_min_ps(a, b); }
    static TVector Max(TVector a, TVector b) { return _mm_max_ps(a, b); }
};
#else
struct TLanesNarrow {
    using TVector = float;
    static constexpr int Count = 1;
    static TVector Load(const float* p) { return *p; }
    static void Store(float* p, TVector v) { *p = v; }
    static TVector Min(TVector a, TVector b) { return a < b ? a : b; }
    static TVector Max(TVector a, TVector b) { return a < b ? b : a; }
};
#endif

} // namespace

namespace {

// Scratch of one worker for one strip.
struct TStripScratch {
    std::vector<float> Ring; // n rows of the strip's span, as floats
    std::vector<std::uint32_t> Ring32; // the same for the maximum
    std::vector<float> Out;
    std::vector<std::uint32_t> Out32;
    TCountingScratch Counting;
};

struct TSmoothJob {
    const std::uint8_t* Scaled;
    std::uint8_t* Smoothed;
    int Width, Height, Radius;
    std::size_t RowBytes;
    const TCancelToken* Cancel;
};

// For the network strips, which ask before every row.
bool StopRequested(const void* cancel) { return CancelRequested(static_cast<const TCancelToken*>(cancel)); }

// Median by network, four windows side by side (eight where the processor
// has the wider vectors).
void MedianStripByNetwork(const TSmoothJob& job, int x0, int x1, TStripScratch& s)
{
    const int r = job.Radius, n = 2 * r + 1;
    const std::size_t span = std::size_t(x1 - x0) + 2 * r + MaxNetworkLanes;
    s.Ring.assign(span * n, 0.0f);
    s.Out.resize(std::size_t(x1 - x0) + MaxNetworkLanes);
    TNetworkStrip strip{job.Scaled, job.Smoothed,  job.Height,   job.RowBytes,  x0,
                        x1,         s.Ring.data(), s.Out.data(), StopRequested, job.Cancel};
#if defined(__x86_64__) && defined(__GNUC__)
    if (WideVectors()) {
        MedianStripByNetworkWide(r, strip);
        return;
    }
#endif
    if (r == 1)
        MedianStrip<TLanesNarrow, 3, Median9>(strip);
    else if (r == 2)
        MedianStrip<TLanesNarrow, 5, Median25>(strip);
    else
        MedianStrip<TLanesNarrow, 7, Median49>(strip);
}

// The largest colour of each window: the largest of each row stretch first,
// then the largest of those down the window.
void MaximumStrip(const TSmoothJob& job, int x0, int x1, TStripScratch& s)
{
    const int r = job.Radius, n = 2 * r + 1;
    const int m = x1 - x0;
    s.Ring32.assign(std::size_t(m) * n, 0);
    s.Out32.resize(std::size_t(m));
    auto loadRow = [&](int y) {
        std::uint32_t* dst = s.Ring32.data() + std::size_t(y % n) * m;
        const std::uint8_t* src = job.Scaled + std::size_t(y) * job.RowBytes + std::size_t(x0 - r) * 3;
        for (int c = 0; c < m; ++c) {
            std::uint32_t best = 0;
            for (int dx = 0; dx < n; ++dx)
                best = std::max(best, Packed(src + std::size_t(c + dx) * 3));
            dst[c] = best;
        }
    };
    for (int y = 0; y < n - 1; ++y)
        loadRow(y);
    for (int y = r; y < job.Height - r; ++y) {
        if (CancelRequested(job.Cancel))
            return;
        loadRow(y + r);
        std::fill(s.Out32.begin(), s.Out32.end(), 0u);
        for (int dy = 0; dy < n; ++dy) {
            const std::uint32_t* row = s.Ring32.data() + std::size_t(dy) * m;
            for (int c = 0; c < m; ++c)
                s.Out32[c] = std::max(s.Out32[c], row[c]);
        }
        std::uint8_t* out = job.Smoothed + std::size_t(y) * job.RowBytes + std::size_t(x0) * 3;
        for (int c = 0; c < m; ++c)
            Unpack(s.Out32[c], out + std::size_t(c) * 3);
    }
}

} // namespace

struct TColorSmoother::TScratch {
    std::vector<TStripScratch> Strips; // one per worker

    std::vector<TStripScratch>& For(TWorkerPool* pool)
    {
        if (Strips.size() < std::size_t(WorkerCount(pool)))
            Strips.resize(std::size_t(WorkerCount(pool)));
        return Strips;
    }
};

namespace {

// Automatic: the sorting networks up to radius 3, counting beyond.
TMedianMethod Resolved(TMedianMethod method, int radius)
{
    if (method != TMedianMethod::Automatic)
        return method;
    return radius <= 3 ? TMedianMethod::Network : TMedianMethod::Histogram;
}

} // namespace

TColorSmoother::TColorSmoother()
    : scratch_(std::make_unique<TScratch>())
{
}
TColorSmoother::~TColorSmoother() = default;

bool SmoothColorBuffer(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                       int smoothType, const TProgressReporter& progress, TWorkerPool* pool, TMedianMethod method,
                       TCancelToken* cancel)
{
    TColorSmoother smoother;
    return smoother.Smooth(scaled, smoothed, width, height, radius, smoothType, progress, pool, method, cancel);
}

bool TColorSmoother::SmoothFollowing(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height,
                                     int radius, int smoothType, TRowsReady& ready, const TProgressReporter& progress,
                                     TWorkerPool* pool, TMedianMethod method, TCancelToken* cancel)
{
    method = Resolved(method, radius);
    const int n = 2 * radius + 1;
    const bool byCounting = width > 0 && height >= n && radius > 0 && radius <= (width - 1) / 2 &&
                            smoothType == SmoothTypeCircle && method == TMedianMethod::Histogram;
    if (!byCounting) {
        if (!ready.Enter(height))
            return false;
        ready.Leave();
        return Smooth(scaled, smoothed, width, height, radius, smoothType, progress, pool, method, cancel);
    }

    const std::size_t rowBytes = std::size_t(width) * 3;
    const int centres = width - 2 * radius;
    const int strips = (centres + SmoothStrip - 1) / SmoothStrip;
    const int stretch = CountingBlockHeight(radius);
    const int stretches = (height - 2 * radius + stretch - 1) / stretch;
    const int units = stretches * strips;
    std::vector<TStripScratch>& scratch = scratch_->For(pool);
    return ForEachUnit(
        pool, cancel, units,
        [&](int unit, int worker) {
            const int row = radius + unit / strips * stretch;
            const int endRow = std::min(row + stretch, height - radius);
            const int x0 = radius + unit % strips * SmoothStrip;
            const int x1 = std::min(x0 + SmoothStrip, width - radius);
            if (!ready.Enter(endRow + radius))
                return;
            // The unit's share of the copy: its centre rows and columns, with
            // the border beside them where it is the first or last.
            const int copyTop = row == radius ? 0 : row;
            const int copyEnd = endRow == height - radius ? height : endRow;
            const int copyLeft = x0 == radius ? 0 : x0;
            const int copyRight = x1 == width - radius ? width : x1;
            for (int y = copyTop; y < copyEnd; ++y)
                std::memcpy(smoothed + std::size_t(y) * rowBytes + std::size_t(copyLeft) * 3,
                            scaled + std::size_t(y) * rowBytes + std::size_t(copyLeft) * 3,
                            std::size_t(copyRight - copyLeft) * 3);
            TCountingStrip strip{scaled, smoothed, width, height, radius, x0, x1};
            strip.FirstRow = row;
            strip.EndRow = endRow;
            strip.Cancel = cancel;
            MedianStripByCounting(strip, scratch[std::size_t(worker)].Counting);
            ready.Leave();
        },
        [&](int unit) { progress.Percent(unit, units - 1); });
}

bool TColorSmoother::Smooth(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                            int smoothType, const TProgressReporter& progress, TWorkerPool* pool, TMedianMethod method,
                            TCancelToken* cancel)
{
    if (width <= 0 || height <= 0)
        return true;
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::memcpy(smoothed, scaled, rowBytes * height);
    if (radius <= 0)
        return true;
    // A radius wider than the buffer leaves no centre column; the guard also
    // keeps 2r+1 from overflowing for a stored radius far out of range.
    if (radius > (width - 1) / 2)
        return true;

    const int n = 2 * radius + 1;
    const int centres = width - 2 * radius;
    const int strips = (centres + SmoothStrip - 1) / SmoothStrip;
    TSmoothJob job{scaled, smoothed, width, height, radius, rowBytes, cancel};
    method = Resolved(method, radius);
    std::vector<TStripScratch>& scratch = scratch_->For(pool);
    const bool byNetwork = method == TMedianMethod::Network && radius <= 3;
    return ForEachUnit(
        pool, cancel, strips,
        [&](int strip, int worker) {
            int x0 = radius + strip * SmoothStrip;
            int x1 = std::min(x0 + SmoothStrip, width - radius);
            TStripScratch& s = scratch[worker];
            if (height < n)
                return;
            if (smoothType != SmoothTypeCircle) {
                MaximumStrip(job, x0, x1, s);
            } else if (byNetwork) {
                MedianStripByNetwork(job, x0, x1, s);
            } else {
                TCountingStrip counting{scaled, smoothed, width, height, radius, x0, x1};
                counting.Cancel = cancel;
                MedianStripByCounting(counting, s.Counting);
            }
        },
        [&](int strip) {
            int x0 = radius + strip * SmoothStrip;
            int x1 = std::min(x0 + SmoothStrip, width - radius);
            for (int x = x0; x < x1; ++x)
                progress.Percent(x - radius, width - n);
        });
}
