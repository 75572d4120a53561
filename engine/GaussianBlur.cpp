#include "engine/GaussianBlur.h"

#include "engine/CpuFeatures.h"
#include "engine/WorkerPool.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cmath>
#include <cstring>
#include <utility>
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

// out[e] = sum over taps t, in order, of in[t][e] * w[t], truncated to a
// byte. Each element sums its own taps in the order the blur prescribes;
// elements are independent, so several are done at once in a vector without
// changing a result. The tap count is fixed at compile time for the kernels
// the settings can ask for, so the sums stay in registers.
template <int Lanes>
struct TLaneTypes;
template <>
struct TLaneTypes<2> {
    typedef double Vec __attribute__((vector_size(16)));
    typedef std::int64_t Mask __attribute__((vector_size(16)));
    typedef std::int32_t Ints __attribute__((vector_size(8)));
    typedef std::uint8_t Bytes __attribute__((vector_size(2)));
#if defined(__x86_64__)
    static void StoreBytes(const Vec& v, std::uint8_t* out)
    {
        __m128i i = _mm_cvttpd_epi32(__m128d(v)); // truncates, as the blur wants
        i = _mm_packus_epi16(_mm_packs_epi32(i, i), i);
        std::uint16_t two = std::uint16_t(_mm_cvtsi128_si32(i));
        std::memcpy(out, &two, 2);
    }
#endif
};
template <>
struct TLaneTypes<4> {
    typedef double Vec __attribute__((vector_size(32)));
    typedef std::int64_t Mask __attribute__((vector_size(32)));
    typedef std::int32_t Ints __attribute__((vector_size(16)));
    typedef std::uint8_t Bytes __attribute__((vector_size(4)));
#if defined(__x86_64__)
    __attribute__((target("avx2"))) static void StoreBytes(const Vec& v, std::uint8_t* out)
    {
        __m128i i = _mm256_cvttpd_epi32(__m256d(v));
        i = _mm_packus_epi16(_mm_packus_epi32(i, i), i);
        std::int32_t four = _mm_cvtsi128_si32(i);
        std::memcpy(out, &four, 4);
    }
#endif
};

template <int Taps, int Lanes>
inline __attribute__((always_inline)) void ConvolveLanes(const double* const* in, const double* w, std::uint8_t* out,
                                                         int elements)
{
    using TVec = typename TLaneTypes<Lanes>::Vec;
    using TMask = typename TLaneTypes<Lanes>::Mask;
    const double* rows[Taps];
    TVec weights[Taps];
    for (int t = 0; t < Taps; ++t) {
        rows[t] = in[t];
        for (int l = 0; l < Lanes; ++l)
            weights[t][l] = w[t];
    }
    const TVec top = TVec{} + 255.0, zero = TVec{};
    int e = 0;
    for (; e + Lanes <= elements; e += Lanes) {
        TVec v;
        std::memcpy(&v, rows[0] + e, sizeof v);
        TVec acc = v * weights[0]; // the accumulator starts at 0; 0 + x is x
#pragma GCC unroll 32
        for (int t = 1; t < Taps; ++t) {
            std::memcpy(&v, rows[t] + e, sizeof v);
            acc += v * weights[t];
        }
        TMask below = acc < top;
        acc = below ? acc : top;
        TMask above = acc > zero;
        acc = above ? acc : zero;
        // The values already lie in 0..255.
#if defined(__x86_64__)
        TLaneTypes<Lanes>::StoreBytes(acc, out + e);
#else
        auto bytes = __builtin_convertvector(__builtin_convertvector(acc, typename TLaneTypes<Lanes>::Ints),
                                             typename TLaneTypes<Lanes>::Bytes); // truncates
        std::memcpy(out + e, &bytes, sizeof bytes);
#endif
    }
    for (; e < elements; ++e) {
        double acc = rows[0][e] * w[0];
        for (int t = 1; t < Taps; ++t)
            acc += rows[t][e] * w[t];
        acc = acc < 255.0 ? acc : 255.0;
        acc = acc > 0.0 ? acc : 0.0;
        out[e] = std::uint8_t(int(acc));
    }
}

template <int Taps>
void ConvolveFixed(const double* const* in, const double* w, std::uint8_t* out, int elements)
{
    ConvolveLanes<Taps, 2>(in, w, out, elements);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with four lanes, for processors that have them (checked at run
// time; the program itself is built for the plain x86-64 instruction set).
template <int Taps>
__attribute__((target("avx2"))) void ConvolveFixedWide(const double* const* in, const double* w, std::uint8_t* out,
                                                       int elements)
{
    ConvolveLanes<Taps, 4>(in, w, out, elements);
}
#define LQ_WIDE_CONVOLVE 1
#endif

void ConvolveAny(const double* const* in, const double* w, int taps, std::uint8_t* out, int elements)
{
    for (int e = 0; e < elements; ++e) {
        double acc = in[0][e] * w[0];
        for (int t = 1; t < taps; ++t)
            acc += in[t][e] * w[t];
        acc = acc < 255.0 ? acc : 255.0;
        acc = acc > 0.0 ? acc : 0.0;
        out[e] = std::uint8_t(int(acc));
    }
}

using TConvolve = void (*)(const double* const*, const double*, std::uint8_t*, int);

template <int... Sizes>
TConvolve PickConvolve(int taps, std::integer_sequence<int, Sizes...>)
{
    TConvolve found = nullptr;
#if LQ_WIDE_CONVOLVE
    if (WideVectors()) {
        ((taps == 2 * Sizes + 1 ? (found = &ConvolveFixedWide<2 * Sizes + 1>, 0) : 0), ...);
        return found;
    }
#endif
    ((taps == 2 * Sizes + 1 ? (found = &ConvolveFixed<2 * Sizes + 1>, 0) : 0), ...);
    return found;
}

// Half-widths up to 14 cover every radius the controls allow (5 at most).
TConvolve FixedConvolve(int taps)
{
    return PickConvolve(taps, std::integer_sequence<int, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14>{});
}

struct TConvolver {
    TConvolve Fixed;
    const double* Weights;
    int Taps;
    void operator()(const double* const* in, std::uint8_t* out, int elements) const
    {
        if (Fixed)
            Fixed(in, Weights, out, elements);
        else
            ConvolveAny(in, Weights, Taps, out, elements);
    }
};

void ToDoublesNarrow(const std::uint8_t* in, double* out, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = in[i];
}

#if LQ_WIDE_CONVOLVE
__attribute__((target("avx2"))) void ToDoublesWide(const std::uint8_t* in, double* out, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = in[i];
}
#endif

void ToDoubles(const std::uint8_t* in, double* out, std::size_t n)
{
#if LQ_WIDE_CONVOLVE
    if (WideVectors())
        return ToDoublesWide(in, out, n);
#endif
    ToDoublesNarrow(in, out, n);
}

} // namespace

bool GaussianBlur(const std::uint8_t* source, std::uint8_t* destination, int width, int height, double radius,
                  const TProgressSink& progress, TWorkerPool* pool, TCancelToken* cancel)
{
    TProgressReporter report(progress);
    TGaussKernel kernel;
    BuildGaussKernel(kernel, radius, 255.0, 1.0);
    const int size = kernel.Size;
    const int taps = 2 * size + 1;
    double w[201];
    for (int t = 0; t < taps; ++t)
        w[t] = kernel.At(t - size);
    const TConvolver convolve{FixedConvolve(taps), w, taps};

    const int workers = WorkerCount(pool);
    const std::size_t rowBytes = std::size_t(std::max(width, 0)) * 3;

    report.BeginStep(StepNames::BlurRow);
    {
        // Each row is padded with copies of its edge pixels, so the taps never
        // need a clamped index, and turned into doubles once; the copy also
        // makes in-place blurring safe.
        std::vector<std::vector<double>> pads(workers);
        for (auto& pad : pads)
            pad.assign((std::size_t(std::max(width, 0)) + 2 * size) * 3, 0.0);
        bool done = ForEachUnit(
            pool, cancel, width > 0 ? height : 0,
            [&](int y, int worker) {
                double* pad = pads[worker].data();
                const std::uint8_t* row = source + std::size_t(y) * rowBytes;
                for (int k = 0; k < size; ++k) {
                    ToDoubles(row, pad + std::size_t(k) * 3, 3);
                    ToDoubles(row + rowBytes - 3, pad + (std::size_t(size) + width + k) * 3, 3);
                }
                ToDoubles(row, pad + std::size_t(size) * 3, rowBytes);
                // Tap n (from -size) reads pixel x - n: padded column x - n + size.
                const double* in[201];
                for (int t = 0; t < taps; ++t)
                    in[t] = pad + std::size_t(taps - 1 - t) * 3;
                convolve(in, destination + std::size_t(y) * rowBytes, int(rowBytes));
            },
            [&](int y) { report.Percent(y, height - 1); });
        if (!done)
            return false;
    }
    report.EndStep();

    report.BeginStep(StepNames::BlurColumn);
    {
        // Columns are done a strip at a time, moving down the strip with a
        // ring of the rows the kernel covers (as doubles), which reads
        // memory in order instead of one pixel per row. The ring holds the
        // rows as they were before the pass wrote them.
        const int strips = width > 0 && height > 0 ? (width + BlurColumnStrip - 1) / BlurColumnStrip : 0;
        const std::size_t ringRow = std::size_t(BlurColumnStrip) * 3;
        std::vector<std::vector<double>> rings(workers);
        for (auto& ring : rings)
            ring.assign(strips > 0 ? std::size_t(taps) * ringRow : 0, 0.0);
        bool done = ForEachUnit(
            pool, cancel, strips,
            [&](int strip, int worker) {
                int x0 = strip * BlurColumnStrip;
                int x1 = std::min(width, x0 + BlurColumnStrip);
                const int elements = (x1 - x0) * 3;
                double* ring = rings[worker].data();
                std::uint8_t* column = destination + std::size_t(x0) * 3;
                // Padded row k is picture row clamp(k - size); it lives in
                // ring slot k mod taps.
                auto load = [&](int k) {
                    int y = std::clamp(k - size, 0, height - 1);
                    ToDoubles(column + std::size_t(y) * rowBytes, ring + std::size_t(k % taps) * ringRow,
                              std::size_t(elements));
                };
                for (int k = 0; k < taps - 1; ++k)
                    load(k);
                const double* in[201];
                for (int y = 0; y < height; ++y) {
                    // A strip is a full column of the picture: on a large one
                    // that is too long to wait for a cancel.
                    if (CancelRequested(cancel))
                        return;
                    load(y + taps - 1);
                    // Tap n reads row y - n: padded row y - n + size.
                    for (int t = 0; t < taps; ++t)
                        in[t] = ring + std::size_t((y + taps - 1 - t) % taps) * ringRow;
                    convolve(in, column + std::size_t(y) * rowBytes, elements);
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
