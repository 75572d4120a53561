#include "MainToolEnvironment.h"

#include "Main.h"
#include "ToolOption.h"
#include "Tools.h"
#include "TrackSpin.h"

namespace {

TToolColor ToToolColor(QColor color)
{
    color = color.toRgb();
    return TToolColor{std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue())};
}

QColor ToQColor(TToolColor color) { return QColor(color.R, color.G, color.B); }

} // namespace

TDrawTargets TMainToolEnvironment::DrawableLayers()
{
    TDocument& document = Main.Document;
    return {document.LayerState.SketchDrawable ? &document.SketchLayer : nullptr,
            document.LayerState.ColorDrawable ? &document.ColorLayer : nullptr};
}

TBitmap& TMainToolEnvironment::ViewBitmap() { return Main.Document.ViewBitmap; }
TBitmap& TMainToolEnvironment::SketchWork() { return Main.Document.SketchWork; }
TBitmap& TMainToolEnvironment::ColorWork() { return Main.Document.ColorWork; }

TToolColor TMainToolEnvironment::FrontColor() const { return ToToolColor(Main.FrmTools->FrontColorValue()); }
TToolColor TMainToolEnvironment::BackColor() const { return ToToolColor(Main.FrmTools->BackColorValue()); }
void TMainToolEnvironment::SetFrontColor(TToolColor color) { Main.FrmTools->SetFrontColor(ToQColor(color)); }
void TMainToolEnvironment::SetBackColor(TToolColor color) { Main.FrmTools->SetBackColor(ToQColor(color)); }
bool TMainToolEnvironment::PaletteShown() const { return Main.FrmTools->isVisible(); }

TToolSettings TMainToolEnvironment::Settings() const
{
    const TFrmToolOption& panel = *Main.FrmToolOption;
    TToolSettings settings;
    settings.PencilSize = panel.PencilSize->Value();
    settings.BrushSize = panel.BrushSize->Value();
    settings.BrushContent = panel.BrushContent->Value();
    settings.BrushOpacity = panel.BrushOpacity->Value();
    settings.EraserSize = panel.EraserSize->Value();
    settings.Tolerance = panel.Tolerance->Value();
    settings.LightenSize = panel.LightenSize->Value();
    settings.LightenContrast = panel.LightenContrast->Value();
    settings.DarkenSize = panel.DarkenSize->Value();
    settings.DarkenContrast = panel.DarkenContrast->Value();
    return settings;
}

TRect TMainToolEnvironment::ViewRect() const { return Main.ViewRect(); }
void TMainToolEnvironment::RebuildComposite(const TRect& rect) { Main.Document.RebuildComposite(rect); }
void TMainToolEnvironment::RebuildAll() { Main.Document.RebuildAll(); }
void TMainToolEnvironment::PaintRect(const TRect& rect) { Main.PaintRect(rect); }
void TMainToolEnvironment::RecordToolStep() { Main.RecordToolStep(); }
void TMainToolEnvironment::DisableCommands() { Main.DisableCommands(); }
void TMainToolEnvironment::UpdateCommands() { Main.UpdateCommands(); }

void TMainToolEnvironment::MakeToolCurrent(TToolCode code)
{
    Main.SetCurrentTool(code);
    Main.ShowToolOptionPage();
}

void TMainToolEnvironment::ShowPointerInfo(int x, int y)
{
    if (Main.FrmToolOption->isVisible())
        Main.FrmToolOption->SetPointerInfo(x, y);
}

void TMainToolEnvironment::ShowDropperReading(int x, int y, TToolColor color)
{
    if (Main.FrmToolOption->isVisible())
        Main.FrmToolOption->SetDropperReading(x, y, ToQColor(color));
}

void TMainToolEnvironment::ScrollView(int dx, int dy) { Main.ScrollViewBy(dx, dy); }
void TMainToolEnvironment::SetGrabbing(bool grabbing) { Main.SetViewGrabbing(grabbing); }
