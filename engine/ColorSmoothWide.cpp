// Built with AVX2 enabled (see CMakeLists.txt) and called only after a run-time
// check. Uses nothing but intrinsics and the internal templates of
// MedianNetwork.h, so that no shared inline code is compiled for AVX2 here.

#include "engine/MedianNetwork.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace {

struct TLanesWide {
    using TVector = __m256;
    static constexpr int Count = 8;
    static TVector Load(const float* p) { return _mm256_loadu_ps(p); }
    static void Store(float* p, TVector v) { _mm256_storeu_ps(p, v); }
    static TVector Min(TVector a, TVector b) { return _mm256_min_ps(a, b); }
    static TVector Max(TVector a, TVector b) { return _mm256_max_ps(a, b); }
};

} // namespace

void MedianStripByNetworkWide(int radius, const TNetworkStrip& strip)
{
    if (radius == 1)
        MedianStrip<TLanesWide, 3, Median9>(strip);
    else if (radius == 2)
        MedianStrip<TLanesWide, 5, Median25>(strip);
    else
        MedianStrip<TLanesWide, 7, Median49>(strip);
}
#endif
