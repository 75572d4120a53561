// Speed of each step of the effect engine on a 1920 x 1280 photo and on a
// 425 x 197 preview region of it, on one thread and on two.
//
// The photo is data/photos/storm.jpg, turned into a bitmap with `djpeg -bmp`
// when the benchmark starts (the engine has no JPEG reader of its own yet);
// without djpeg a synthetic photo-like picture of the same size stands in.
// Set LQ_BIG_PHOTO to a JPEG file (for example the 5640 x 3172 Elephants
// photo) to time the whole render on it too.

#include "engine/ColorSmooth.h"
#include "engine/ColorStep.h"
#include "engine/DrawEffect.h"
#include "engine/GaussianBlur.h"
#include "engine/Sketch.h"
#include "engine/WorkerPool.h"
#include "picture/BmpFile.h"
#include "tests/engine/EngineTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

TBitmap DecodeWithDjpeg(const std::string& jpeg)
{
    std::string bmp = "/tmp/lq_engine_bench_" + std::to_string(getpid()) + ".bmp";
    std::string command = "djpeg -bmp -outfile '" + bmp + "' '" + jpeg + "' 2>/dev/null";
    TBitmap picture;
    if (std::system(command.c_str()) == 0) {
        try {
            picture = ReadBmpFile(bmp);
        } catch (const std::exception&) {
        }
    }
    std::remove(bmp.c_str());
    return picture;
}

const TBitmap& Photo()
{
    static const TBitmap photo = [] {
        TBitmap p = DecodeWithDjpeg(LQ_PHOTO_DIR "/storm.jpg");
        if (p.Width() != 1920)
            p = EngineTest::PhotoLikePicture(1920, 1280);
        return p;
    }();
    return photo;
}

const TBitmap* BigPhoto()
{
    static const std::unique_ptr<TBitmap> big = []() -> std::unique_ptr<TBitmap> {
        const char* path = std::getenv("LQ_BIG_PHOTO");
        if (!path)
            return nullptr;
        TBitmap p = DecodeWithDjpeg(path);
        return p.Empty() ? nullptr : std::make_unique<TBitmap>(std::move(p));
    }();
    return big.get();
}

// Range 0: 0 = the whole photo, 1 = a preview region. Range 1: threads.
TRegion RegionFor(const benchmark::State& state)
{
    if (state.range(0) == 0)
        return {0, 0, Photo().Width(), Photo().Height()};
    return {700, 540, 425, 197};
}

TWorkerPool* PoolFor(const benchmark::State& state)
{
    static std::map<int, std::unique_ptr<TWorkerPool>> pools;
    int threads = int(state.range(1));
    if (threads <= 1)
        return nullptr;
    auto& pool = pools[threads];
    if (!pool)
        pool = std::make_unique<TWorkerPool>(threads);
    return pool.get();
}

void Label(benchmark::State& state)
{
    TRegion r = RegionFor(state);
    state.SetLabel((state.range(0) == 0 ? "photo " : "preview ") + std::to_string(r.Width) + "x" +
                   std::to_string(r.Height) + ", " + std::to_string(state.range(1)) + " thread(s)");
    state.SetItemsProcessed(state.iterations() * r.Pixels());
}

TEffectSettings Fresh()
{
    TEffectSettings s = EngineTest::FreshSettings(0, 0);
    s.DrawColor = 1;
    return s;
}

void BM_Blur(benchmark::State& state, double radius)
{
    TRegion r = RegionFor(state);
    std::vector<std::uint8_t> pixels(std::size_t(r.Pixels()) * 3);
    for (int y = 0; y < r.Height; ++y)
        std::copy_n(Photo().ScanLine(r.Top + y) + r.Left * 3, r.Width * 3,
                    pixels.data() + std::size_t(y) * r.Width * 3);
    std::vector<std::uint8_t> out(pixels.size());
    for (auto _ : state)
        GaussianBlur(pixels.data(), out.data(), r.Width, r.Height, radius, {}, PoolFor(state));
    Label(state);
}

void BM_Sketch(benchmark::State& state)
{
    TRegion r = RegionFor(state);
    TEffectSettings s = Fresh();
    TSketch sketch;
    sketch.SetPool(PoolFor(state));
    for (auto _ : state) {
        sketch.LoadPicture(&Photo(), r.Left, r.Top, r.Width, r.Height);
        sketch.Render(s.SketchType, s.Detail, s.Darkness, s.WhiteLevel, s.RemainThreshold, s.RemainDarkness, false,
                      s.SketchSmooth / 20.0, s.Sharper / 5.0);
    }
    Label(state);
}

void BM_Scale(benchmark::State& state, int scaleType)
{
    TRegion r = RegionFor(state);
    TEffectSettings s = Fresh();
    TColorStep step;
    step.SetPool(PoolFor(state));
    step.LoadPicture(&Photo(), r.Left, r.Top, r.Width, r.Height);
    for (auto _ : state)
        step.ScaleColors(scaleType, 1, s.ColorScale, s.ColorTable, ColorTableSize);
    Label(state);
}

// Median smoothing after average scaling (few colours, long runs) or after
// fixed scaling at the finest row of the table (many colours).
void BM_Smooth(benchmark::State& state, int radius, int scaleType, int colorScale)
{
    TRegion r = RegionFor(state);
    TEffectSettings s = Fresh();
    TColorStep step;
    step.SetPool(PoolFor(state));
    step.LoadPicture(&Photo(), r.Left, r.Top, r.Width, r.Height);
    step.ScaleColors(scaleType, 1, colorScale, s.ColorTable, ColorTableSize);
    for (auto _ : state)
        step.SmoothColors(radius, 0);
    Label(state);
}

// The colouring chain up to the border blur, without scaling or smoothing.
void LoadUnscaled(TColorStep& step, benchmark::State& state)
{
    TRegion r = RegionFor(state);
    step.SetPool(PoolFor(state));
    step.LoadPicture(&Photo(), r.Left, r.Top, r.Width, r.Height);
    step.ScaleColors(0, 1, 0, nullptr, 0);
    step.SmoothColors(0, 0);
}

void BM_BorderBlur(benchmark::State& state)
{
    TColorStep step;
    LoadUnscaled(step, state);
    for (auto _ : state)
        step.BlurBorders(25 / 20.0);
    Label(state);
}

void BM_ToneTables(benchmark::State& state)
{
    TColorStep step;
    LoadUnscaled(step, state);
    for (auto _ : state)
        step.AdjustTone(10, 20, 10, 5, 0, -5);
    Label(state);
}

void RenderWhole(benchmark::State& state, const TBitmap& picture, const TRegion& r,
                 const TEffectSettings& settings = Fresh())
{
    TEffectSettings s = settings;
    s.Left = r.Left;
    s.Top = r.Top;
    s.Width = r.Width;
    s.Height = r.Height;
    TDrawEffect effect;
    effect.SetThreadCount(int(state.range(1)));
    effect.SetSettings(s, &picture);
    for (auto _ : state) {
        TBitmap sketch, color; // as a one-off run would: no layers from before
        effect.Render();
        effect.GetLayers(sketch, color);
    }
    // The peak of the whole benchmark process so far: run this case on its
    // own (--benchmark_filter) for the figure of one render.
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
    state.SetItemsProcessed(state.iterations() * r.Pixels());
}

// Fresh settings with the colouring layer on: both layers, as the cartoon
// command computes them, and GetLayers.
void BM_Render(benchmark::State& state)
{
    RenderWhole(state, Photo(), RegionFor(state));
    Label(state);
}

void BM_RenderBig(benchmark::State& state)
{
    const TBitmap* big = BigPhoto();
    if (!big) {
        state.SkipWithError("LQ_BIG_PHOTO is not set or not readable");
        return;
    }
    // A preset file (the settings record as it is stored) may stand in for
    // the fresh settings, for instance build/bin/cartoon.set.
    TEffectSettings s = Fresh();
    std::string preset = "fresh settings";
    if (const char* path = std::getenv("LQ_BIG_PRESET")) {
        std::ifstream file(path, std::ios::binary);
        if (!file.read(reinterpret_cast<char*>(&s), sizeof s)) {
            state.SkipWithError("LQ_BIG_PRESET is not a readable preset file");
            return;
        }
        preset = path;
    }
    RenderWhole(state, *big, {0, 0, big->Width(), big->Height()}, s);
    state.SetLabel(std::to_string(big->Width()) + "x" + std::to_string(big->Height()) + ", " + preset + ", " +
                   std::to_string(state.range(1)) + " thread(s)");
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"preview", "threads"});
    for (int region : {0, 1})
        for (int threads : {1, 2})
            b->Args({region, threads});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_Blur, sketch_smooth_r0_75, 0.75)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Blur, r5, 5.0)->Apply(Sizes);
BENCHMARK(BM_Sketch)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Scale, fixed, 1)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Scale, average, 2)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Smooth, r2, 2, 2, 10)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Smooth, r5, 5, 2, 10)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Smooth, r10, 10, 2, 10)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Smooth, r19_fixed142, 19, 1, 142)->Apply(Sizes);
BENCHMARK(BM_BorderBlur)->Apply(Sizes);
BENCHMARK(BM_ToneTables)->Apply(Sizes);
BENCHMARK(BM_Render)->Apply(Sizes);
BENCHMARK(BM_RenderBig)
    ->ArgNames({"unused", "threads"})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace

BENCHMARK_MAIN();
