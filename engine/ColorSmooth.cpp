#include "ColorSmooth.h"

#include "CpuFeatures.h"
#include "EffectSettings.h"
#include "MedianNetwork.h"
#include "WorkerPool.h"

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
    std::vector<float> Ring;          // n rows of the strip's span, as floats
    std::vector<std::uint32_t> Ring32; // the same for the maximum
    std::vector<float> Out;
    std::vector<std::uint32_t> Out32;
    // Histogram method.
    std::vector<std::uint16_t> Count16, Count12, Count8, Count4;
    std::vector<std::uint32_t> BlueSum, BlueSquares;
    std::vector<std::uint8_t> Blues;
};

struct TSmoothJob {
    const std::uint8_t* Scaled;
    std::uint8_t* Smoothed;
    int Width, Height, Radius;
    std::size_t RowBytes;
    // For the counting method: how many pixels from each one on have its
    // colour (at most 255), so that a window row is added a run at a time.
    const std::uint8_t* Runs = nullptr;
};

// Median by network, four windows side by side (eight where the processor
// has the wider vectors).
void MedianStripByNetwork(const TSmoothJob& job, int x0, int x1, TStripScratch& s)
{
    const int r = job.Radius, n = 2 * r + 1;
    const std::size_t span = std::size_t(x1 - x0) + 2 * r + MaxNetworkLanes;
    s.Ring.assign(span * n, 0.0f);
    s.Out.resize(std::size_t(x1 - x0) + MaxNetworkLanes);
    TNetworkStrip strip{job.Scaled, job.Smoothed, job.Height, job.RowBytes, x0, x1, s.Ring.data(), s.Out.data()};
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
        if (AbortRequested())
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

// Median by counting, for larger windows: the window slides down a column
// while counts of red, of red with green, and coarser counts of both are kept
// up to date; the middle colour is found by walking the counts. Its blue
// comes from the sum of blues of its red-green cell when they are all equal
// (the common case in flat colour areas), else from the window itself.
class TSlidingHistogram {
public:
    // The counts are cleared once when first made; every column removes its
    // last window again, so they are all zero between columns.
    explicit TSlidingHistogram(TStripScratch& s) : s_(s)
    {
        if (s_.Count16.empty()) {
            s_.Count16.assign(65536, 0);
            s_.Count12.assign(4096, 0);
            s_.Count8.assign(256, 0);
            s_.Count4.assign(16, 0);
            s_.BlueSum.assign(65536, 0);
            s_.BlueSquares.assign(65536, 0);
        }
    }

    // Adds `k` copies of a colour (k may be negative, to remove them).
    void Add(std::uint32_t v, int k)
    {
        std::uint32_t cell = v >> 8, blue = v & 255;
        s_.Count16[cell] = std::uint16_t(s_.Count16[cell] + k);
        s_.Count12[v >> 12] = std::uint16_t(s_.Count12[v >> 12] + k);
        s_.Count8[v >> 16] = std::uint16_t(s_.Count8[v >> 16] + k);
        s_.Count4[v >> 20] = std::uint16_t(s_.Count4[v >> 20] + k);
        s_.BlueSum[cell] += std::uint32_t(k) * blue;
        s_.BlueSquares[cell] += std::uint32_t(k) * blue * blue;
    }

    // The colour of rank `k` (0-based); `window` finds the blues of one
    // red-green cell when they differ.
    template <class Window>
    std::uint32_t Select(int k, const Window& window)
    {
        int i = 0;
        while (k >= s_.Count4[i])
            k -= s_.Count4[i++];
        int red = i * 16;
        while (k >= s_.Count8[red])
            k -= s_.Count8[red++];
        int rg4 = red * 16;
        while (k >= s_.Count12[rg4])
            k -= s_.Count12[rg4++];
        int cell = rg4 * 16;
        while (k >= s_.Count16[cell])
            k -= s_.Count16[cell++];
        std::int64_t count = s_.Count16[cell], sum = s_.BlueSum[cell], squares = s_.BlueSquares[cell];
        if (count * squares == sum * sum) // all blues of the cell are equal
            return std::uint32_t(cell) << 8 | std::uint32_t(sum / count);
        s_.Blues.clear();
        window([&](std::uint32_t v) {
            if ((v >> 8) == std::uint32_t(cell))
                s_.Blues.push_back(std::uint8_t(v));
        });
        std::nth_element(s_.Blues.begin(), s_.Blues.begin() + k, s_.Blues.end());
        return std::uint32_t(cell) << 8 | s_.Blues[k];
    }

private:
    TStripScratch& s_;
};

void MedianStripByHistogram(const TSmoothJob& job, int x0, int x1, TStripScratch& s)
{
    const int r = job.Radius, n = 2 * r + 1;
    const int middle = (n * n - 1) / 2;
    TSlidingHistogram histogram(s);
    auto rowSegment = [&](int y, int x, auto&& f) {
        const std::uint8_t* p = job.Scaled + std::size_t(y) * job.RowBytes + std::size_t(x - r) * 3;
        for (int dx = 0; dx < n; ++dx)
            f(Packed(p + std::size_t(dx) * 3));
    };
    // Adds or removes the row stretch of a window a run of equal colours at a
    // time: flat colour areas make long runs.
    auto addSegment = [&](int y, int x, int sign) {
        const std::uint8_t* row = job.Scaled + std::size_t(y) * job.RowBytes;
        const std::uint8_t* runs = job.Runs + std::size_t(y) * job.Width;
        for (int at = x - r, end = x + r + 1; at < end;) {
            int length = std::min<int>(runs[at], end - at);
            histogram.Add(Packed(row + std::size_t(at) * 3), sign * length);
            at += length;
        }
    };
    for (int x = x0; x < x1; ++x) {
        if (AbortRequested())
            return;
        if (job.Height < n)
            continue;
        for (int y = 0; y < n; ++y)
            addSegment(y, x, 1);
        for (int y = r;; ++y) {
            auto window = [&](auto&& f) {
                for (int wy = y - r; wy <= y + r; ++wy)
                    rowSegment(wy, x, f);
            };
            Unpack(histogram.Select(middle, window),
                   job.Smoothed + std::size_t(y) * job.RowBytes + std::size_t(x) * 3);
            if (y + r + 1 >= job.Height)
                break;
            addSegment(y - r, x, -1);
            addSegment(y + r + 1, x, 1);
        }
        for (int y = job.Height - n; y < job.Height; ++y)
            addSegment(y, x, -1);
    }
}

} // namespace

struct TColorSmoother::TScratch {
    std::vector<TStripScratch> Strips; // one per worker
    std::vector<std::uint8_t> Runs;
};

TColorSmoother::TColorSmoother() : scratch_(std::make_unique<TScratch>()) {}
TColorSmoother::~TColorSmoother() = default;

bool SmoothColorBuffer(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                       int smoothType, const TProgressReporter& progress, TWorkerPool* pool, TMedianMethod method)
{
    TColorSmoother smoother;
    return smoother.Smooth(scaled, smoothed, width, height, radius, smoothType, progress, pool, method);
}

bool TColorSmoother::Smooth(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                            int smoothType, const TProgressReporter& progress, TWorkerPool* pool,
                            TMedianMethod method)
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
    TSmoothJob job{scaled, smoothed, width, height, radius, rowBytes};
    if (method == TMedianMethod::Automatic)
        method = radius <= 3 ? TMedianMethod::Network : TMedianMethod::Histogram;
    std::vector<TStripScratch>& scratch = scratch_->Strips;
    if (scratch.size() < std::size_t(WorkerCount(pool)))
        scratch.resize(std::size_t(WorkerCount(pool)));
    std::vector<std::uint8_t>& runs = scratch_->Runs;
    const bool byNetwork = method == TMedianMethod::Network && radius <= 3;
    if (smoothType == SmoothTypeCircle && !byNetwork && height >= n) {
        runs.resize(std::size_t(width) * height);
        if (!ForEachUnit(
                pool, height,
                [&](int y, int) {
                    const std::uint8_t* row = scaled + std::size_t(y) * rowBytes;
                    std::uint8_t* out = runs.data() + std::size_t(y) * width;
                    out[width - 1] = 1;
                    for (int x = width - 2; x >= 0; --x)
                        out[x] = std::memcmp(row + std::size_t(x) * 3, row + std::size_t(x) * 3 + 3, 3) == 0 &&
                                         out[x + 1] < 255
                                     ? std::uint8_t(out[x + 1] + 1)
                                     : std::uint8_t(1);
                },
                [](int) {}))
            return false;
        job.Runs = runs.data();
    }

    return ForEachUnit(
        pool, strips,
        [&](int strip, int worker) {
            int x0 = radius + strip * SmoothStrip;
            int x1 = std::min(x0 + SmoothStrip, width - radius);
            TStripScratch& s = scratch[worker];
            if (height < n)
                return;
            if (smoothType != SmoothTypeCircle)
                MaximumStrip(job, x0, x1, s);
            else if (byNetwork)
                MedianStripByNetwork(job, x0, x1, s);
            else
                MedianStripByHistogram(job, x0, x1, s);
        },
        [&](int strip) {
            int x0 = radius + strip * SmoothStrip;
            int x1 = std::min(x0 + SmoothStrip, width - radius);
            for (int x = x0; x < x1; ++x)
                progress.Percent(x - radius, width - n);
        });
}
