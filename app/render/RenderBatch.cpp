#include "app/render/RenderBatch.h"

#include "app/render/Interrupt.h"
#include "app/render/RenderOptions.h"
#include "app/render/TerminalProgress.h"
#include "batch/BatchPlan.h"
#include "batch/BatchRun.h"
#include "batch/BatchText.h"
#include "picture/FileError.h"
#include "settings/Presets.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr const char* ProgramName = "lumenquilla-render";

// How often the main thread looks for a Ctrl-C while the batch runs.
constexpr std::chrono::milliseconds InterruptPoll{50};

void Say(const std::string& line) { std::fprintf(stderr, "%s: %s\n", ProgramName, line.c_str()); }

TBatchSettings SettingsOf(const TRenderOptions& options)
{
    TBatchSettings settings;
    settings.OutputFolder = options.OutputFolder;
    settings.Recurse = options.Recurse;
    settings.Format = options.Format;
    settings.Suffix = options.Suffix;
    settings.Lossless = options.Lossless;
    settings.PresetFile = PresetPath(options.Preset);
    settings.Fit = options.Fit;
    settings.NoEffect = options.NoEffect;
    settings.SkipExisting = options.SkipExisting;
    settings.Jobs = options.Jobs;
    settings.Threads = options.Threads;
    settings.MemoryBudget = options.Memory;
    return settings;
}

// Waits for the batch, cancelling it at the first Ctrl-C: the signal handler
// can only set a flag, so this thread looks at it a few times a second.
void WaitFor(TBatchRun& run)
{
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    run.Start([&] {
        std::lock_guard lock(mutex);
        finished = true;
        ended.notify_all();
    });
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, InterruptPoll, [&] { return finished; }))
        if (InterruptSignal() != 0)
            run.Cancel();
    lock.unlock();
    run.Wait();
}

} // namespace

int RenderBatch(const TRenderOptions& options)
{
    std::unique_ptr<TBatchRun> run;
    try {
        const TBatchSettings settings = SettingsOf(options);
        run = std::make_unique<TBatchRun>(PlanBatch(options.Inputs, settings), settings);
    } catch (const TFileError& e) {
        Say(e.what());
        return 1;
    }
    // From here a Ctrl-C stops the photos under way and keeps every output
    // already in place.
    SetRunPhase(TRunPhase::Working);
    {
        std::unique_ptr<TTerminalProgress> progress;
        if (!options.Quiet && TTerminalProgress::Wanted())
            progress = std::make_unique<TTerminalProgress>(
                [&run](int columns) { return BatchProgressLine(run->Counts(), columns); });
        WaitFor(*run);
    }

    const TBatchCounts counts = run->Counts();
    // A Ctrl-C that came once every photo had ended stopped nothing: the run
    // succeeded as it stands.
    const bool stopped = InterruptSignal() != 0 && counts.Done + counts.Skipped + counts.Failed < counts.Total;
    const std::vector<std::string> summary = BatchSummary(run->Results(), counts.Seconds, stopped);
    if (!options.Quiet || counts.Failed > 0 || summary.size() > 1 || stopped) {
        for (const std::string& line : summary)
            Say(line);
        if (!options.Quiet && run->PhotosToWork() > 0)
            Say(BatchResourcesText(run->Jobs(), run->ThreadsPerPhoto(), run->MemoryBudget(), run->MostMemoryHeld()));
    }
    if (stopped)
        return 128 + InterruptSignal();
    return counts.Failed > 0 ? 1 : 0;
}
