#pragma once

#include "tools/PlacedObject.h"

// A box of picture pixels by its edges: columns Left .. Right - 1 and rows
// Top .. Bottom - 1.
struct TObjectBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TObjectBox&, const TObjectBox&) = default;
};

// The eight handle points of a box, in hit-code order 1 to 8.
std::vector<TToolPoint> BoxHandlePoints(const TObjectBox& box);
// The hit code of a point: a handle within 3 pixels (the first column within
// reach decides), else the body strictly inside, else nothing.
int BoxHitTest(const TObjectBox& box, TToolPoint point);
// A drag by a handle: edges keep more than 10 pixels from the opposite
// edge, the body moves with the pointer as it was held at the press.
void DragBox(TObjectBox& box, int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin);

// The editor of the rectangle box, the ellipse box and the text box.
class TBoxObjectTool : public TPlacedObjectTool {
public:
    TBoxObjectTool(TToolEnvironment& environment, TToolCode code, TObjectBox start)
        : TPlacedObjectTool(environment, code)
        , Start(start)
        , Box(start)
    {
    }

    const TObjectBox& Geometry() const { return Box; }
    TRect ImageRect() const override { return TRect{Box.Left, Box.Top, Box.Right - 1, Box.Bottom - 1}; }

protected:
    void StartGeometry() override { Box = Start; }
    TToolPoint Origin() const override { return {Box.Left, Box.Top}; }
    void FollowPointer(TToolPoint point) override;
    void DragTo(int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin) override
    {
        DragBox(Box, handle, point, pressPoint, pressOrigin);
    }
    int HitTest(TToolPoint point) const override { return BoxHitTest(Box, point); }
    std::vector<TToolPoint> HandlePoints() const override { return BoxHandlePoints(Box); }
    TRect HandleArea() const override
    {
        return TRect{Box.Left - HandleReach, Box.Top - HandleReach, Box.Right + HandleReach, Box.Bottom + HandleReach};
    }
    void KeepGeometry() override { Kept = Box; }
    void TakeKeptGeometry() override { Box = Kept; }

    TObjectBox Start;
    TObjectBox Box;
    TObjectBox Kept;
};
