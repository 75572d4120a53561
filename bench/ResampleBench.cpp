// Reducing a large capture on the preview's image-size page: every slider
// move resamples the whole 17.9-megapixel capture once.
#include "settings/Resample.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int CaptureWidth = 5184; // a common 18-megapixel camera picture
constexpr int CaptureHeight = 3456;

// Made once for all the runs: the capture is the large part.
const TResampleSource& Capture()
{
    static const TResampleSource capture = [] {
        TBitmap picture(CaptureWidth, CaptureHeight);
        std::mt19937 random(7);
        for (int y = 0; y < CaptureHeight; ++y) {
            std::uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < CaptureWidth * 3; ++x)
                row[x] = std::uint8_t(random());
        }
        return CaptureResampleSource(picture);
    }();
    return capture;
}

// Argument: the scale slider's percentage.
void BM_ResampleTo(benchmark::State& state)
{
    const TResampleSource& source = Capture();
    const int percent = int(state.range(0));
    const int w = percent * CaptureWidth / 100;
    const int h = percent * CaptureHeight / 100;
    TBitmap target;
    for (auto _ : state) {
        ResampleTo(source, w, h, target);
        benchmark::DoNotOptimize(target.Bits());
    }
    state.counters["source_MPix/s"] =
        benchmark::Counter(double(CaptureWidth) * CaptureHeight / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ResampleTo)
    ->Arg(100)
    ->Arg(99)
    ->Arg(75)
    ->Arg(50)
    ->Arg(33)
    ->Arg(10)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CaptureResampleSource(benchmark::State& state)
{
    TBitmap picture(CaptureWidth, CaptureHeight);
    for (auto _ : state)
        benchmark::DoNotOptimize(CaptureResampleSource(picture));
}
BENCHMARK(BM_CaptureResampleSource)->Unit(benchmark::kMillisecond);

} // namespace
