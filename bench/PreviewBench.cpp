// The preview dialog as the user waits for it: after a handled slider move
// (or a drag of a colours-table boundary, or a scroll to another region),
// how long until the area shows the first frame of the new settings, and how
// long until it shows the exact one. Offscreen, with the shipped "cartoon"
// preset loaded as a shortcut does, the preview area at 1600 x 1200.
//
//   ./build/bench/preview_bench
//   ./build/bench/preview_bench --benchmark_filter=Big
//
// The big cases use the 17.9-megapixel Elephants photo (BigPhoto.h); they
// are skipped without it. Each repetition starts from a settled preview: the
// exact frame of the step before is shown and nothing is computed.
#include "bench/BigPhoto.h"
#include "document/Document.h"
#include "picture/PictureFiles.h"
#include "settings/ProgramDir.h"
#include "settings/ProgramOptions.h"
#include "ui/ColorScaleRuler.h"
#include "ui/FrmColorMoreOption.h"
#include "ui/FrmPreview.h"
#include "ui/FrmSketchMoreOption.h"
#include "ui/PaintBox.h"
#include "ui/TrackSpin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
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
    // measured), the region at the picture's middle or bottom-right corner.
    TPreviewRun(const std::string& photo, int w, int h, bool bottomRight)
    {
        Document.ViewBitmap = ReadPicture(photo, nullptr);
        Document.SourceBitmap = Document.ViewBitmap;
        Preview = std::make_unique<TFrmPreview>(Document, Options, SketchMore, ColorMore);
        Preview->LoadSettingsFile(QString::fromStdString(ProgramFile(CartoonSetName)));
        const QPoint middle(Document.ViewBitmap.Width() / 2, Document.ViewBitmap.Height() / 2);
        Preview->OpenAround(bottomRight ? QPoint(1 << 30, 1 << 30) : middle);
        Preview->show();
        Preview->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        for (int i = 0; i < 3; ++i) {
            const QSize area = Preview->PreviewArea->DeviceSize();
            Preview->resize(Preview->size() + QSize(w - area.width(), h - area.height()));
            QApplication::processEvents();
        }
        Settle();
    }

    // Handles events until the area shows the newest frame (or the exact
    // one); false after a minute without.
    bool WaitFor(bool exact) const
    {
        QElapsedTimer timer;
        timer.start();
        // Sleeps until an event comes (a frame, or the tick that lets the
        // minute be checked): a waiting loop that polled would take the
        // cores the frames are computed on.
        QTimer tick;
        tick.start(100);
        QEventLoop loop;
        while (!(exact ? Preview->ShowsExact() : Preview->ShowsLatest())) {
            if (timer.elapsed() > 60000)
                return false;
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
        return true;
    }
    bool Settle() const { return WaitFor(true); }
};

std::string StormPhoto() { return LQ_PHOTO_DIR "/storm.jpg"; }

// What the user does, once per repetition; `flip` alternates between two
// values so that every step changes something.
using TStep = std::function<void(TPreviewRun&, bool flip)>;

// One step of a slider away from the preset's value and back.
TStep MoveSlider(const char* pair)
{
    return [pair](TPreviewRun& run, bool flip) {
        QSlider* slider = run.Preview->Pair(pair)->Trc();
        const int preset = flip ? slider->value() : slider->value() - 1;
        slider->setValue(flip ? preset + 1 : preset);
    };
}

// Drags the first movable boundary of the colours table's current row by one
// intensity on the ruler of the colouring options, shown beside the preview.
void DragBoundary(TPreviewRun& run, bool flip)
{
    TFrmColorMoreOption& more = run.ColorMore;
    if (!more.isVisible())
        more.show();
    const int scale = run.Preview->Pair("ColorScale")->Value();
    const std::uint8_t* row = run.Preview->Settings().ColorTable + (scale - 1) * ColorTableRowSize;
    const int x = 10 + 2 * row[2];
    for (int y = 0; y < TColorScaleRuler::DesignedHeight; ++y)
        if (TColorScaleRuler::HandleAt(row, QPoint(x, y)) == 2) {
            emit more.Ruler->Pressed(QPoint(x, y), Qt::LeftButton);
            emit more.Ruler->Dragged(QPoint(x + (flip ? 2 : -2), y), Qt::LeftButton);
            return;
        }
}

// Drags the picture by most of the area, towards the picture's origin and
// back, so that the new region shares little with the one before; held to
// the scroll range, since a move past it is not taken.
void Scroll(TPreviewRun& run, bool flip)
{
    TFrmPreview& preview = *run.Preview;
    TPaintBox* box = preview.PreviewArea;
    const QPoint now(preview.ScrollLeft(), preview.ScrollTop());
    const int sign = flip ? -1 : 1;
    const QPoint target(std::clamp(now.x() + sign * (box->width() - 20), 0, preview.HorzScrollBar->maximum()),
                        std::clamp(now.y() + sign * (box->height() - 20), 0, preview.VertScrollBar->maximum()));
    // The pointer moves against the scrolling.
    const QPoint from(box->width() / 2, box->height() / 2), to = from + now - target;
    const auto send = [box](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), box->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(box, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, from + (to - from) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// The time from the step to the first (or the exact) frame, per repetition.
void Measure(benchmark::State& state, const std::string& photo, bool bottomRight, const TStep& step, bool exact)
{
    if (!QFileInfo::exists(QString::fromStdString(photo))) {
        state.SkipWithError(("no " + photo).c_str());
        return;
    }
    TPreviewRun run(photo, 1600, 1200, bottomRight);
    bool flip = false;
    double fastest = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        step(run, flip = !flip);
        if (!run.WaitFor(exact)) {
            state.SkipWithError("no frame within a minute");
            return;
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        fastest = fastest > 0 ? std::min(fastest, seconds) : seconds;
        state.SetIterationTime(seconds);
        state.PauseTiming();
        run.Settle();
        state.ResumeTiming();
    }
    // The mean shows the machine's load as much as the preview; the
    // fastest repetition is the nearest to a quiet machine.
    state.counters["fastest_ms"] = fastest * 1e3;
    const TEffectSettings& s = run.Preview->Settings();
    state.SetLabel(std::to_string(s.Width) + "x" + std::to_string(s.Height) + " at " + std::to_string(s.Left) + "," +
                   std::to_string(s.Top));
}

void Add(const std::string& name, const std::function<void(benchmark::State&)>& run)
{
    benchmark::RegisterBenchmark(name.c_str(), run)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->MeasureProcessCPUTime()
        ->Iterations(6);
}

void Register()
{
    struct TNamedStep {
        const char* Name;
        TStep Step;
    };
    const std::vector<TNamedStep> steps = {
        {"Detail", MoveSlider("Detail")},
        {"SketchSmooth", MoveSlider("SketchSmooth")},
        {"ColorScale", MoveSlider("ColorScale")},
        {"ColorSmooth", MoveSlider("ColorSmooth")},
        {"BorderBlur", MoveSlider("BorderBlur")},
        {"Brightness", MoveSlider("Brightness")},
        {"Ruler", DragBoundary},
        {"Scroll", Scroll},
    };
    for (const TNamedStep& s : steps) {
        const TStep step = s.Step;
        for (bool exact : {false, true}) {
            const std::string kind = exact ? "ExactFrame" : "FirstFrame";
            Add("BM_Big" + kind + "/" + s.Name + "/middle",
                [step, exact](benchmark::State& st) { Measure(st, BigPhotoPath(), false, step, exact); });
            Add("BM_Big" + kind + "/" + s.Name + "/bottom_right",
                [step, exact](benchmark::State& st) { Measure(st, BigPhotoPath(), true, step, exact); });
        }
        Add(std::string("BM_StormFirstFrame/") + s.Name,
            [step](benchmark::State& st) { Measure(st, StormPhoto(), false, step, false); });
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
