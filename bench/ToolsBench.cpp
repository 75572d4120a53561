// Speed of the drawing tools on a 17.9-megapixel photo (5640 x 3172) at
// 100 % in a 1600 x 900 view: what one pointer event of a size-100 brush
// stroke costs (dabs blended into both layers, their rectangles rebuilt and
// stretched to a screen image), a paint bucket press over a 5-megapixel
// region, and the history step recorded on release.
//
// The photo is Debian's mate-backgrounds Elephants picture; LQ_BIG_PHOTO
// names another, and a noise picture of the same size stands in when
// neither can be read.
#include "bench/ToolBenchEnvironment.h"
#include "document/History.h"
#include "tools/BrushTool.h"
#include "tools/PaintBucket.h"
#include "tools/PencilTool.h"
#include "tools/ToneTool.h"

#include "bench/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>

#include <unistd.h>

namespace {

// 60 pointer events of a drag across the view: a press, then moves of about
// 15 pixels along a gentle wave, as a quick hand gives them.
std::vector<TToolPoint> StrokePath(const TRect& view)
{
    std::vector<TToolPoint> points;
    for (int i = 0; i < 60; ++i)
        points.push_back({view.Left + 300 + i * 15, view.Top + 450 + int(std::lround(120 * std::sin(i / 8.0)))});
    return points;
}

void Stroke(benchmark::State& state, TTool& tool, const TBenchEnvironment& env)
{
    const std::vector<TToolPoint> path = StrokePath(env.View);
    double slowest = 0;
    double slowestCpu = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < path.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            const double startCpu = ThreadMilliseconds();
            if (i == 0)
                tool.Press(path[i], TMouseButton::Left, TMouseButton::Left);
            else
                tool.Move(path[i], TMouseButton::Left);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            slowestCpu = std::max(slowestCpu, ThreadMilliseconds() - startCpu);
        }
        tool.Release(path.back(), TMouseButton::Left, {});
    }
    state.counters["ms_per_event"] = benchmark::Counter(
        double(path.size()) / 1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["slowest_event_ms"] = slowest;
    state.counters["slowest_event_cpu_ms"] = slowestCpu;
}

void BM_BrushStroke100(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    env.Values.BrushSize = 100;
    TBrushTool brush(env);
    Stroke(state, brush, env);
}
BENCHMARK(BM_BrushStroke100)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same drag with a size-100 pencil: a curve segment every third event.
void BM_PencilStroke100(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    env.Values.PencilSize = 100;
    TPencilTool pencil(env);
    Stroke(state, pencil, env);
}
BENCHMARK(BM_PencilStroke100)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same drag with a size-100 darken tool, whose press copies both layers.
void BM_DarkenStroke100(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    env.Values.DarkenSize = 100;
    TToneTool darken(env, true);
    Stroke(state, darken, env);
}
BENCHMARK(BM_DarkenStroke100)->Unit(benchmark::kMillisecond)->UseRealTime();

// A uniform 2500 x 2000 patch (5 megapixels) on the colour layer under a
// white sketch, filled at tolerance 0 with two colours in turn.
void PaintBucket5MP(benchmark::State& state, bool wholePress)
{
    TDocument& document = PhotoDocument();
    TBitmap sketch = document.SketchLayer;
    TBitmap color = document.ColorLayer;
    TBenchEnvironment env(document);
    const TRect patch{1500, 600, 3999, 2599};
    const std::size_t begin = std::size_t(patch.Left) * 3;
    const std::size_t end = std::size_t(patch.Right + 1) * 3;
    for (int y = patch.Top; y <= patch.Bottom; ++y) {
        std::fill(document.SketchLayer.ScanLine(y) + begin, document.SketchLayer.ScanLine(y) + end, 255);
        std::fill(document.ColorLayer.ScanLine(y) + begin, document.ColorLayer.ScanLine(y) + end, 90);
    }
    document.RebuildAll();
    env.Values.Tolerance = 0;
    TPaintBucketTool bucket(env);
    TFloodScratch scratch;
    const TToolPoint seed{2700, 1500};
    bool flip = false;
    for (auto _ : state) {
        env.Front = flip ? TToolColor{90, 90, 90} : TToolColor{10, 200, 60};
        flip = !flip;
        if (wholePress) {
            bucket.Press(seed, TMouseButton::Left, TMouseButton::Left);
        } else {
            state.PauseTiming();
            document.RebuildAll();
            state.ResumeTiming();
            FloodFill(document.ViewBitmap, env.DrawableLayers(), seed, 0, env.Front, scratch);
        }
    }
    state.counters["filled_MP"] = 5.0;
    document.SketchLayer = std::move(sketch);
    document.ColorLayer = std::move(color);
    document.RebuildAll();
}
void BM_PaintBucket5MP(benchmark::State& state) { PaintBucket5MP(state, true); }
void BM_FloodOnly5MP(benchmark::State& state) { PaintBucket5MP(state, false); }
BENCHMARK(BM_PaintBucket5MP)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloodOnly5MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The history step a stroke records on release: what the window waits for.
void BM_StrokeHistoryStep(benchmark::State& state)
{
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    for (auto _ : state)
        history.RecordHistory("Brush", "--", PhotoDocument());
}
BENCHMARK(BM_StrokeHistoryStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

} // namespace

BENCHMARK_MAIN();
