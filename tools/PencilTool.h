#pragma once

#include "tools/StrokeTool.h"

#include <vector>

// Hard strokes in the front colour: a dab at the press, then one cubic
// Bezier segment for every three pointer events of the drag, each starting
// where the last one ended. Points left over when the button comes up are
// not drawn.
class TPencilTool : public TStrokeTool {
public:
    using TStrokeTool::TStrokeTool;

protected:
    int Size() const override { return Env.Settings().PencilSize; }
    void Begin(TToolPoint point) override;
    void Continue(TToolPoint point) override;
    void Hover(TToolPoint point) override;

private:
    TToolPoint LastPoint;
    // Where the next segment starts, and the pen armed at the press.
    TToolPoint PenPosition;
    int PenWidth = 1;
    TToolColor PenColor;
    std::vector<TToolPoint> CurvePoints;
};
