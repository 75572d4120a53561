#include "tools/PencilTool.h"

#include "tools/DabShape.h"
#include "tools/ThickCurve.h"

#include <algorithm>

void TPencilTool::Begin(TToolPoint point)
{
    HideOutline();
    const int s = Size();
    PenWidth = s;
    PenColor = Env.FrontColor();
    PenPosition = point;
    LastPoint = point;
    CurvePoints.clear();
    const TRect dab = DabRect(point.X, point.Y, s);
    const TShape shape = DabShape(s);
    const TDrawTargets targets = Env.DrawableLayers();
    for (TBitmap* layer : {targets.Sketch, targets.Color})
        if (layer)
            FillShape(*layer, shape, dab.Left, dab.Top, PenColor);
    RebuildAndPaint(TRect{point.X - s, point.Y - s, point.X + s, point.Y + s});
    Outline.Forget();
}

void TPencilTool::Continue(TToolPoint point)
{
    if (CurvePoints.size() < 2) {
        CurvePoints.push_back(point);
        return;
    }
    const TToolPoint p0 = CurvePoints[0];
    const TToolPoint p1 = CurvePoints[1];
    const int s = PenWidth;
    const TRect changed{
        std::min({p0.X, p1.X, point.X, LastPoint.X}) - s, std::min({p0.Y, p1.Y, point.Y, LastPoint.Y}) - s,
        std::max({p0.X, p1.X, point.X, LastPoint.X}) + s, std::max({p0.Y, p1.Y, point.Y, LastPoint.Y}) + s};
    LastPoint = point;
    const TDrawTargets targets = Env.DrawableLayers();
    for (TBitmap* layer : {targets.Sketch, targets.Color})
        if (layer)
            StrokeCubic(*layer, PenPosition, p0, p1, point, s, PenColor);
    PenPosition = point;
    RebuildAndPaint(changed);
    CurvePoints.clear();
}

void TPencilTool::Hover(TToolPoint point)
{
    TStrokeTool::Hover(point);
    CurvePoints.clear();
}
