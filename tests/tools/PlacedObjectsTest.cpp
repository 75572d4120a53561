// The placed-object editor on plain pictures: floating, anchoring, handles,
// resizing, moving, commit and cancel, for boxes, text and balloons.
#include "tests/picture/PicturePrinter.h"
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/Balloon.h"
#include "tools/BoxTools.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TMouseButtons NoButton{};
constexpr TToolColor Red{255, 0, 0};
constexpr TToolColor Blue{0, 0, 255};

// The smallest rectangle holding every pixel that differs between two
// pictures of one size (empty when none does).
TRect ChangedArea(const TBitmap& now, const TBitmap& before)
{
    TRect area{now.Width(), now.Height(), -1, -1};
    for (int y = 0; y < now.Height(); ++y)
        for (int x = 0; x < now.Width(); ++x)
            if (!(PixelAt(now, x, y) == PixelAt(before, x, y))) {
                area.Left = std::min(area.Left, x);
                area.Top = std::min(area.Top, y);
                area.Right = std::max(area.Right, x);
                area.Bottom = std::max(area.Bottom, y);
            }
    return area.Empty() ? TRect{} : area;
}

bool Inside(const TRect& inner, const TRect& outer)
{
    return inner.Empty() || (inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
                             inner.Bottom <= outer.Bottom);
}

int CountColor(const TBitmap& picture, TToolColor color, const TRect& within)
{
    int count = 0;
    for (int y = std::max(within.Top, 0); y <= std::min(within.Bottom, picture.Height() - 1); ++y)
        for (int x = std::max(within.Left, 0); x <= std::min(within.Right, picture.Width() - 1); ++x)
            count += PixelAt(picture, x, y) == color;
    return count;
}

std::unique_ptr<TPlacedObjectTool> MakeTool(TTestEnvironment& env, TToolCode code)
{
    if (code == TToolCode::Rectangle || code == TToolCode::Ellipse || code == TToolCode::Text)
        return std::make_unique<TBoxTool>(env, code);
    return std::make_unique<TBalloonTool>(env, code);
}

class PlacedObjects : public testing::Test {
protected:
    // A grey picture, so that the white handle fill and the colours show.
    TTestEnvironment Env{240, 180, 128, 128};

    void SetUp() override
    {
        Env.Front = Red;
        Env.Back = Blue;
        Env.Object.FontName = "DejaVu Sans";
    }

    void Anchor(TPlacedObjectTool& tool, TToolPoint at)
    {
        tool.Select();
        tool.Move(at, NoButton);
        tool.Press(at, TMouseButton::Left, TMouseButton::Left);
        tool.Release(at, TMouseButton::Left, NoButton);
    }

    // Hover to pick a handle, press there, drag to each point, release.
    void Drag(TPlacedObjectTool& tool, TToolPoint from, std::initializer_list<TToolPoint> to)
    {
        tool.Move(from, NoButton);
        tool.Press(from, TMouseButton::Left, TMouseButton::Left);
        for (TToolPoint point : to)
            tool.Move(point, TMouseButton::Left);
        tool.Release(*std::prev(to.end()), TMouseButton::Left, NoButton);
    }
};

} // namespace

TEST_F(PlacedObjects, AFloatingObjectFollowsThePointerAndIsDroppedIfNeverPressed)
{
    struct TCase {
        TToolCode Code;
        // The image's rectangle when the pointer is at (x, y).
        int Left, Top, Width, Height;
        bool FillsItsRectangle;
    };
    const TCase cases[] = {
        {TToolCode::Rectangle, 0, 0, 20, 20, true},
        {TToolCode::Ellipse, 0, 0, 20, 20, false},
        {TToolCode::Text, 0, 0, 100, 50, true},
        {TToolCode::BalloonRect, 0, -15, 100, 65, false},
        {TToolCode::BalloonRounded, 0, -15, 100, 65, false},
        {TToolCode::BalloonEllipse, 0, -15, 100, 65, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Code));
        TTestEnvironment env(240, 180, 128, 128);
        env.Front = Red;
        env.Back = Blue;
        const TBitmap original = env.Document.SketchLayer;
        auto tool = MakeTool(env, c.Code);
        tool->Select();
        EXPECT_TRUE(env.CommandsOff);
        // The last position puts part of the object left of and above the
        // picture, where nothing may be written.
        for (TToolPoint at : {TToolPoint{30, 40}, TToolPoint{90, 100}, TToolPoint{-9, 8}}) {
            const TRect expected{at.X + c.Left, at.Y + c.Top, at.X + c.Left + c.Width - 1, at.Y + c.Top + c.Height - 1};
            tool->Move(at, NoButton);
            EXPECT_EQ(tool->ImageRect(), expected);
            const TRect changed = ChangedArea(env.Document.SketchLayer, original);
            // The text box shows its handles while it floats; they reach 3
            // pixels beyond it.
            const TRect allowed = c.Code == TToolCode::Text ? Grow(expected, 3) : expected;
            EXPECT_TRUE(Inside(changed, allowed));
            EXPECT_FALSE(changed.Empty());
            if (c.FillsItsRectangle && c.Code != TToolCode::Text) {
                EXPECT_EQ(changed, ClampRect(expected, 240, 180));
            }
            // The body's centre is the back colour.
            EXPECT_EQ(PixelAt(env.Document.SketchLayer, at.X + c.Width / 2, at.Y + (c.Height + c.Top) / 2), Blue);
            EXPECT_SAME_PICTURE(env.Document.ColorLayer, env.Document.SketchLayer);
        }
        tool->Commit();
        EXPECT_SAME_PICTURE(env.Document.SketchLayer, original);
        EXPECT_SAME_PICTURE(env.Document.ColorLayer, original);
        EXPECT_EQ(env.Steps, 1);
        EXPECT_FALSE(env.CommandsOff);
        EXPECT_FALSE(tool->Pending());
    }
}

TEST_F(PlacedObjects, EdgesKeepMoreThanTheMinimumFromTheOppositeEdge)
{
    // Boxes anchored at (20, 20) - (40, 40); balloons with the body at
    // (20, 50) - (120, 100).
    struct TCase {
        TToolCode Code;
        TToolPoint Handle;
        int Hit;
        TToolPoint Refused;
        TToolPoint Accepted;
        TRect Body; // Left, Top, Right, Bottom edges after the accepted drag
    };
    const TCase cases[] = {
        {TToolCode::Rectangle, {40, 30}, HitRight, {30, 30}, {31, 30}, {20, 20, 31, 40}},
        {TToolCode::Rectangle, {20, 30}, HitLeft, {30, 30}, {29, 30}, {29, 20, 40, 40}},
        {TToolCode::Rectangle, {30, 20}, HitTop, {30, 30}, {30, 29}, {20, 29, 40, 40}},
        {TToolCode::Ellipse, {30, 40}, HitBottom, {30, 30}, {30, 31}, {20, 20, 40, 31}},
        {TToolCode::Text, {40, 40}, HitBottomRight, {30, 30}, {31, 31}, {20, 20, 31, 31}},
        {TToolCode::BalloonRect, {120, 75}, HitRight, {70, 75}, {71, 75}, {20, 50, 71, 100}},
        {TToolCode::BalloonRounded, {20, 100}, HitBottomLeft, {70, 50}, {69, 49}, {69, 50, 120, 100}},
        {TToolCode::BalloonEllipse, {70, 50}, HitTop, {70, 100}, {70, 49}, {20, 49, 120, 100}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Hit);
        auto tool = MakeTool(Env, c.Code);
        const bool balloon = dynamic_cast<TBalloonTool*>(tool.get()) != nullptr;
        Anchor(*tool, balloon ? TToolPoint{20, 50} : TToolPoint{20, 20});
        if (!balloon) {
            // The text box starts 100 x 50; make every box 20 x 20 first.
            auto& box = const_cast<TObjectBox&>(static_cast<TBoxObjectTool&>(*tool).Geometry());
            box = TObjectBox{20, 20, 40, 40};
        }
        tool->Move(c.Handle, NoButton);
        ASSERT_EQ(tool->ActiveHandle(), c.Hit);
        EXPECT_EQ(Env.Cursor, CursorForHit(c.Hit));
        tool->Press(c.Handle, TMouseButton::Left, TMouseButton::Left);
        const TRect before = tool->ImageRect();
        tool->Move(c.Refused, TMouseButton::Left);
        EXPECT_EQ(tool->ImageRect(), before);
        tool->Move(c.Accepted, TMouseButton::Left);
        if (balloon) {
            const TBalloonShape& s = static_cast<TBalloonTool&>(*tool).Shape();
            EXPECT_EQ((TRect{s.X, s.Y, s.X + s.Width, s.Y + s.Height}), c.Body);
        } else {
            const TObjectBox& b = static_cast<TBoxObjectTool&>(*tool).Geometry();
            EXPECT_EQ((TRect{b.Left, b.Top, b.Right, b.Bottom}), c.Body);
        }
        tool->Cancel();
    }
}

TEST_F(PlacedObjects, ADragThatStartsAwayFromTheObjectOnlyRendersItAgain)
{
    TBoxTool tool(Env, TToolCode::Rectangle);
    const TBitmap original = Env.Document.SketchLayer;
    Anchor(tool, {20, 20});
    const TBitmap rendered = Env.Document.SketchLayer;
    Drag(tool, {150, 150}, {{170, 160}, {10, 10}});
    EXPECT_EQ(tool.ActiveHandle(), HitNothing);
    EXPECT_EQ(tool.Geometry(), (TObjectBox{20, 20, 40, 40}));
    // The handles that hovering away drew are gone with the rendering.
    EXPECT_SAME_PICTURE(Env.Document.SketchLayer, rendered);
    EXPECT_EQ(ChangedArea(rendered, original), (TRect{20, 20, 39, 39}));
}

TEST_F(PlacedObjects, HandlesShowOnHoverAndNeverReachTheCommittedLayers)
{
    const TToolColor white{255, 255, 255};
    const TToolColor black{0, 0, 0};
    TBoxTool tool(Env, TToolCode::Rectangle);
    Anchor(tool, {40, 40});
    const TBitmap rendered = Env.Document.SketchLayer;
    EXPECT_EQ(CountColor(rendered, white, WholeRect(240, 180)), 0);

    tool.Move({50, 50}, NoButton); // inside: the body
    EXPECT_EQ(tool.ActiveHandle(), HitBody);
    EXPECT_EQ(Env.Cursor, TObjectCursor::Move);
    // Eight 6 x 6 squares, black border around a 4 x 4 white fill.
    EXPECT_EQ(CountColor(Env.Document.SketchLayer, white, WholeRect(240, 180)), 8 * 16);
    for (TToolPoint h : BoxHandlePoints(tool.Geometry())) {
        EXPECT_EQ(PixelAt(Env.Document.SketchLayer, h.X - 3, h.Y - 3), black);
        EXPECT_EQ(PixelAt(Env.Document.SketchLayer, h.X + 2, h.Y + 2), black);
        EXPECT_EQ(PixelAt(Env.Document.SketchLayer, h.X, h.Y), white);
    }
    // And the view shows them.
    TDocument fresh = Env.Document;
    fresh.RebuildAll();
    EXPECT_SAME_PICTURE(Env.Document.ViewBitmap, fresh.ViewBitmap);

    tool.Commit();
    EXPECT_SAME_PICTURE(Env.Document.SketchLayer, rendered);
    EXPECT_EQ(Env.Steps, 1);
    EXPECT_FALSE(Env.CommandsOff);
}

TEST_F(PlacedObjects, BalloonsDrawHandlesOnlyOverThemselvesAndMoveBodyAndTailApart)
{
    TBalloonTool tool(Env, TToolCode::BalloonRect);
    tool.Select();
    tool.Move({60, 40}, NoButton);
    EXPECT_EQ(tool.Shape(), (TBalloonShape{60, 40, 100, 50, 60, 25}));
    tool.Press({60, 40}, TMouseButton::Left, TMouseButton::Left);
    const TBitmap rendered = Env.Document.SketchLayer;

    tool.Move({200, 150}, NoButton);
    EXPECT_EQ(tool.ActiveHandle(), HitNothing);
    EXPECT_SAME_PICTURE(Env.Document.SketchLayer, rendered);

    Drag(tool, {100, 60}, {{120, 80}});
    EXPECT_EQ(tool.Shape(), (TBalloonShape{80, 60, 100, 50, 60, 25}));

    Drag(tool, {60, 25}, {{30, 170}});
    EXPECT_EQ(tool.Shape(), (TBalloonShape{80, 60, 100, 50, 30, 170}));
    // Moves beyond the picture are not taken at all.
    tool.Move({30, 180}, TMouseButton::Left);
    tool.Move({240, 100}, TMouseButton::Left);
    EXPECT_EQ(tool.Shape(), (TBalloonShape{80, 60, 100, 50, 30, 170}));
    // The tail reaches down to its tip now.
    EXPECT_EQ(tool.ImageRect(), (TRect{30, 60, 179, 169}));
}

TEST_F(PlacedObjects, CancelPutsTheSnapshotBackOnBothLayersAndRecordsNothing)
{
    struct TCase {
        bool Sketch;
        bool Color;
    };
    for (const TCase c : {TCase{true, true}, TCase{true, false}, TCase{false, false}}) {
        TTestEnvironment env(120, 90, 128, 64);
        env.Document.LayerState.SketchDrawable = c.Sketch;
        env.Document.LayerState.ColorDrawable = c.Color;
        const TBitmap sketch = env.Document.SketchLayer;
        const TBitmap color = env.Document.ColorLayer;
        TBoxTool tool(env, TToolCode::Ellipse);
        tool.Select();
        tool.Move({10, 10}, NoButton);
        tool.Press({10, 10}, TMouseButton::Left, TMouseButton::Left);
        EXPECT_EQ(env.Document.SketchLayer == sketch, !c.Sketch);
        EXPECT_EQ(env.Document.ColorLayer == color, !c.Color);
        tool.Cancel();
        EXPECT_SAME_PICTURE(env.Document.SketchLayer, sketch);
        EXPECT_SAME_PICTURE(env.Document.ColorLayer, color);
        EXPECT_EQ(env.Steps, 0);
        EXPECT_FALSE(env.CommandsOff);
        // A cancelled object no longer answers the pointer.
        tool.Move({50, 50}, NoButton);
        tool.Refresh();
        EXPECT_SAME_PICTURE(env.Document.SketchLayer, sketch);
    }
}

TEST_F(PlacedObjects, EachRenderingStartsFromTheSnapshot)
{
    // The outer half of a thick tail outline lies outside the balloon's mask
    // and is OR-ed into the layer; drawn over an earlier rendering, the red
    // of the first would survive in every later one.
    const auto redPixels = [this] {
        int count = 0;
        const TBitmap& layer = Env.Document.SketchLayer;
        for (int y = 0; y < layer.Height(); ++y)
            for (int x = 0; x < layer.Width(); ++x)
                count += PixelAt(layer, x, y).R == 255;
        return count;
    };
    TBalloonTool tool(Env, TToolCode::BalloonEllipse);
    Env.Object.BorderWidth = 10;
    Anchor(tool, {60, 60});
    EXPECT_GT(redPixels(), 0);
    Env.Front = TToolColor{0, 255, 0};
    tool.Refresh();
    EXPECT_EQ(redPixels(), 0);
    tool.Commit();
    EXPECT_EQ(Env.Steps, 1);
    EXPECT_EQ(redPixels(), 0);
    // Left of the body and below the tail the picture is as it was.
    EXPECT_EQ(PixelAt(Env.Document.SketchLayer, 50, 100), (TToolColor{128, 128, 128}));
}

TEST_F(PlacedObjects, TheLastObjectCanBeEditedAgainUntilAnotherStepFollows)
{
    struct TCase {
        TToolCode Code;
        bool Smooth;
    };
    const TCase cases[] = {
        {TToolCode::BalloonThought, true},
        {TToolCode::BalloonRect, false},
        {TToolCode::Ellipse, true},
        {TToolCode::Text, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Code));
        TTestEnvironment env(240, 180, 128, 64);
        env.Front = Red;
        env.Back = Blue;
        env.Object.FontName = "DejaVu Sans";
        env.Object.SmoothEdges = c.Smooth;
        env.Object.WrapWords = true;
        env.Object.Lines = {"First words"};
        const TDocument before = env.Document;
        auto tool = MakeTool(env, c.Code);
        // Boxes are made 110 x 70 by their bottom-right corner.
        const auto place = [&](TPlacedObjectTool& object) {
            Anchor(object, {60, 60});
            if (auto* box = dynamic_cast<TBoxObjectTool*>(&object)) {
                const TToolPoint corner{box->Geometry().Right, box->Geometry().Bottom};
                Drag(object, corner, {{170, 130}});
            }
        };
        place(*tool);
        tool->Commit();
        ASSERT_EQ(env.Steps, 1);
        const TDocument committed = env.Document;
        EXPECT_TRUE(tool->CanReopen());

        // Opened again it shows as committed, with its own settings and
        // colours back on the page and the palette.
        const TObjectSettings first = env.Object;
        env.Object.Lines = {"something else"};
        env.Object.FontSize = 30;
        env.Front = TToolColor{0, 255, 0};
        ASSERT_TRUE(tool->Reopen());
        EXPECT_TRUE(tool->Pending());
        EXPECT_TRUE(tool->Anchored());
        EXPECT_TRUE(env.CommandsOff);
        EXPECT_EQ(env.Object, first);
        EXPECT_EQ(env.Front, Red);
        EXPECT_TRUE(env.Document.SketchLayer == committed.SketchLayer);
        EXPECT_TRUE(env.Document.ColorLayer == committed.ColorLayer);

        // A cancel leaves it as it was, and it can be opened once more.
        env.Object.Lines = {"Changed my mind"};
        tool->Refresh();
        EXPECT_FALSE(env.Document.SketchLayer == committed.SketchLayer);
        tool->Cancel();
        EXPECT_TRUE(env.Document.SketchLayer == committed.SketchLayer);
        EXPECT_EQ(env.Object, first);
        EXPECT_FALSE(env.CommandsOff);
        EXPECT_EQ(env.Steps + env.Replaced, 1);

        // Changed and committed, it replaces its own step: the layers are
        // what the changed object drawn on the picture before it gives.
        ASSERT_TRUE(tool->Reopen());
        env.Object.Lines = {"Second", "thoughts"};
        env.Object.Bold = true;
        env.Front = TToolColor{0, 100, 0};
        tool->Refresh();
        tool->Commit();
        EXPECT_EQ(env.Steps, 1);
        EXPECT_EQ(env.Replaced, 1);
        const TDocument edited = env.Document;
        EXPECT_FALSE(edited.SketchLayer == committed.SketchLayer);
        TTestEnvironment fresh(240, 180, 128, 64);
        fresh.Front = env.Front;
        fresh.Back = env.Back;
        fresh.Object = env.Object;
        auto again = MakeTool(fresh, c.Code);
        place(*again);
        again->Commit();
        EXPECT_TRUE(fresh.Document.SketchLayer == edited.SketchLayer);
        EXPECT_TRUE(fresh.Document.ColorLayer == edited.ColorLayer);

        // Another step follows: no more.
        EXPECT_TRUE(tool->CanReopen());
        env.Step = 1000;
        EXPECT_FALSE(tool->CanReopen());
        EXPECT_FALSE(tool->Reopen());
        EXPECT_FALSE(tool->Pending());
        EXPECT_TRUE(env.Document.SketchLayer == edited.SketchLayer);
        EXPECT_FALSE(before.SketchLayer == edited.SketchLayer);
    }
}

TEST_F(PlacedObjects, AnObjectDroppedBeforeItLandedCannotBeEditedAgain)
{
    TBalloonTool tool(Env, TToolCode::BalloonRect);
    Anchor(tool, {40, 40});
    tool.Commit();
    EXPECT_TRUE(tool.CanReopen());
    tool.Select();
    tool.Move({80, 80}, NoButton);
    tool.Commit();
    EXPECT_EQ(Env.Steps, 2);
    EXPECT_FALSE(tool.CanReopen());
    EXPECT_FALSE(tool.Reopen());
}

TEST_F(PlacedObjects, SizingAFittedBalloonByHandTurnsFitOffAndTheBodyKeepsItsWidth)
{
    Env.Object.FitToText = true;
    Env.Object.WrapWords = true;
    Env.Object.Lines = {"Liftoff in ten seconds, so hold on tight!"};
    TBalloonTool tool(Env, TToolCode::BalloonRounded);
    Anchor(tool, {20, 40});
    const TBalloonShape fitted = tool.Shape();
    EXPECT_NE(fitted.Width, 100);
    // The text grows the body as it is typed.
    Env.Object.Lines.push_back("And more.");
    tool.Refresh();
    EXPECT_GT(tool.Shape().Width * tool.Shape().Height, fitted.Width * fitted.Height);
    // A drag on the body moves it and keeps fitting.
    Drag(tool, {30, 60}, {{40, 70}});
    EXPECT_TRUE(Env.Object.FitToText);
    EXPECT_EQ(tool.Shape().X, 30);
    // The right edge dragged in: Fit goes off, the width stays as dragged
    // and the body grows down to hold the rewrapped text.
    const TBalloonShape moved = tool.Shape();
    const TToolPoint edge{moved.X + moved.Width, moved.Y + moved.Height / 2};
    ASSERT_LT(edge.X, 240);
    Drag(tool, edge, {{moved.X + 90, edge.Y}});
    EXPECT_FALSE(Env.Object.FitToText);
    EXPECT_EQ(tool.Shape().Width, 90);
    EXPECT_GT(tool.Shape().Height, moved.Height);
    EXPECT_FALSE(Env.TextCut);
}

TEST_F(PlacedObjects, TheSecondTailComesWithItsOptionPointingTheOtherWay)
{
    TBalloonTool tool(Env, TToolCode::BalloonShout);
    tool.Select();
    tool.Move({60, 60}, NoButton);
    EXPECT_FALSE(tool.Shape().Tail2.has_value());
    Env.Object.SecondTail = true;
    tool.Refresh();
    // The body's middle is at x = 110: the first tip at 60, the second at 160.
    EXPECT_EQ(tool.Shape().Tail2, (TToolPoint{160, 45}));
    tool.Move({70, 80}, NoButton);
    EXPECT_EQ(tool.Shape().Tail2, (TToolPoint{170, 65}));
    tool.Press({70, 80}, TMouseButton::Left, TMouseButton::Left);
    Drag(tool, {170, 65}, {{200, 150}});
    EXPECT_EQ(tool.Shape().Tail2, (TToolPoint{200, 150}));
    EXPECT_EQ(tool.Shape().Tip(), (TToolPoint{70, 65}));
    EXPECT_EQ(Env.Cursor, TObjectCursor::Move);
    Env.Object.SecondTail = false;
    tool.Refresh();
    EXPECT_FALSE(tool.Shape().Tail2.has_value());
    tool.Commit();
    EXPECT_EQ(Env.Steps, 1);
}
