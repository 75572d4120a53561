// The preview dialog's own recomputation: a handled slider change runs
// RenderPreview, which computes the effect of the visible region and draws it
// into the preview area. Offscreen, with the shipped "cartoon" preset loaded
// as a shortcut does.
//
//   ./build/bench/preview_bench
//   LQ_BIG_PHOTO=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg ./build/bench/preview_bench
#include "document/Document.h"
#include "picture/JpegFile.h"
#include "settings/ProgramDir.h"
#include "settings/ProgramOptions.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmPreview.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/PaintBox.h"
#include "ui/TrackSpin.h"

#include <QApplication>
#include <QScrollBar>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TPreviewRun {
    TDocument Document;
    TProgramOptions Options;
    TFrmSketchMoreOption SketchMore;
    TFrmColorMoreOption ColorMore;
    std::unique_ptr<TFrmPreview> Preview;

    // Shows the dialog on the photo with its preview area at w x h device
    // pixels (beyond the window's limits where asked: the area alone is
    // measured), scrolled to the bottom-right corner when asked.
    TPreviewRun(const std::string& photo, int w, int h, bool bottomRight)
    {
        Document.ViewBitmap = ReadJpegFile(photo);
        Document.SourceBitmap = Document.ViewBitmap;
        Preview = std::make_unique<TFrmPreview>(Document, Options, SketchMore, ColorMore);
        Preview->LoadSettingsFile(QString::fromStdString(ProgramFile(CartoonSetName)));
        Preview->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        Preview->show();
        for (int i = 0; i < 3; ++i) {
            const QSize area = Preview->PreviewArea->DeviceSize();
            Preview->resize(Preview->size() + QSize(w - area.width(), h - area.height()));
            QApplication::processEvents();
        }
        if (bottomRight) {
            Preview->HorzScrollBar->setValue(Preview->HorzScrollBar->maximum());
            Preview->VertScrollBar->setValue(Preview->VertScrollBar->maximum());
        }
        Preview->RenderPreview();
    }
};

std::string StormPhoto() { return LQ_PHOTO_DIR "/storm.jpg"; }

// One handled move of a slider, to alternating positions.
void MoveSlider(benchmark::State& state, const std::string& photo, int w, int h, bool bottomRight, const char* pair)
{
    if (photo.empty()) {
        state.SkipWithError("set LQ_BIG_PHOTO to the Elephants photo");
        return;
    }
    TPreviewRun run(photo, w, h, bottomRight);
    QSlider* slider = run.Preview->Pair(pair)->Trc();
    const int a = slider->value(), b = a == slider->maximum() ? a - 1 : a + 1;
    const QSize area = run.Preview->PreviewArea->DeviceSize();
    const TEffectSettings& s = run.Preview->Settings();
    state.SetLabel(std::to_string(area.width()) + "x" + std::to_string(area.height()) + " area, region " +
                   std::to_string(s.Width) + "x" + std::to_string(s.Height) + " at " + std::to_string(s.Left) + "," +
                   std::to_string(s.Top));
    bool flip = false;
    for (auto _ : state) {
        slider->setValue((flip = !flip) ? b : a);
        benchmark::DoNotOptimize(run.Preview->AreaImage().constBits());
    }
}

std::string BigPhoto()
{
    const char* path = std::getenv("LQ_BIG_PHOTO");
    return path ? path : "";
}

// The shortest repetition: on a shared machine the closest to a quiet one.
double Shortest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void Register()
{
    for (const char* pair : {"Detail", "ColorSmooth", "Brightness"}) {
        benchmark::RegisterBenchmark(
            (std::string("BM_StormLarge/") + pair).c_str(),
            [pair](benchmark::State& s) { MoveSlider(s, StormPhoto(), 1600, 1200, false, pair); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->ComputeStatistics("min", Shortest);
        benchmark::RegisterBenchmark(
            (std::string("BM_StormDesigned/") + pair).c_str(),
            [pair](benchmark::State& s) { MoveSlider(s, StormPhoto(), 425, 197, false, pair); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->ComputeStatistics("min", Shortest);
        benchmark::RegisterBenchmark((std::string("BM_BigBottomRight/") + pair).c_str(),
                                     [pair](benchmark::State& s) { MoveSlider(s, BigPhoto(), 1600, 1200, true, pair); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->ComputeStatistics("min", Shortest);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The shipped presets are written beside the program in the build tree.
    OverrideProgramDir(LQ_PROGRAM_DIR_BUILD);
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
