#pragma once

#include "document/Document.h"
#include "tools/ToolEnvironment.h"

#include <string>
#include <vector>

// The tools' environment over a plain document: both layers of one size,
// the composite rebuilt through the document's own rule, and every call that
// would reach a window recorded for the test to look at.
class TTestEnvironment : public TToolEnvironment {
public:
    TTestEnvironment(int width, int height, std::uint8_t sketch = 255, std::uint8_t color = 255)
    {
        Document.SourceBitmap = TBitmap(width, height);
        Document.SketchLayer = TBitmap(width, height);
        Document.ColorLayer = TBitmap(width, height);
        Document.SketchLayer.Fill(sketch, sketch, sketch);
        Document.ColorLayer.Fill(color, color, color);
        Document.PictureOpened = true;
        Document.RebuildAll();
    }

    TDrawTargets DrawableLayers() override
    {
        return {Document.LayerState.SketchDrawable ? &Document.SketchLayer : nullptr,
                Document.LayerState.ColorDrawable ? &Document.ColorLayer : nullptr};
    }
    TBitmap& ViewBitmap() override { return Document.ViewBitmap; }
    TBitmap& SketchWork() override { return Document.SketchWork; }
    TBitmap& ColorWork() override { return Document.ColorWork; }
    TBitmap& SketchLayer() override { return Document.SketchLayer; }
    TBitmap& ColorLayer() override { return Document.ColorLayer; }
    TToolColor FrontColor() const override { return Front; }
    TToolColor BackColor() const override { return Back; }
    void SetFrontColor(TToolColor color) override { Front = color; }
    void SetBackColor(TToolColor color) override { Back = color; }
    bool PaletteShown() const override { return PaletteVisible; }
    TToolSettings Settings() const override { return Values; }
    TObjectSettings ObjectSettings(TToolCode) const override { return Object; }
    void SetObjectSettings(TToolCode, const TObjectSettings& settings) override { Object = settings; }
    void ShowTextCut(bool cut) override { TextCut = cut; }
    void SetObjectCursor(TObjectCursor cursor) override { Cursor = cursor; }
    TRect ViewRect() const override { return WholeRect(Document.ViewBitmap.Width(), Document.ViewBitmap.Height()); }
    void RebuildComposite(const TRect& rect) override { Document.RebuildComposite(rect); }
    void RebuildAll() override { Document.RebuildAll(); }
    void PaintRect(const TRect& rect) override { Painted.push_back(rect); }
    void RecordToolStep() override
    {
        ++Steps;
        Step = ++LastStep;
    }
    void ReplaceToolStep() override
    {
        ++Replaced;
        Step = ++LastStep;
    }
    std::uint64_t CurrentStep() const override { return Step; }
    void DisableCommands() override { CommandsOff = true; }
    void UpdateCommands() override { CommandsOff = false; }
    void MakeToolCurrent(TToolCode) override {}
    void ShowPointerInfo(int x, int y) override { PointerInfo.push_back({x, y}); }
    void ShowDropperReading(int x, int y, TToolColor color) override
    {
        Readings.push_back("X: " + std::to_string(x) + " Y: " + std::to_string(y) + " R: " + std::to_string(color.R) +
                           " G: " + std::to_string(color.G) + " B: " + std::to_string(color.B));
    }
    void ScrollView(int dx, int dy) override { Scrolls.push_back({dx, dy}); }
    void SetGrabbing(bool grabbing) override { Grabbing = grabbing; }

    TDocument Document;
    TToolSettings Values;
    TObjectSettings Object;
    TObjectCursor Cursor = TObjectCursor::Arrow;
    TToolColor Front{0, 0, 0};
    TToolColor Back{255, 255, 255};
    bool PaletteVisible = true;
    bool Grabbing = false;
    int Steps = 0;
    int Replaced = 0;
    // The step the document stands at: each recording or replacement makes
    // a new one; a test may step elsewhere.
    std::uint64_t Step = 0;
    std::uint64_t LastStep = 0;
    bool TextCut = false;
    bool CommandsOff = false;
    std::vector<TRect> Painted;
    std::vector<std::string> Readings;
    std::vector<std::pair<int, int>> PointerInfo;
    std::vector<std::pair<int, int>> Scrolls;
};

// A picture as rows of characters: '#' where the pixel differs from
// (background, background, background), '.' where it does not.
inline std::vector<std::string> Pattern(const TBitmap& picture, std::uint8_t background = 255)
{
    std::vector<std::string> rows;
    for (int y = 0; y < picture.Height(); ++y) {
        std::string row;
        const std::uint8_t* p = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, p += 3)
            row += (p[0] == background && p[1] == background && p[2] == background) ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

inline void SetPixel(TBitmap& picture, int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    std::uint8_t* p = picture.ScanLine(y) + std::size_t(x) * 3;
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

inline TToolColor PixelAt(const TBitmap& picture, int x, int y)
{
    const std::uint8_t* p = picture.ScanLine(y) + std::size_t(x) * 3;
    return TToolColor{p[2], p[1], p[0]};
}
