// Speed of the placed objects on the 17.9-megapixel photo of tools_bench, at
// 100 % in a 1600 x 900 view: choosing an object tool (the snapshot of both
// layers), a speech balloon with two lines of text following the pointer,
// its tail dragged across the view, a lettered balloon (fitted, smooth)
// following the pointer, and a 400 x 300 rectangle box moved.
// Every event does what the window does: the snapshot put back where the
// object was, the image built and written into both layers, the rectangles
// rebuilt in the composite and stretched onto a screen image.
#include "bench/ToolBenchEnvironment.h"
#include "tools/Balloon.h"
#include "tools/BoxTools.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

std::vector<TToolPoint> Path(const TRect& view)
{
    std::vector<TToolPoint> points;
    for (int i = 0; i < 60; ++i)
        points.push_back({view.Left + 300 + i * 15, view.Top + 450 + int(std::lround(120 * std::sin(i / 8.0)))});
    return points;
}

void Settings(TBenchEnvironment& env)
{
    env.Object.FontName = "DejaVu Sans";
    env.Object.FontSize = 14;
    env.Object.BorderWidth = 2;
    env.Object.Lines = {"Houston, we have", "a cartoon!"};
}

// Runs `event` for each point of the path and reports the time per event
// and the slowest one.
template <typename TEvent>
void Events(benchmark::State& state, const std::vector<TToolPoint>& path, TEvent event)
{
    double slowest = 0;
    double slowestCpu = 0;
    for (auto _ : state) {
        for (const TToolPoint& point : path) {
            const auto start = std::chrono::steady_clock::now();
            const double startCpu = ThreadMilliseconds();
            event(point);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            slowestCpu = std::max(slowestCpu, ThreadMilliseconds() - startCpu);
        }
    }
    state.counters["ms_per_event"] = benchmark::Counter(
        double(path.size()) / 1000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["slowest_event_ms"] = slowest;
    state.counters["slowest_event_cpu_ms"] = slowestCpu;
}

void BM_ObjectToolChosen(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    Settings(env);
    TBalloonTool balloon(env, TToolCode::BalloonRect);
    for (auto _ : state) {
        balloon.Select();
        balloon.Commit();
    }
}
BENCHMARK(BM_ObjectToolChosen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BalloonFollowsPointer(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    Settings(env);
    TBalloonTool balloon(env, TToolCode::BalloonRect);
    balloon.Select();
    Events(state, Path(env.View), [&](TToolPoint point) { balloon.Move(point, {}); });
    balloon.Cancel();
}
BENCHMARK(BM_BalloonFollowsPointer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BalloonTailDragged(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    Settings(env);
    TBalloonTool balloon(env, TToolCode::BalloonEllipse);
    balloon.Select();
    const TToolPoint at{env.View.Left + 200, env.View.Top + 100};
    balloon.Move(at, {});
    balloon.Press(at, TMouseButton::Left, TMouseButton::Left);
    const TToolPoint tip{at.X, at.Y - 15};
    balloon.Move(tip, {});
    balloon.Press(tip, TMouseButton::Left, TMouseButton::Left);
    Events(state, Path(env.View), [&](TToolPoint point) { balloon.Move(point, TMouseButton::Left); });
    balloon.Cancel();
}
BENCHMARK(BM_BalloonTailDragged)->Unit(benchmark::kMillisecond)->UseRealTime();

// A thought balloon lettered as a new one is: twelve words wrapped and
// fitted, smooth edges; a bent tail and a second one. The fit is searched
// and the image painted again at every move.
void BM_LetteredBalloonFollowsPointer(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    Settings(env);
    env.Object.Lines = {"Liftoff in ten seconds, so strap in and hold on to your helmets now!"};
    env.Object.FitToText = true;
    env.Object.WrapWords = true;
    env.Object.SmoothEdges = true;
    env.Object.SecondTail = true;
    env.Object.Align = TTextAlign::Center;
    TBalloonTool balloon(env, state.range(0) == 0 ? TToolCode::BalloonThought : TToolCode::BalloonEllipse);
    balloon.Select();
    Events(state, Path(env.View), [&](TToolPoint point) { balloon.Move(point, {}); });
    balloon.Cancel();
}
BENCHMARK(BM_LetteredBalloonFollowsPointer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RectangleBoxMoved(benchmark::State& state)
{
    TBenchEnvironment env(PhotoDocument());
    Settings(env);
    TBoxTool box(env, TToolCode::Rectangle);
    box.Select();
    const TToolPoint at{env.View.Left + 100, env.View.Top + 100};
    box.Move(at, {});
    box.Press(at, TMouseButton::Left, TMouseButton::Left);
    // Stretch it to 400 x 300, then hold it by the body.
    const TToolPoint corner{at.X + 20, at.Y + 20};
    box.Move(corner, {});
    box.Press(corner, TMouseButton::Left, TMouseButton::Left);
    box.Move({at.X + 400, at.Y + 300}, TMouseButton::Left);
    const TToolPoint inside{at.X + 200, at.Y + 150};
    box.Move(inside, {});
    box.Press(inside, TMouseButton::Left, TMouseButton::Left);
    Events(state, Path(env.View), [&](TToolPoint point) { box.Move(point, TMouseButton::Left); });
    box.Cancel();
}
BENCHMARK(BM_RectangleBoxMoved)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// Text needs the toolkit's font system, and so one application object.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
