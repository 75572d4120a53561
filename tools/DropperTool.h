#pragma once

#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

// Reads colours off the composite: a press picks the front colour with the
// left button and the back colour with the right; a drag keeps picking, and
// every move shows the position and colour under the pointer. Positions
// beyond the picture are ignored.
class TDropperTool : public TTool {
public:
    explicit TDropperTool(TToolEnvironment& environment)
        : Env(environment)
    {
    }

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Move(TToolPoint point, TMouseButtons held) override;
    void Release(TToolPoint, TMouseButton, TMouseButtons) override {}

private:
    bool ColorAt(TToolPoint point, TToolColor& color);
    void Pick(TToolColor color, TMouseButtons held);

    TToolEnvironment& Env;
};
