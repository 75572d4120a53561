#include "tools/EraserTool.h"

#include "tools/DabShape.h"

void TEraserTool::Begin(TToolPoint point)
{
    HideOutline();
    Dab(point);
    Outline.Forget();
}

void TEraserTool::Dab(TToolPoint point)
{
    const int s = Size();
    const TRect dab = DabRect(point.X, point.Y, s);
    const TShape shape = DabShape(s);
    const TToolColor color = Env.BackColor();
    const TDrawTargets targets = Env.DrawableLayers();
    for (TBitmap* layer : {targets.Sketch, targets.Color})
        if (layer)
            FillShape(*layer, shape, dab.Left, dab.Top, color);
    RebuildAndPaint(dab);
}
