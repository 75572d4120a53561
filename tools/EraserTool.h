#pragma once

#include "tools/StrokeTool.h"

// Stamps the back colour, one dab per pointer event: a fast drag leaves
// separate dabs.
class TEraserTool : public TStrokeTool {
public:
    using TStrokeTool::TStrokeTool;

protected:
    int Size() const override { return Env.Settings().EraserSize; }
    void Begin(TToolPoint point) override;
    void Continue(TToolPoint point) override { Dab(point); }
    // A size change shows when the pointer next moves.
    bool ShowsOnRefresh() const override { return false; }

private:
    void Dab(TToolPoint point);
};
