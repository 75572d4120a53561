// Speed of the document operations that the user waits for: recording an
// undo state of a large photo, and rebuilding the visible part of the
// composite on every view refresh.
#include "Composite.h"
#include "Document.h"
#include "History.h"
#include "P2CFile.h"

#include "NoiseDocument.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// A 12-megapixel document (4000 x 3000), as a current camera gives.
const TDocument& LargeDocument()
{
    static const TDocument document = NoiseDocument(4000, 3000);
    return document;
}

class TScratchFolder {
public:
    TScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lq-bench-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        path_ = ::mkdtemp(name.data()) ? name.data() : "lq-bench";
    }
    ~TScratchFolder() { std::filesystem::remove_all(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void BM_RecordHistory12MP(benchmark::State& state)
{
    const TDocument& document = LargeDocument();
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    for (auto _ : state)
        history.RecordHistory("Pencil", "--", document);
    state.SetBytesProcessed(state.iterations() * int64_t(std::filesystem::file_size(history.StateFile(1))));
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
        ::sync();
        state.ResumeTiming();
        history.RecordHistory("Pencil", "--", document);
    }
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
    for (auto _ : state) {
        history.Undo(document);
        history.Redo(document);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_UndoHistory12MP)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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
