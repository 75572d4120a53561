#pragma once

#include "engine/CancelToken.h"
#include "engine/Progress.h"

#include <cstdint>
#include <memory>

class TRowsReady;
class TWorkerPool;

// Colour smoothing of a packed three-byte buffer: `smoothed` becomes a copy of
// `scaled` in which every pixel whose (2r+1) x (2r+1) window lies inside the
// buffer takes one colour of its window in `scaled`, the colours ordered as
// red*65536 + green*256 + blue: the median (rank (n*n-1)/2) for smoothType 0,
// the largest for any other type. Reports after each centre column
// (x - r)*100/(width - 2r - 1). The two buffers must not overlap. Returns
// false when `cancel` stopped it.
//
// How the median is found is for tests and benchmarks to choose; every method
// gives the same result. Automatic picks the fastest for the radius.
enum class TMedianMethod { Automatic, Network, Histogram };

// Keeps its working memory between calls, so that a preview smoothing on
// every slider move does not allocate it again.
class TColorSmoother {
public:
    TColorSmoother();
    ~TColorSmoother();
    bool Smooth(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius, int smoothType,
                const TProgressReporter& progress, TWorkerPool* pool = nullptr,
                TMedianMethod method = TMedianMethod::Automatic, TCancelToken* cancel = nullptr);

    // The same while another thread is still writing `scaled` and says in
    // `ready` how many rows are final. The median by counting (see
    // MedianByCounting.h) then runs in stretches of rows, each as soon as
    // the rows its windows read are final, and reports after each stretch of
    // each strip of centre columns instead; the other methods wait for the
    // whole buffer. The result is the same either way.
    bool SmoothFollowing(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                         int smoothType, TRowsReady& ready, const TProgressReporter& progress, TWorkerPool* pool,
                         TMedianMethod method = TMedianMethod::Automatic, TCancelToken* cancel = nullptr);

private:
    struct TScratch;
    std::unique_ptr<TScratch> scratch_;
};

// The same with working memory for one call.
bool SmoothColorBuffer(const std::uint8_t* scaled, std::uint8_t* smoothed, int width, int height, int radius,
                       int smoothType, const TProgressReporter& progress, TWorkerPool* pool = nullptr,
                       TMedianMethod method = TMedianMethod::Automatic, TCancelToken* cancel = nullptr);

// Centre columns of one unit of work; progress for them is reported when the
// unit is done.
constexpr int SmoothStrip = 64;
