#include "tools/StrokeTool.h"

void TStrokeTool::Press(TToolPoint point, TMouseButton, TMouseButtons)
{
    Stroking = true;
    Begin(point);
}

void TStrokeTool::Move(TToolPoint point, TMouseButtons held)
{
    if (!held.Has(TMouseButton::Left) || !Stroking) {
        Hover(point);
        return;
    }
    Continue(point);
    // The painting rebuilt the composite under the stroke; what is left of
    // the old outline goes the same way.
    const TRect old = Outline.OutlineRect();
    Outline.Forget();
    if (!old.Empty())
        RebuildAndPaint(old);
    ShowOutline(point);
}

void TStrokeTool::Hover(TToolPoint point)
{
    HideOutline();
    ShowOutline(point);
}

void TStrokeTool::Release(TToolPoint, TMouseButton, TMouseButtons)
{
    Stroking = false;
    Env.RecordToolStep();
}

void TStrokeTool::Refresh()
{
    // The view was rebuilt from the layers: the saved pixels are no longer
    // what lies under an outline.
    Outline.Forget();
    if (ShowsOnRefresh() && Outline.HasHover())
        ShowOutline(Outline.HoverPoint());
}

void TStrokeTool::Commit()
{
    const TRect old = Outline.OutlineRect();
    Outline.Forget();
    if (!old.Empty())
        RebuildAndPaint(old);
}

void TStrokeTool::HideOutline()
{
    const TRect old = Outline.Restore(Env.ViewBitmap());
    if (!old.Empty())
        Env.PaintRect(old);
}

void TStrokeTool::ShowOutline(TToolPoint point)
{
    Env.PaintRect(Outline.Draw(Env.ViewBitmap(), point, Size(), OutlineAlwaysEllipse()));
}

void TStrokeTool::RebuildAndPaint(const TRect& rect)
{
    Env.RebuildComposite(rect);
    Env.PaintRect(rect);
}
