// Speed of the adjustments on the 17.9-megapixel Elephants photo (5640 x
// 3172) with both layers drawable, seen in a 1600 x 1000 view at 100 %: one
// slider step of the preview, OK on the whole of both layers, and the history
// state OK records. The photo is named by LQ_BIG_PHOTO, or taken from
// mate-backgrounds.
#include "bench/BigPhoto.h"
#include "document/Document.h"
#include "document/History.h"
#include "document/ViewStretch.h"
#include "engine/WorkerPool.h"
#include "picture/JpegFile.h"
#include "tools/Adjustments.h"

#include "bench/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int ScreenWidth = 1600;
constexpr int ScreenHeight = 1000;

// The photo open with both layers taken from it (the tables cost the same
// whatever the pixels are); null when the photo is missing.
TDocument* Photo()
{
    static std::unique_ptr<TDocument> document = [] {
        std::unique_ptr<TDocument> d;
        if (!std::filesystem::exists(BigPhotoPath()))
            return d;
        d = std::make_unique<TDocument>();
        d->InitialisePhoto(ReadJpegFile(BigPhotoPath()));
        d->SketchLayer = d->ColorLayer;
        d->RebuildAll();
        return d;
    }();
    return document.get();
}

// The visible rectangle of a view scrolled to the middle of the photo.
TRect CentreView(const TBitmap& picture)
{
    const int left = (picture.Width() - ScreenWidth) / 2, top = (picture.Height() - ScreenHeight) / 2;
    return {left, top, left + ScreenWidth - 1, top + ScreenHeight - 1};
}

// Argument 0: brightness/contrast, 1: saturation, 2: colour balance. The
// values change every step, as they do while a slider is dragged.
void Adjust(int dialog, int step, const TBitmap& source, TBitmap& destination, const TRect& rect, TWorkerPool* pool)
{
    const int v = 10 + step % 20;
    switch (dialog) {
    case 0: BrightContrastPicture(source, destination, v, 2 * v, rect, pool); break;
    case 1: SaturatePicture(source, destination, v, rect, pool); break;
    default: OffsetPicture(source, destination, v, -v, v / 2, rect, pool); break;
    }
}

const char* DialogName(int dialog)
{
    return dialog == 0 ? "bright/contrast" : dialog == 1 ? "saturation" : "colour balance";
}

// What the view refresh adds: the composite of the visible part rebuilt and
// copied onto the screen image.
struct TScreen {
    explicit TScreen(const TRect& view)
        : Stretch{view, ScreenWidth, ScreenHeight}
        , Pixels(std::size_t(ScreenWidth) * ScreenHeight)
    {
    }
    void Refresh(TDocument& document)
    {
        document.RebuildComposite(Stretch.Area);
        StretchToScreen(document.ViewBitmap, Stretch, Pixels.data(), ScreenWidth, 0, ScreenWidth, 0, ScreenHeight);
        benchmark::DoNotOptimize(Pixels.data());
    }
    TStretch Stretch;
    std::vector<std::uint32_t> Pixels;
};

// One slider step: both layers into their scratch pictures inside the view,
// the composite pointed at them, the view refreshed, pointed back.
void BM_PreviewStep(benchmark::State& state)
{
    TDocument* document = Photo();
    if (!document) {
        state.SkipWithError("the Elephants photo is missing (set LQ_BIG_PHOTO)");
        return;
    }
    const int dialog = int(state.range(0));
    TWorkerPool pool(int(state.range(1)));
    const TRect view = CentreView(document->SketchLayer);
    TScreen screen(view);
    int step = 0;
    for (auto _ : state) {
        Adjust(dialog, step, document->SketchLayer, document->SketchWork, view, &pool);
        Adjust(dialog, step++, document->ColorLayer, document->ColorWork, view, &pool);
        document->ShownSketch = &TDocument::SketchWork;
        document->ShownColor = &TDocument::ColorWork;
        screen.Refresh(*document);
        document->ShownSketch = &TDocument::SketchLayer;
        document->ShownColor = &TDocument::ColorLayer;
    }
    state.SetLabel(DialogName(dialog));
}
BENCHMARK(BM_PreviewStep)
    ->ArgsProduct({{0, 1, 2}, {1, 2}})
    ->ArgNames({"dialog", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// OK: both whole layers in place, then the view refresh.
void BM_ApplyWhole(benchmark::State& state)
{
    TDocument* document = Photo();
    if (!document) {
        state.SkipWithError("the Elephants photo is missing (set LQ_BIG_PHOTO)");
        return;
    }
    const int dialog = int(state.range(0));
    TWorkerPool pool(int(state.range(1)));
    TScreen screen(CentreView(document->SketchLayer));
    int step = 0;
    for (auto _ : state) {
        for (TBitmap* layer : {&document->SketchLayer, &document->ColorLayer})
            Adjust(dialog, step, *layer, *layer, WholeRect(layer->Width(), layer->Height()), &pool);
        ++step;
        screen.Refresh(*document);
    }
    state.SetLabel(DialogName(dialog));
}
BENCHMARK(BM_ApplyWhole)
    ->ArgsProduct({{0, 1, 2}, {1, 2}})
    ->ArgNames({"dialog", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

// The history state OK records: the whole document as a project file. The
// disk is let catch up before each one, as between two adjustments.
void BM_RecordHistoryAfterOk(benchmark::State& state)
{
    TDocument* document = Photo();
    if (!document) {
        state.SkipWithError("the Elephants photo is missing (set LQ_BIG_PHOTO)");
        return;
    }
    TScratchFolder folder;
    THistory history(folder.Path() + "/history");
    history.SetHistoryStates(3);
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        history.RecordHistory("Brightness/Contrast", "Sketch Layer, Color Layer, 10, 0", *document);
    }
    state.counters["file_MB"] = FolderBytes(history.RunFolder()) / 1e6;
}
BENCHMARK(BM_RecordHistoryAfterOk)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

} // namespace

BENCHMARK_MAIN();
