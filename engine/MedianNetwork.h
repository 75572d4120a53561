#pragma once

// The median of small windows by a fixed network of minimum and maximum
// operations: Batcher's odd-even merge sort over the window, cut down to the
// operations the middle output depends on. A network does the same work for
// every window, so several windows go through it side by side in one vector
// register. Colours are below 2^24 and therefore exact as floats.
//
// Shared by two translation units, one of them built for wider vectors;
// everything here has internal linkage so that the two builds never mix.

#include "picture/PackedColor.h"

#include <cstddef>
#include <cstdint>
#include <utility>

// One strip of centre columns x0..x1-1: a ring of n rows of the strip's span
// (as floats) moves down; each row of centres goes through the network a
// vector of windows at a time. Ring holds n * (x1 - x0 + 2r + MaxNetworkLanes)
// floats, Out (x1 - x0 + MaxNetworkLanes), MaxNetworkLanes being 8.
struct TNetworkStrip {
    const std::uint8_t* Scaled;
    std::uint8_t* Smoothed;
    int Height;
    std::size_t RowBytes;
    int X0, X1;
    float* Ring;
    float* Out;
    // Asked with StopContext before every row; true stops the strip. A plain
    // function, so that the build for wider vectors shares no inline code
    // with the rest.
    bool (*Stop)(const void* context);
    const void* StopContext;
};

namespace {

enum : int { BothOutputs, LowOnly, HighOnly };
struct TMinMax {
    int Low = 0;
    int High = 0;
    int Kind = BothOutputs;
};
constexpr int MaxNetworkInputs = 64;
constexpr int MaxNetworkOps = 1024;
struct TNetwork {
    TMinMax Ops[MaxNetworkOps]{};
    int Count = 0;
};

constexpr TNetwork BuildMedianNetwork(int inputs)
{
    int width = 1;
    while (width < inputs)
        width *= 2;
    // The missing inputs up to a power of two count as +infinity; they sit on
    // the highest wires, where every comparison with them changes nothing.
    TNetwork sorting;
    for (int p = 1; p < width; p *= 2)
        for (int k = p; k >= 1; k /= 2)
            for (int j = k % p; j + k < width; j += 2 * k)
                for (int i = 0; i < k && i + j + k < width; ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p) && i + j + k < inputs)
                        sorting.Ops[sorting.Count++] = {i + j, i + j + k, BothOutputs};

    bool needed[MaxNetworkInputs] = {};
    needed[(inputs - 1) / 2] = true;
    TNetwork reversed;
    for (int c = sorting.Count - 1; c >= 0; --c) {
        TMinMax op = sorting.Ops[c];
        bool low = needed[op.Low], high = needed[op.High];
        if (!low && !high)
            continue;
        op.Kind = low && high ? BothOutputs : low ? LowOnly : HighOnly;
        needed[op.Low] = needed[op.High] = true;
        reversed.Ops[reversed.Count++] = op;
    }
    TNetwork net;
    for (int c = reversed.Count - 1; c >= 0; --c)
        net.Ops[net.Count++] = reversed.Ops[c];
    return net;
}

constexpr TNetwork Median9 = BuildMedianNetwork(9);
constexpr TNetwork Median25 = BuildMedianNetwork(25);
constexpr TNetwork Median49 = BuildMedianNetwork(49);

// The widest vector any build uses, in floats.
constexpr int MaxNetworkLanes = 8;

template <class L, int Low, int High, int Kind>
inline __attribute__((always_inline)) void ApplyOp(typename L::TVector* w)
{
    if constexpr (Kind == BothOutputs) {
        typename L::TVector low = L::Min(w[Low], w[High]);
        w[High] = L::Max(w[Low], w[High]);
        w[Low] = low;
    } else if constexpr (Kind == LowOnly) {
        w[Low] = L::Min(w[Low], w[High]);
    } else {
        w[High] = L::Max(w[Low], w[High]);
    }
}

// The operations are unrolled in blocks, which keeps each fold expression
// within what every compiler nests.
constexpr std::size_t NetworkBlock = 64;

template <class L, const TNetwork& Net, std::size_t Base, std::size_t... I>
inline __attribute__((always_inline)) void RunNetworkBlock(typename L::TVector* w, std::index_sequence<I...>)
{
    (ApplyOp<L, Net.Ops[Base + I].Low, Net.Ops[Base + I].High, Net.Ops[Base + I].Kind>(w), ...);
}

template <class L, const TNetwork& Net, std::size_t... B>
inline __attribute__((always_inline)) void RunNetwork(typename L::TVector* w, std::index_sequence<B...>)
{
    constexpr std::size_t count = std::size_t(Net.Count);
    (RunNetworkBlock<L, Net, B * NetworkBlock>(
         w, std::make_index_sequence<(count - B * NetworkBlock < NetworkBlock ? count - B * NetworkBlock
                                                                              : NetworkBlock)>{}),
     ...);
}

template <class L, int N, const TNetwork& Net>
void MedianStrip(const TNetworkStrip& s)
{
    constexpr int R = N / 2;
    constexpr int Middle = (N * N - 1) / 2;
    const int m = s.X1 - s.X0;
    const std::size_t span = std::size_t(m) + 2 * R + MaxNetworkLanes;
    auto loadRow = [&](int y) {
        float* dst = s.Ring + std::size_t(y % N) * span;
        const std::uint8_t* src = s.Scaled + std::size_t(y) * s.RowBytes + std::size_t(s.X0 - R) * 3;
        for (int c = 0; c < m + 2 * R; ++c)
            dst[c] = float(Packed(src + std::size_t(c) * 3));
    };
    for (int y = 0; y < N - 1; ++y)
        loadRow(y);
    for (int y = R; y < s.Height - R; ++y) {
        if (s.Stop(s.StopContext))
            return;
        loadRow(y + R);
        const float* rows[N];
        for (int dy = 0; dy < N; ++dy)
            rows[dy] = s.Ring + std::size_t((y - R + dy) % N) * span;
        for (int c = 0; c < m; c += L::Count) {
            typename L::TVector w[N * N];
            for (int dy = 0; dy < N; ++dy)
                for (int dx = 0; dx < N; ++dx)
                    w[dy * N + dx] = L::Load(rows[dy] + c + dx);
            RunNetwork<L, Net>(w,
                               std::make_index_sequence<(std::size_t(Net.Count) + NetworkBlock - 1) / NetworkBlock>{});
            L::Store(s.Out + c, w[Middle]);
        }
        std::uint8_t* out = s.Smoothed + std::size_t(y) * s.RowBytes + std::size_t(s.X0) * 3;
        for (int c = 0; c < m; ++c)
            Unpack(std::uint32_t(s.Out[c]), out + std::size_t(c) * 3);
    }
}

} // namespace

// The same strip with eight windows at a time; needs a processor with AVX2.
void MedianStripByNetworkWide(int radius, const TNetworkStrip& strip);
