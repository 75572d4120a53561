// Speed of the document operations that the user waits for: recording an
// undo state of a large photo, undoing to it, and rebuilding the visible part
// of the composite on every view refresh.
#include "bench/BigPhoto.h"
#include "document/Composite.h"
#include "document/Document.h"
#include "document/History.h"
#include "document/P2CFile.h"
#include "engine/DrawEffect.h"
#include "picture/JpegFile.h"
#include "settings/SettingsFile.h"

#include "bench/NoiseDocument.h"

#include "bench/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// A 12-megapixel document (4000 x 3000), as a current camera gives.
const TDocument& LargeDocument()
{
    static const TDocument document = NoiseDocument(4000, 3000);
    return document;
}

void BM_RecordHistory12MP(benchmark::State& state)
{
    TDocument document = LargeDocument();
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    history.RecordHistory("Open", "noise", document);
    // Back to back, each changing a row as a stroke would: once a state
    // waits in memory, each recording waits for the writer, so this is the
    // writer's pace for a stroke (noise barely compresses).
    int row = 0;
    for (auto _ : state) {
        document.SketchLayer.ScanLine(row++ % document.SketchLayer.Height())[0] ^= 1;
        history.RecordHistory("Pencil", "--", document);
    }
    history.Flush();
    state.counters["folder_MB"] = FolderBytes(history.RunFolder()) / 1e6;
}
BENCHMARK(BM_RecordHistory12MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// One recording after the disk has caught up with the previous ones, as when
// the user works at a human pace: the kernel takes the file into its cache
// without throttling the writer.
void BM_RecordHistory12MPAfterIdle(benchmark::State& state)
{
    const TDocument& document = LargeDocument();
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    for (auto _ : state) {
        state.PauseTiming();
        history.Flush();
        ::sync();
        state.ResumeTiming();
        history.RecordHistory("Pencil", "--", document);
    }
    history.Flush();
}
BENCHMARK(BM_RecordHistory12MPAfterIdle)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);

// Copying the three pictures a state holds: what recording would cost the
// interface if the file were written by a worker from such a copy.
void BM_CopyState12MP(benchmark::State& state)
{
    const TDocument& document = LargeDocument();
    for (auto _ : state) {
        TBitmap sketch = document.SketchLayer;
        TBitmap color = document.ColorLayer;
        TBitmap source = document.SourceBitmap;
        benchmark::DoNotOptimize(sketch.Bits());
        benchmark::DoNotOptimize(color.Bits());
        benchmark::DoNotOptimize(source.Bits());
    }
}
BENCHMARK(BM_CopyState12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file as a user's project, which waits for the disk.
void BM_SaveProject12MP(benchmark::State& state)
{
    const TDocument& document = LargeDocument();
    TScratchFolder folder;
    for (auto _ : state)
        WriteProjectFile(folder.Path() + "/work.p2c", document);
}
BENCHMARK(BM_SaveProject12MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_UndoHistory12MP(benchmark::State& state)
{
    TDocument document = LargeDocument();
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    history.RecordHistory("Open", "a.jpg", document);
    history.RecordHistory("Pencil", "--", document);
    history.Flush(); // both states from their files
    for (auto _ : state) {
        history.Undo(document);
        history.Redo(document);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_UndoHistory12MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The cartoon of a 17.9-megapixel photo, as the cartoon command leaves the
// document: the photo named by LQ_BIG_PHOTO (the largest of the
// mate-backgrounds pictures by default) through the shipped "cartoon.set".
// Null when either is missing.
const TDocument* CartoonDocument()
{
    static const std::unique_ptr<TDocument> document = []() -> std::unique_ptr<TDocument> {
        const std::string photo = BigPhotoPath();
        TEffectSettings settings{};
        if (!std::filesystem::exists(photo) || !ReadSettingsFile(LQ_PROGRAM_DIR "/cartoon.set", settings))
            return nullptr;
        auto result = std::make_unique<TDocument>();
        result->InitialisePhoto(ReadJpegFile(photo));
        settings.Left = settings.Top = 0;
        settings.Width = result->SourceBitmap.Width();
        settings.Height = result->SourceBitmap.Height();
        TDrawEffect effect;
        effect.SetSettings(settings, &result->SourceBitmap);
        effect.Render();
        effect.GetLayers(result->SketchLayer, result->ColorLayer);
        result->TakeEffectResult(settings);
        return result;
    }();
    return document.get();
}

double ProcessCpuSeconds()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double RawStateBytes(const TDocument& d)
{
    return 3.0 * (double(d.SketchLayer.Width()) * d.SketchLayer.Height() * 2 +
                  double(d.SourceBitmap.Width()) * d.SourceBitmap.Height());
}

// What RecordHistory costs the caller: the copy into the state's buffer; the
// compressed write runs on the history's own thread (waited for outside the
// timing). The counters give the state file's size against the raw pixels.
void BM_RecordHistoryCartoon17MP(benchmark::State& state)
{
    const TDocument* document = CartoonDocument();
    if (!document) {
        state.SkipWithError("no photo or no cartoon.set");
        return;
    }
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        history.RecordHistory("Classic", "--", *document);
        cpuSeconds += ProcessCpuSeconds() - before;
        state.PauseTiming();
        history.Flush();
        state.ResumeTiming();
    }
    // Processor time of every thread of the process while the caller waited:
    // the wall time above also counts the waits for a core on a busy machine.
    state.counters["cpu_ms"] = 1000.0 * cpuSeconds / double(state.iterations());
    // The same document each time: the folder holds its bands once.
    const double file = FolderBytes(history.RunFolder());
    state.counters["state_MB"] = file / 1e6;
    state.counters["raw_MB"] = RawStateBytes(*document) / 1e6;
    state.counters["state_of_raw"] = file / RawStateBytes(*document);
}
BENCHMARK(BM_RecordHistoryCartoon17MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The background write of the same state into a history that holds none of
// its bands yet: how soon after the cartoon command its files are complete.
void BM_WriteStateCartoon17MP(benchmark::State& state)
{
    const TDocument* document = CartoonDocument();
    if (!document) {
        state.SkipWithError("no photo or no cartoon.set");
        return;
    }
    TScratchFolder folder;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        THistory history(folder.Path() + "/history" + std::to_string(run++));
        history.SetHistoryStates(3);
        state.ResumeTiming();
        history.RecordHistory("Classic", "--", *document);
        history.Flush();
    }
}
BENCHMARK(BM_WriteStateCartoon17MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Undo to a state written to its files, and Redo back, on the 17.9-megapixel
// cartoon. Argument 0: the two states differ as a stroke leaves them (40 rows
// of the sketch layer), so that a step reads the bands that changed; 1: the
// photo as opened and its cartoon, so that a step reads both layers whole.
void BM_UndoCartoon17MP(benchmark::State& state)
{
    const TDocument* cartoon = CartoonDocument();
    if (!cartoon) {
        state.SkipWithError("no photo or no cartoon.set");
        return;
    }
    TDocument document = *cartoon;
    TDocument earlier = *cartoon;
    if (state.range(0) == 0) {
        for (int y = 1000; y < 1040; ++y)
            std::fill_n(earlier.SketchLayer.ScanLine(y) + 3000, 600, std::uint8_t(20));
    } else {
        earlier.SketchLayer.FillWhite();
        earlier.ColorLayer = earlier.SourceBitmap;
    }
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    history.RecordHistory("Open", "a.jpg", earlier);
    history.RecordHistory("Classic", "--", document);
    history.Flush();
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        history.Undo(document);
        history.Redo(document);
        cpuSeconds += ProcessCpuSeconds() - before;
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["ms_per_step"] = benchmark::Counter(double(state.iterations() * 2) / 1000.0,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["cpu_ms_per_step"] = 1000.0 * cpuSeconds / double(state.iterations() * 2);
}
BENCHMARK(BM_UndoCartoon17MP)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A full-HD visible rectangle of the 12-megapixel document; argument 0 is
// multiply, 1 the opacity mix, 2 one layer hidden (a copy).
void BM_RebuildVisibleRect(benchmark::State& state)
{
    TDocument document = LargeDocument();
    document.LayerState.BlendingMode = state.range(0) == 1 ? BlendOpacity : BlendMultiply;
    document.LayerState.Opacity = 37;
    document.LayerState.ColorVisible = state.range(0) != 2;
    const TRect visible{1000, 900, 1000 + 1919, 900 + 1079};
    for (auto _ : state) {
        document.RebuildComposite(visible);
        benchmark::DoNotOptimize(document.ViewBitmap.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_RebuildVisibleRect)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
