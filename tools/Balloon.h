#pragma once

#include "tools/BalloonBody.h"
#include "tools/BoxTools.h"
#include "tools/PlacedObject.h"

#include <optional>

// A speech balloon: its body box, the tip of its tail, and what the newer
// lettering adds: the bend of the tail and a second tail.
struct TBalloonShape {
    int X = 0;
    int Y = 0;
    int Width = 100;
    int Height = 50;
    int TailX = 110;
    int TailY = 60;
    // How far the tail's middle handle was moved from halfway along the
    // straight tail; (0, 0) keeps the tail straight.
    TToolPoint Bend{};
    // The second tail's tip, when there is one, and its bend.
    std::optional<TToolPoint> Tail2{};
    TToolPoint Bend2{};

    // Where the tails start.
    TToolPoint Centre() const { return {X + Width / 2, Y + Height / 2}; }
    TToolPoint Tip() const { return {TailX, TailY}; }
    friend bool operator==(const TBalloonShape&, const TBalloonShape&) = default;
};

// Half the tail's base, the rounded body's corner radius and twice the text
// inset.
inline int BalloonCorner(const TBalloonShape& s) { return std::min(s.Width, s.Height) / 4; }

// The picture rectangle holding body and tail (right and bottom edges
// excluded, as the image is that size).
TObjectBox BalloonBounds(const TBalloonShape& shape);
// The rectangle the balloon's image takes with these settings: beyond
// BalloonBounds where a tail is bent, for a second tail, for a thought's
// puffs, and by the outline that smooth and new balloons draw outside
// their shape.
TObjectBox BalloonImageBounds(TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings);

// The two base points of the tail in the coordinates the centre and tip are
// given in: `corner` pixels on either side of the centre, across the
// direction of the tail. None when the tip lies on the centre.
std::optional<std::array<TToolPoint, 2>> TailBase(TToolPoint centre, TToolPoint tip, int corner);

// Tips first, then the body's eight handles, then the tails' middle
// handles, then the body.
int BalloonHitTest(const TBalloonShape& shape, TToolPoint point);
// Edges keep the body more than 50 pixels across; the body moves without
// its tail tips; a tip moves alone; a middle handle bends its tail.
void DragBalloon(TBalloonShape& shape, int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin);

// The body for its text when lines are wrapped or fitted: the size the text
// needs with Fit to text, else as tall as the text needs at the body's
// width (never shorter). Without either option the body stays as it is.
void FitBalloon(TBalloonKind kind, TBalloonShape& shape, const TObjectSettings& settings, TObjectFont& font);

// The balloon's text as it is laid out when wrapped or fitted, in body
// coordinates.
struct TBalloonText {
    TTextFlow Flow;
    TTextRegion Region;
    TPlacedText Placed;
};
TBalloonText PlaceBalloonText(TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings,
                              TObjectFont& font);

// The balloon's image, the size of its image bounds: the speech balloons
// stair-stepped through a mask as they always were; smooth balloons,
// thoughts and shouts blended. TextCut says whether text was left out.
// `text` is PlaceBalloonText's answer for the same balloon when the caller
// has it already.
void BuildBalloon(TObjectImage& image, TBalloonKind kind, const TBalloonShape& shape, const TObjectSettings& settings,
                  TObjectColors colors, TObjectFont& font, const TBalloonText* text = nullptr);

// The balloon tools over the placed-object editor.
class TBalloonTool : public TPlacedObjectTool {
public:
    TBalloonTool(TToolEnvironment& environment, TToolCode code);

    const TBalloonShape& Shape() const { return Balloon; }
    TRect ImageRect() const override;

protected:
    void StartGeometry() override
    {
        Balloon = TBalloonShape{};
        Built.reset();
    }
    TToolPoint Origin() const override { return {Balloon.X, Balloon.Y}; }
    void FollowPointer(TToolPoint point) override;
    void DragTo(int handle, TToolPoint point, TToolPoint pressPoint, TToolPoint pressOrigin) override;
    int HitTest(TToolPoint point) const override { return BalloonHitTest(Balloon, point); }
    std::vector<TToolPoint> HandlePoints() const override;
    TRect HandleArea() const override;
    void BuildImage(TObjectImage& image) override;
    bool IgnoresMove(TToolPoint point) const override;
    int PaintMargin() const override { return Kind == TBalloonKind::Rectangle ? 4 : 8; }
    bool HandlesOverNothing() const override { return false; }
    void KeepGeometry() override { Kept = Balloon; }
    void TakeKeptGeometry() override
    {
        Balloon = Kept;
        Built.reset();
    }

private:
    // The second tail comes and goes with its option, pointing the other
    // way from the first.
    void MatchSecondTail(bool wanted);

    // The body for the text, the same as last time while nothing it depends
    // on changed: a balloon following the pointer is not fitted again.
    void FitBody(const TObjectSettings& settings);

    TBalloonKind Kind;
    TBalloonShape Balloon;
    TBalloonShape Kept;
    struct TFitted {
        TObjectSettings Settings;
        TBodySize Before;
        TBodySize After;
    };
    std::optional<TFitted> LastFit;
    struct TPlaced {
        TObjectSettings Settings;
        TBodySize Body;
        TBalloonText Text;
    };
    std::optional<TPlaced> LastText;
    // Where the last image went; the bounds of a fresh balloon before that.
    std::optional<TObjectBox> Built;
};
