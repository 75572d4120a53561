#include "tools/BoxObject.h"

#include <cstdlib>

namespace {

constexpr int MinimumSide = 10;

bool Near(int a, int b) { return std::abs(a - b) <= HandleReach; }

} // namespace

std::vector<TToolPoint> BoxHandlePoints(const TObjectBox& b)
{
    const int midX = b.Left + b.Width() / 2;
    const int midY = b.Top + b.Height() / 2;
    return {{b.Left, b.Top},  {b.Left, midY},   {b.Left, b.Bottom}, {midX, b.Top},
            {midX, b.Bottom}, {b.Right, b.Top}, {b.Right, midY},    {b.Right, b.Bottom}};
}

int BoxHitTest(const TObjectBox& b, TToolPoint p)
{
    const int midX = b.Left + b.Width() / 2;
    const int midY = b.Top + b.Height() / 2;
    // Only the first column within reach is tried, so that on a narrow box
    // the left handles win over the middle and right ones.
    if (Near(p.X, b.Left)) {
        if (Near(p.Y, b.Top))
            return HitTopLeft;
        if (Near(p.Y, midY))
            return HitLeft;
        if (Near(p.Y, b.Bottom))
            return HitBottomLeft;
    } else if (Near(p.X, midX)) {
        if (Near(p.Y, b.Top))
            return HitTop;
        if (Near(p.Y, b.Bottom))
            return HitBottom;
    } else if (Near(p.X, b.Right)) {
        if (Near(p.Y, b.Top))
            return HitTopRight;
        if (Near(p.Y, midY))
            return HitRight;
        if (Near(p.Y, b.Bottom))
            return HitBottomRight;
    }
    if (b.Left < p.X && p.X < b.Right && b.Top < p.Y && p.Y < b.Bottom)
        return HitBody;
    return HitNothing;
}

void DragBox(TObjectBox& b, int handle, TToolPoint p, TToolPoint pressPoint, TToolPoint pressOrigin)
{
    if (handle == HitBody) {
        const int left = p.X + (pressOrigin.X - pressPoint.X);
        const int top = p.Y + (pressOrigin.Y - pressPoint.Y);
        b.Right += left - b.Left;
        b.Bottom += top - b.Top;
        b.Left = left;
        b.Top = top;
        return;
    }
    const bool left = handle == HitTopLeft || handle == HitLeft || handle == HitBottomLeft;
    const bool top = handle == HitTopLeft || handle == HitTop || handle == HitTopRight;
    const bool bottom = handle == HitBottomLeft || handle == HitBottom || handle == HitBottomRight;
    const bool right = handle == HitTopRight || handle == HitRight || handle == HitBottomRight;
    if (left && b.Right - p.X > MinimumSide)
        b.Left = p.X;
    if (top && b.Bottom - p.Y > MinimumSide)
        b.Top = p.Y;
    if (bottom && p.Y - b.Top > MinimumSide)
        b.Bottom = p.Y;
    if (right && p.X - b.Left > MinimumSide)
        b.Right = p.X;
}

void TBoxObjectTool::FollowPointer(TToolPoint point)
{
    Box.Right += point.X - Box.Left;
    Box.Bottom += point.Y - Box.Top;
    Box.Left = point.X;
    Box.Top = point.Y;
}
