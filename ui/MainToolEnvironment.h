#pragma once

#include "tools/ToolEnvironment.h"

class TFrmMain;

// The drawing tools' view of the program: the main window's document and
// view, the palette's colours and the option panel's values. Tools reach
// nothing else.
class TMainToolEnvironment : public TToolEnvironment {
public:
    explicit TMainToolEnvironment(TFrmMain& main)
        : Main(main)
    {
    }

    TDrawTargets DrawableLayers() override;
    TBitmap& ViewBitmap() override;
    TBitmap& SketchWork() override;
    TBitmap& ColorWork() override;
    TBitmap& SketchLayer() override;
    TBitmap& ColorLayer() override;
    TToolColor FrontColor() const override;
    TToolColor BackColor() const override;
    void SetFrontColor(TToolColor color) override;
    void SetBackColor(TToolColor color) override;
    bool PaletteShown() const override;
    TToolSettings Settings() const override;
    TObjectSettings ObjectSettings(TToolCode code) const override;
    void SetObjectSettings(TToolCode code, const TObjectSettings& settings) override;
    void ShowTextCut(bool cut) override;
    void SetObjectCursor(TObjectCursor cursor) override;
    TRect ViewRect() const override;
    void RebuildComposite(const TRect& rect) override;
    void RebuildAll() override;
    void PaintRect(const TRect& rect) override;
    void RecordToolStep() override;
    void ReplaceToolStep() override;
    std::uint64_t CurrentStep() const override;
    void DisableCommands() override;
    void UpdateCommands() override;
    void MakeToolCurrent(TToolCode code) override;
    void ShowPointerInfo(int x, int y) override;
    void ShowDropperReading(int x, int y, TToolColor color) override;
    void ScrollView(int dx, int dy) override;
    void SetGrabbing(bool grabbing) override;

private:
    TFrmMain& Main;
};
