#pragma once

// What the drawing tools' benchmarks share: the big photo as a cartoon's
// two layers, and the main window's part of each event.

#include "bench/BigPhoto.h"
#include "document/Document.h"
#include "document/ViewArithmetic.h"
#include "document/ViewStretch.h"
#include "picture/JpegFile.h"
#include "tools/ToolEnvironment.h"

#include "bench/NoiseDocument.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <time.h>

// The processor time of this thread, which other programs on a busy machine
// do not inflate as they do the wall time.
inline double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline constexpr int ScreenWidth = 1600;
inline constexpr int ScreenHeight = 900;

inline TDocument& PhotoDocument()
{
    static TDocument document = [] {
        const std::string path = BigPhotoPath();
        TDocument d;
        try {
            d.InitialisePhoto(ReadJpegFile(path));
        } catch (const std::exception&) {
            d = NoiseDocument(5640, 3172);
        }
        // A cartoon's layers: a grey sketch over the colours.
        d.SketchLayer = d.SourceBitmap;
        d.RebuildAll();
        return d;
    }();
    return document;
}

// The main window's part of the work at 100 %: the composite rebuilt and the
// rectangle stretched onto the screen image of a view in the picture's middle.
class TBenchEnvironment : public TToolEnvironment {
public:
    explicit TBenchEnvironment(TDocument& document)
        : Doc(document)
        , Screen(std::size_t(ScreenWidth) * ScreenHeight)
    {
        const int w = Doc.ViewBitmap.Width();
        const int h = Doc.ViewBitmap.Height();
        View = ComputeViewRect((w - ScreenWidth) / 2, (h - ScreenHeight) / 2, w, h, ScreenWidth, ScreenHeight, 1.0);
    }

    TDrawTargets DrawableLayers() override { return {&Doc.SketchLayer, &Doc.ColorLayer}; }
    TBitmap& ViewBitmap() override { return Doc.ViewBitmap; }
    TBitmap& SketchWork() override { return Doc.SketchWork; }
    TBitmap& ColorWork() override { return Doc.ColorWork; }
    TBitmap& SketchLayer() override { return Doc.SketchLayer; }
    TBitmap& ColorLayer() override { return Doc.ColorLayer; }
    TToolColor FrontColor() const override { return Front; }
    TToolColor BackColor() const override { return {255, 255, 255}; }
    void SetFrontColor(TToolColor) override {}
    void SetBackColor(TToolColor) override {}
    bool PaletteShown() const override { return true; }
    TToolSettings Settings() const override { return Values; }
    TObjectSettings ObjectSettings(TToolCode) const override { return Object; }
    void SetObjectSettings(TToolCode, const TObjectSettings& settings) override { Object = settings; }
    void ShowTextCut(bool) override {}
    void SetObjectCursor(TObjectCursor) override {}
    TRect ViewRect() const override { return View; }
    void RebuildComposite(const TRect& rect) override { Doc.RebuildComposite(rect); }
    void RebuildAll() override { Doc.RebuildAll(); }
    void PaintRect(const TRect& rect) override
    {
        const TRect r = ClampRect(rect, Doc.ViewBitmap.Width(), Doc.ViewBitmap.Height());
        const int w = View.Right - View.Left + 1;
        const int h = View.Bottom - View.Top + 1;
        const TStretch stretch{View, w, h};
        StretchToScreen(Doc.ViewBitmap, stretch, Screen.data(), ScreenWidth, std::max(r.Left - View.Left, 0),
                        std::min(r.Right - View.Left + 1, w), std::max(r.Top - View.Top, 0),
                        std::min(r.Bottom - View.Top + 1, h));
    }
    void RecordToolStep() override {}
    void ReplaceToolStep() override {}
    std::uint64_t CurrentStep() const override { return 0; }
    void DisableCommands() override {}
    void UpdateCommands() override {}
    void MakeToolCurrent(TToolCode) override {}
    void ShowPointerInfo(int, int) override {}
    void ShowDropperReading(int, int, TToolColor) override {}
    void ScrollView(int, int) override {}
    void SetGrabbing(bool) override {}

    TDocument& Doc;
    TRect View;
    TToolSettings Values;
    TObjectSettings Object;
    TToolColor Front{200, 40, 30};
    std::vector<std::uint32_t> Screen;
};
