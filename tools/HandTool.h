#pragma once

#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

// Scrolls the view: the picture point grabbed at the press stays under the
// pointer while the left button is held, as far as the view can scroll.
// Every move shows the pointer's picture position.
class THandTool : public TTool {
public:
    explicit THandTool(TToolEnvironment& environment)
        : Env(environment)
    {
    }

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Move(TToolPoint point, TMouseButtons held) override;
    void Release(TToolPoint point, TMouseButton button, TMouseButtons held) override;

private:
    TToolEnvironment& Env;
    TToolPoint Grab;
};
