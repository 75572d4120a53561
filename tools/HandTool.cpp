#include "tools/HandTool.h"

void THandTool::Press(TToolPoint point, TMouseButton button, TMouseButtons)
{
    Grab = point;
    if (button == TMouseButton::Left)
        Env.SetGrabbing(true);
}

void THandTool::Move(TToolPoint point, TMouseButtons held)
{
    // The grab point is kept: after the scroll it lies under the pointer again.
    if (held.Has(TMouseButton::Left))
        Env.ScrollView(Grab.X - point.X, Grab.Y - point.Y);
    Env.ShowPointerInfo(point.X, point.Y);
}

void THandTool::Release(TToolPoint, TMouseButton button, TMouseButtons)
{
    if (button == TMouseButton::Left)
        Env.SetGrabbing(false);
}
