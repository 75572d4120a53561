#include "tools/DropperTool.h"

bool TDropperTool::ColorAt(TToolPoint point, TToolColor& color)
{
    const TBitmap& view = Env.ViewBitmap();
    if (point.X < 0 || point.Y < 0 || point.X >= view.Width() || point.Y >= view.Height())
        return false;
    const std::uint8_t* p = view.ScanLine(point.Y) + std::size_t(point.X) * 3;
    color = TToolColor{p[2], p[1], p[0]};
    return true;
}

void TDropperTool::Pick(TToolColor color, TMouseButtons held)
{
    if (held.Has(TMouseButton::Left))
        Env.SetFrontColor(color);
    if (held.Has(TMouseButton::Right))
        Env.SetBackColor(color);
}

void TDropperTool::Press(TToolPoint point, TMouseButton, TMouseButtons held)
{
    TToolColor color;
    if (ColorAt(point, color))
        Pick(color, held);
}

void TDropperTool::Move(TToolPoint point, TMouseButtons held)
{
    TToolColor color;
    if (!ColorAt(point, color))
        return;
    Env.ShowDropperReading(point.X, point.Y, color);
    if (Env.PaletteShown())
        Pick(color, held);
}
