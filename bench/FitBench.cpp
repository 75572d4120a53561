// What fitting a preset to a photo costs beside the render it prepares: the
// shipped presets fitted to, then rendered on, the 1920 x 1280 storm photo and
// the 17.9-megapixel photo (bench/BigPhoto.h), with the render's own thread
// count. The fit must stay under 5 % of the render; "fit_share_%" is the
// median fit time over the median render time of the same photo and preset,
// "fit_work_share_%" the same in processor time.
#include "bench/BigPhoto.h"
#include "engine/DrawEffect.h"
#include "picture/PictureFiles.h"
#include "settings/FitToPhoto.h"
#include "settings/Presets.h"
#include "settings/SettingsFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

namespace {

const TBitmap* Photo(const std::string& path)
{
    static std::map<std::string, std::unique_ptr<TBitmap>> photos;
    auto& photo = photos[path];
    if (!photo) {
        try {
            std::string warning;
            photo = std::make_unique<TBitmap>(ReadPicture(path, &warning));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "fit_bench: %s\n", e.what());
            photo = std::make_unique<TBitmap>();
        }
    }
    return photo->Empty() ? nullptr : photo.get();
}

std::unique_ptr<TEffectSettings> Shipped(const std::string& preset)
{
    auto settings = std::make_unique<TEffectSettings>();
    ReadSettingsFile(std::string(LQ_PROGRAM_DIR) + "/" + preset + ".set", *settings);
    return settings;
}

double Seconds(const std::chrono::steady_clock::time_point& since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of the whole process, all its threads.
double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Each iteration fits, then renders with the fitted settings; only the fit is
// timed by the benchmark, the render beside it for the share.
void FitAgainstRender(benchmark::State& state, const std::string& path, const std::string& preset)
{
    const TBitmap* photo = Photo(path);
    if (!photo) {
        state.SkipWithError(("no photo at " + path).c_str());
        return;
    }
    const auto settings = Shipped(preset);
    std::vector<double> fits, renders, fitWork, renderWork;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double startWork = ProcessSeconds();
        auto fitted = std::make_unique<TEffectSettings>(FitToPhoto(*settings, *photo));
        fitWork.push_back(ProcessSeconds() - startWork);
        fits.push_back(Seconds(start));
        state.PauseTiming();
        WidenToPicture(*fitted, *photo);
        auto effect = std::make_unique<TDrawEffect>();
        effect->SetSettings(*fitted, photo);
        const auto renderStart = std::chrono::steady_clock::now();
        const double renderStartWork = ProcessSeconds();
        effect->Render();
        renderWork.push_back(ProcessSeconds() - renderStartWork);
        renders.push_back(Seconds(renderStart));
        state.ResumeTiming();
    }
    state.counters["fit_ms"] = Median(fits) * 1e3;
    state.counters["render_ms"] = Median(renders) * 1e3;
    state.counters["fit_share_%"] = 100.0 * Median(fits) / Median(renders);
    // The same in processor time: the render's on every core it used.
    state.counters["fit_work_share_%"] = 100.0 * Median(fitWork) / Median(renderWork);
}

void Register()
{
    const std::string storm = LQ_PHOTO_DIR "/storm.jpg";
    const std::string astronaut = LQ_PHOTO_DIR "/astronaut.jpg";
    for (const char* preset : {"cartoon", "sketch", "linedrawing", "canvas"}) {
        benchmark::RegisterBenchmark((std::string("BM_Fit/storm/") + preset).c_str(),
                                     [=](benchmark::State& s) { FitAgainstRender(s, storm, preset); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(5);
        benchmark::RegisterBenchmark((std::string("BM_Fit/astronaut/") + preset).c_str(),
                                     [=](benchmark::State& s) { FitAgainstRender(s, astronaut, preset); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(15);
        benchmark::RegisterBenchmark((std::string("BM_Fit/big/") + preset).c_str(),
                                     [=](benchmark::State& s) { FitAgainstRender(s, BigPhotoPath(), preset); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
