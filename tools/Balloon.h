#pragma once

#include "tools/BoxTools.h"
#include "tools/PlacedObject.h"

#include <optional>

// A speech balloon: its body box and the tip of its tail.
struct TBalloonShape {
    int X = 0;
    int Y = 0;
    int Width = 100;
    int Height = 50;
    int TailX = 110;
    int TailY = 60;

    friend bool operator==(const TBalloonShape&, const TBalloonShape&) = default;
};

enum class TBalloonKind { Rectangle, Rounded, Ellipse };

// Half the tail's base, the rounded body's corner radius and twice the text
// inset.
inline int BalloonCorner(const TBalloonShape& s) { return std::min(s.Width, s.Height) / 4; }

// The picture rectangle holding body and tail (right and bottom edges
// excluded, as the image is that size).
TObjectBox BalloonBounds(const TBalloonShape& shape);

// The two base points of the tail in the coordinates the centre and tip are
// given in: `corner` pixels on either side of the centre, across the
// direction of the tail. None when the tip lies on the centre.
std::optional<std::array<TToolPoint, 2>> TailBase(TToolPoint centre, TToolPoint tip, int corner);

int BalloonHitTest(const TBalloonShape& shape, TToolPoint point);
// Edges keep the body more than 50 pixels across; the body moves without
// its tail tip; the tail moves its tip.
void DragBalloon(TBalloonShape& shape, int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin);

// The balloon's image, the size of its bounds: mask and paint image.
void BuildBalloon(TObjectImage& image, TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings,
                  TObjectColors colors, TObjectFont& font);

// The three balloon tools over the placed-object editor.
class TBalloonTool : public TPlacedObjectTool {
public:
    TBalloonTool(TToolEnvironment& environment, TToolCode code);

    const TBalloonShape& Shape() const { return Balloon; }
    TRect ImageRect() const override;

protected:
    void StartGeometry() override { Balloon = TBalloonShape{}; }
    TToolPoint Origin() const override { return {Balloon.X, Balloon.Y}; }
    void FollowPointer(TToolPoint point) override;
    void DragTo(int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin) override
    {
        DragBalloon(Balloon, handle, point, pressPoint, pressOrigin);
    }
    int HitTest(TToolPoint point) const override { return BalloonHitTest(Balloon, point); }
    std::vector<TToolPoint> HandlePoints() const override;
    TRect HandleArea() const override;
    void BuildImage(TObjectImage& image) override;
    bool IgnoresMove(TToolPoint point) const override;
    int PaintMargin() const override { return Kind == TBalloonKind::Rectangle ? 4 : 8; }
    bool HandlesOverNothing() const override { return false; }

private:
    TBalloonKind Kind;
    TBalloonShape Balloon;
};
