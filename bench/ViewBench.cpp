// Speed of a view refresh on a 17.9-megapixel photo (5640 x 3172) in a
// 1600 x 900 screen area: the visible part of the composite is rebuilt and
// stretched onto the screen image, at the zooms a user steps through. Each
// refresh of zooming, scrolling or dragging costs one of these.
#include "document/Document.h"
#include "document/ViewArithmetic.h"
#include "document/ViewStretch.h"

#include "bench/NoiseDocument.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int PhotoWidth = 5640;
constexpr int PhotoHeight = 3172;
constexpr int ScreenWidth = 1600;
constexpr int ScreenHeight = 900;

TDocument& LargeDocument()
{
    static TDocument document = NoiseDocument(PhotoWidth, PhotoHeight);
    return document;
}

// The zoom step of the benchmark's argument: 0 is actual pixels, -6 shows
// the whole photo, 4 is 316 %.
void RefreshView(benchmark::State& state, bool rebuild)
{
    TDocument& document = LargeDocument();
    const double zoom = ZoomRateOfStep(int(state.range(0)));
    // Scrolled to the middle, as after a drag.
    const TScrollRange horizontal = ScrollRangeFor(ScreenWidth, PhotoWidth, zoom);
    const TScrollRange vertical = ScrollRangeFor(ScreenHeight, PhotoHeight, zoom);
    const TRect view = ComputeViewRect(horizontal.LastPosition() / 2, vertical.LastPosition() / 2, PhotoWidth,
                                       PhotoHeight, ScreenWidth, ScreenHeight, zoom);
    const int w = view.Right - view.Left + 1;
    const int h = view.Bottom - view.Top + 1;
    const TStretch stretch{view, ScaledLength(w, zoom), ScaledLength(h, zoom)};
    std::vector<std::uint32_t> screen(std::size_t(ScreenWidth) * ScreenHeight);
    for (auto _ : state) {
        if (rebuild)
            document.RebuildComposite(view);
        StretchToScreen(document.ViewBitmap, stretch, screen.data(), ScreenWidth, 0,
                        std::min(stretch.ScaledWidth, ScreenWidth), 0, std::min(stretch.ScaledHeight, ScreenHeight));
        benchmark::DoNotOptimize(screen.data());
    }
    state.counters["picture_pixels"] = double(w) * h;
}

void BM_RefreshView(benchmark::State& state) { RefreshView(state, true); }
void BM_StretchOnly(benchmark::State& state) { RefreshView(state, false); }

BENCHMARK(BM_RefreshView)->Arg(-6)->Arg(-3)->Arg(-1)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchOnly)->Arg(-6)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
