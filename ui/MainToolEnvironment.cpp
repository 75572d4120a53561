#include "ui/MainToolEnvironment.h"

#include "tools/PictureImage.h"
#include "ui/FrmMain.h"
#include "ui/FrmToolOption.h"
#include "ui/FrmTools.h"

namespace {

TToolColor ToToolColor(QColor color)
{
    color = color.toRgb();
    return TToolColor{std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue())};
}

} // namespace

TDrawTargets TMainToolEnvironment::DrawableLayers()
{
    TDocument& document = Main.CurrentDocument;
    return {document.LayerState.SketchDrawable ? &document.SketchLayer : nullptr,
            document.LayerState.ColorDrawable ? &document.ColorLayer : nullptr};
}

TBitmap& TMainToolEnvironment::ViewBitmap() { return Main.CurrentDocument.ViewBitmap; }
TBitmap& TMainToolEnvironment::SketchWork() { return Main.CurrentDocument.SketchWork; }
TBitmap& TMainToolEnvironment::ColorWork() { return Main.CurrentDocument.ColorWork; }
TBitmap& TMainToolEnvironment::SketchLayer() { return Main.CurrentDocument.SketchLayer; }
TBitmap& TMainToolEnvironment::ColorLayer() { return Main.CurrentDocument.ColorLayer; }

TToolColor TMainToolEnvironment::FrontColor() const { return ToToolColor(Main.FrmTools->FrontColorValue()); }
TToolColor TMainToolEnvironment::BackColor() const { return ToToolColor(Main.FrmTools->BackColorValue()); }
void TMainToolEnvironment::SetFrontColor(TToolColor color) { Main.FrmTools->SetFrontColor(ToQColor(color)); }
void TMainToolEnvironment::SetBackColor(TToolColor color) { Main.FrmTools->SetBackColor(ToQColor(color)); }
bool TMainToolEnvironment::PaletteShown() const { return Main.FrmTools->isVisible(); }

TToolSettings TMainToolEnvironment::Settings() const { return Main.FrmToolOption->Settings(); }

TObjectSettings TMainToolEnvironment::ObjectSettings(TToolCode code) const
{
    return Main.FrmToolOption->ObjectSettings(code);
}

void TMainToolEnvironment::SetObjectSettings(TToolCode code, const TObjectSettings& settings)
{
    Main.FrmToolOption->SetObjectSettings(code, settings);
}

void TMainToolEnvironment::ShowTextCut(bool cut) { Main.FrmToolOption->SetTextCut(cut); }

void TMainToolEnvironment::SetObjectCursor(TObjectCursor cursor)
{
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
    case TObjectCursor::Arrow: break;
    case TObjectCursor::SizeNWSE: shape = Qt::SizeFDiagCursor; break;
    case TObjectCursor::SizeWE: shape = Qt::SizeHorCursor; break;
    case TObjectCursor::SizeNESW: shape = Qt::SizeBDiagCursor; break;
    case TObjectCursor::SizeNS: shape = Qt::SizeVerCursor; break;
    case TObjectCursor::Move: shape = Qt::SizeAllCursor; break;
    }
    Main.SetViewShape(shape);
}

TRect TMainToolEnvironment::ViewRect() const { return Main.ViewRect(); }
void TMainToolEnvironment::RebuildComposite(const TRect& rect) { Main.CurrentDocument.RebuildComposite(rect); }
void TMainToolEnvironment::RebuildAll() { Main.CurrentDocument.RebuildAll(); }
void TMainToolEnvironment::PaintRect(const TRect& rect) { Main.PaintRect(rect); }
void TMainToolEnvironment::RecordToolStep() { Main.RecordToolStep(); }
void TMainToolEnvironment::ReplaceToolStep() { Main.ReplaceToolStep(); }
std::uint64_t TMainToolEnvironment::CurrentStep() const { return Main.UndoHistory.CurrentSerial(); }
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
