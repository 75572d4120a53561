#include "GBlur2.h"

#include "WorkerPool.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

void BuildGaussKernel(TGaussKernel& kernel, double radius, double maximum, double granularity)
{
    if (!(radius > 0.0) || !std::isfinite(radius)) {
        std::fill(std::begin(kernel.Weights), std::end(kernel.Weights), 0.0f);
        kernel.At(0) = 1.0f;
        kernel.Size = 1;
        return;
    }
    for (int j = -100; j <= 100; ++j) {
        double t = j / radius;
        kernel.At(j) = float(std::exp(-t * t / 2.0));
    }
    double sum = 0.0;
    for (int j = -100; j <= 100; ++j)
        sum += kernel.At(j);
    for (int j = -100; j <= 100; ++j)
        kernel.At(j) = float(kernel.At(j) / sum);

    double delta = granularity / (2.0 * maximum);
    int size = 100;
    double tail = 0.0;
    while (tail < delta && size > 1) {
        tail = tail + 2.0 * kernel.At(size);
        --size;
    }
    kernel.Size = size;

    sum = 0.0;
    for (int j = -size; j <= size; ++j)
        sum += kernel.At(j);
    for (int j = -size; j <= size; ++j)
        kernel.At(j) = float(kernel.At(j) / sum);
}

namespace {

// One output element per input element: out[e] = sum over taps t (in order)
// of in[e + (taps-1-t)*stride] * w[t], truncated to 0..255. Each element sums
// its taps in the order the blur prescribes; elements are independent, so the
// compiler may work on several at once without changing a result.
void ConvolveSpan(const std::uint8_t* in, std::size_t stride, const double* w, int taps, std::uint8_t* out,
                  int elements)
{
    constexpr int Block = 96;
    double acc[Block];
    for (int e0 = 0; e0 < elements; e0 += Block) {
        int m = std::min(Block, elements - e0);
        const std::uint8_t* p = in + e0 + stride * std::size_t(taps - 1);
        double w0 = w[0];
        for (int i = 0; i < m; ++i)
            acc[i] = double(p[i]) * w0; // the accumulator starts at 0; 0 + x is x
        for (int t = 1; t < taps; ++t) {
            p -= stride;
            double wt = w[t];
            for (int i = 0; i < m; ++i)
                acc[i] += double(p[i]) * wt;
        }
        for (int i = 0; i < m; ++i) {
            double v = acc[i] < 255.0 ? acc[i] : 255.0;
            v = v > 0.0 ? v : 0.0;
            out[e0 + i] = std::uint8_t(int(v));
        }
    }
}

} // namespace

bool GaussianBlur(const std::uint8_t* source, std::uint8_t* destination, int width, int height, double radius,
                  const TProgressSink& progress, TWorkerPool* pool)
{
    TProgressReporter report(progress);
    TGaussKernel kernel;
    BuildGaussKernel(kernel, radius, 255.0, 1.0);
    const int size = kernel.Size;
    const int taps = 2 * size + 1;
    double w[201];
    for (int t = 0; t < taps; ++t)
        w[t] = kernel.At(t - size);

    const int workers = WorkerCount(pool);
    const std::size_t rowBytes = std::size_t(std::max(width, 0)) * 3;

    report.BeginStep(StepNames::BlurRow);
    {
        // Each row is padded with copies of its edge pixels, so the taps never
        // need a clamped index; the copy also makes in-place blurring safe.
        std::vector<std::vector<std::uint8_t>> pads(workers);
        for (auto& pad : pads)
            pad.assign((std::size_t(std::max(width, 0)) + 2 * size) * 3, 0);
        bool done = ForEachUnit(
            pool, width > 0 ? height : 0,
            [&](int y, int worker) {
                std::uint8_t* pad = pads[worker].data();
                const std::uint8_t* row = source + std::size_t(y) * rowBytes;
                for (int k = 0; k < size; ++k)
                    std::memcpy(pad + std::size_t(k) * 3, row, 3);
                std::memcpy(pad + std::size_t(size) * 3, row, rowBytes);
                for (int k = 0; k < size; ++k)
                    std::memcpy(pad + (std::size_t(size) + width + k) * 3, row + rowBytes - 3, 3);
                ConvolveSpan(pad, 3, w, taps, destination + std::size_t(y) * rowBytes, int(rowBytes));
            },
            [&](int y) { report.Percent(y, height - 1); });
        if (!done)
            return false;
    }
    report.EndStep();

    report.BeginStep(StepNames::BlurColumn);
    {
        // Columns are done a strip at a time: the strip, padded above and
        // below with its edge rows, is copied out and convolved back row by
        // row, which reads memory in order instead of one pixel per row.
        const int strips = width > 0 && height > 0 ? (width + BlurColumnStrip - 1) / BlurColumnStrip : 0;
        const std::size_t stripBytes = std::size_t(BlurColumnStrip) * 3;
        std::vector<std::vector<std::uint8_t>> scratch(workers);
        for (auto& s : scratch)
            s.assign(strips > 0 ? (std::size_t(height) + 2 * size) * stripBytes : 0, 0);
        bool done = ForEachUnit(
            pool, strips,
            [&](int strip, int worker) {
                int x0 = strip * BlurColumnStrip;
                int x1 = std::min(width, x0 + BlurColumnStrip);
                std::size_t sb = std::size_t(x1 - x0) * 3;
                std::uint8_t* in = scratch[worker].data();
                std::uint8_t* column = destination + std::size_t(x0) * 3;
                for (int k = 0; k < height + 2 * size; ++k) {
                    int y = std::clamp(k - size, 0, height - 1);
                    std::memcpy(in + std::size_t(k) * sb, column + std::size_t(y) * rowBytes, sb);
                }
                for (int y = 0; y < height; ++y) {
                    if (AbortRequested()) {
                        // Leave the strip as the row pass left it: a column is
                        // either done or untouched.
                        for (int r = 0; r < y; ++r)
                            std::memcpy(column + std::size_t(r) * rowBytes, in + std::size_t(r + size) * sb, sb);
                        return;
                    }
                    ConvolveSpan(in + std::size_t(y) * sb, sb, w, taps, column + std::size_t(y) * rowBytes, int(sb));
                }
            },
            [&](int strip) {
                int x1 = std::min(width, (strip + 1) * BlurColumnStrip);
                for (int x = strip * BlurColumnStrip; x < x1; ++x)
                    report.Percent(x, width - 1);
            });
        if (!done)
            return false;
    }
    report.EndStep();
    return true;
}
