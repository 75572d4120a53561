#include "tests/picture/PicturePrinter.h"
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/BrushTool.h"
#include "tools/CursorOutline.h"
#include "tools/DabShape.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"
#include "tools/ThickCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using TRows = std::vector<std::string>;

constexpr TMouseButtons Left{TMouseButton::Left};
constexpr TMouseButtons None{};

// Nine by nine, centred on (4, 4).
TRows Blank9() { return TRows(9, "........."); }

TRows With(TRows rows, std::initializer_list<std::pair<int, const char*>> changes)
{
    for (const auto& [row, text] : changes)
        rows[std::size_t(row)] = text;
    return rows;
}

struct TShapeCase {
    int Size;
    TRows Expected;
};

const TRows Box2 = With(Blank9(), {{3, "...##...."}, {4, "...##...."}});
const TRows Disc4 = With(Blank9(), {{2, "...##...."}, {3, "..####..."}, {4, "..####..."}, {5, "...##...."}});

} // namespace

TEST(CursorOutline, ShapesBySizeAndTheSavedPixelsComeBack)
{
    const std::vector<TShapeCase> cases = {
        {1, With(Blank9(), {{4, "....#...."}})},
        {2, Box2},
        {3, With(Blank9(), {{3, "...###..."}, {4, "...#.#..."}, {5, "...###..."}})},
        {4, With(Blank9(), {{2, "...##...."}, {3, "..#..#..."}, {4, "..#..#..."}, {5, "...##...."}})},
        {5, With(Blank9(), {{2, "...##...."}, {3, "..#..#..."}, {4, "..#..#..."}, {5, "...##...."}})},
    };
    for (const TShapeCase& c : cases) {
        SCOPED_TRACE(c.Size);
        TBitmap view(9, 9);
        view.Fill(100, 100, 100);
        const TBitmap before = view;
        TCursorOutline outline;
        const TRect rect = outline.Draw(view, {4, 4}, c.Size);
        EXPECT_EQ(Pattern(view, 100), c.Expected);
        EXPECT_EQ(rect, DabRect(4, 4, c.Size));
        // The one pixel of size 1 is black; the others are inverted.
        const TToolColor marked = c.Size == 1 ? PixelAt(view, 4, 4) : PixelAt(view, rect.Left + 1, rect.Top);
        EXPECT_EQ(marked, c.Size == 1 ? (TToolColor{0, 0, 0}) : (TToolColor{155, 155, 155}));
        EXPECT_EQ(outline.Restore(view), rect);
        EXPECT_SAME_PICTURE(view, before);
        EXPECT_TRUE(outline.OutlineRect().Empty());
    }
}

TEST(CursorOutline, AtThePictureCornerOnlyTheInsideIsTouched)
{
    TBitmap view(4, 4);
    view.Fill(100, 100, 100);
    const TBitmap before = view;
    TCursorOutline outline;
    outline.Draw(view, {0, 0}, 9);
    EXPECT_NE(view, before);
    outline.Restore(view);
    EXPECT_SAME_PICTURE(view, before);
}

TEST(PencilTool, PressDabsBySize)
{
    const std::vector<TShapeCase> cases = {
        {1, With(Blank9(), {{4, "....#...."}})},
        {2, Box2},
        {3, With(Blank9(), {{3, "...###..."}, {4, "...###..."}, {5, "...###..."}})},
        {4, Disc4},
        {5, Disc4},
    };
    for (const TShapeCase& c : cases) {
        SCOPED_TRACE(c.Size);
        TTestEnvironment env(9, 9);
        env.Values.PencilSize = c.Size;
        env.Front = {10, 20, 30};
        TPencilTool pencil(env);
        pencil.Press({4, 4}, TMouseButton::Right, TMouseButton::Right);
        EXPECT_EQ(Pattern(env.Document.SketchLayer), c.Expected);
        EXPECT_SAME_PICTURE(env.Document.ColorLayer, env.Document.SketchLayer);
        EXPECT_EQ(PixelAt(env.Document.ColorLayer, 4, 4), (TToolColor{10, 20, 30}));
        pencil.Release({4, 4}, TMouseButton::Right, None);
        EXPECT_EQ(env.Steps, 1);
    }
}

TEST(PencilTool, ASegmentFollowsEveryThirdEventAndLeftoversAreNotDrawn)
{
    TTestEnvironment env(30, 12);
    TPencilTool pencil(env);
    // A drag that did not start with a press of the pencil draws nothing.
    for (int x : {5, 9, 13})
        pencil.Move({x, 8}, Left);
    EXPECT_EQ(Pattern(env.Document.SketchLayer), TRows(12, std::string(30, '.')));
    pencil.Press({2, 2}, TMouseButton::Left, Left);
    const TBitmap afterPress = env.Document.SketchLayer;
    pencil.Move({10, 2}, Left);
    pencil.Move({20, 2}, Left);
    EXPECT_SAME_PICTURE(env.Document.SketchLayer, afterPress);

    pencil.Move({28, 2}, Left);
    const TRows drawn = Pattern(env.Document.SketchLayer);
    EXPECT_EQ(drawn[2], ".." + std::string(27, '#') + ".");
    EXPECT_EQ(drawn[3], std::string(30, '.'));

    // The next segment starts where this one ended; two points are not enough.
    pencil.Move({28, 6}, Left);
    pencil.Move({28, 10}, Left);
    pencil.Release({28, 10}, TMouseButton::Left, None);
    EXPECT_EQ(Pattern(env.Document.SketchLayer), drawn);
    EXPECT_EQ(env.Steps, 1);
    // The composite shows the layers outside the outline.
    pencil.Commit();
    TDocument fresh = env.Document;
    fresh.RebuildAll();
    EXPECT_SAME_PICTURE(env.Document.ViewBitmap, fresh.ViewBitmap);
}

TEST(PencilTool, WithNoDrawableLayerNothingChangesButTheStepIsRecorded)
{
    TTestEnvironment env(20, 20);
    env.Document.LayerState.SketchDrawable = false;
    env.Document.LayerState.ColorDrawable = false;
    env.Values.PencilSize = 7;
    const TDocument before = env.Document;
    TPencilTool pencil(env);
    pencil.Press({5, 5}, TMouseButton::Left, Left);
    for (int x : {7, 9, 11, 13})
        pencil.Move({x, 5}, Left);
    pencil.Release({13, 5}, TMouseButton::Left, None);
    EXPECT_SAME_PICTURE(env.Document.SketchLayer, before.SketchLayer);
    EXPECT_SAME_PICTURE(env.Document.ColorLayer, before.ColorLayer);
    EXPECT_EQ(env.Steps, 1);
}

TEST(PencilTool, StrokesLeavingThePictureAreClipped)
{
    TTestEnvironment env(6, 6);
    env.Values.PencilSize = 9;
    TPencilTool pencil(env);
    pencil.Press({-3, -3}, TMouseButton::Left, Left);
    for (TToolPoint p : {TToolPoint{-10, 3}, TToolPoint{3, 20}, TToolPoint{5, 5}})
        pencil.Move(p, Left);
    pencil.Press({100, 100}, TMouseButton::Left, Left);
    EXPECT_EQ(PixelAt(env.Document.SketchLayer, 0, 0), (TToolColor{0, 0, 0}));
    EXPECT_EQ(PixelAt(env.Document.SketchLayer, 5, 5), (TToolColor{0, 0, 0}));
}

TEST(ThickCurve, EveryPixelNearTheCurveAndNoneFarFromIt)
{
    // Measured against the curve sampled finely: a pixel whose centre lies
    // within width / 2 - 0.25 must be painted, one beyond width / 2 + 0.25
    // must not (between, the flattening may go either way).
    unsigned state = 3;
    const auto next = [&state](int range) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % unsigned(range));
    };
    for (int round = 0; round < 15; ++round) {
        SCOPED_TRACE(round);
        const TToolPoint p[4] = {{next(60) - 5, next(50) - 5},
                                 {next(60) - 5, next(50) - 5},
                                 {next(60) - 5, next(50) - 5},
                                 {next(60) - 5, next(50) - 5}};
        const int width = 1 + next(12);
        TBitmap picture(50, 40);
        picture.FillWhite();
        StrokeCubic(picture, p[0], p[1], p[2], p[3], width, {0, 0, 0});
        std::vector<std::pair<double, double>> samples;
        for (int i = 0; i <= 1000; ++i) {
            const double t = i / 1000.0, u = 1 - t;
            const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
            samples.push_back({b0 * p[0].X + b1 * p[1].X + b2 * p[2].X + b3 * p[3].X,
                               b0 * p[0].Y + b1 * p[1].Y + b2 * p[2].Y + b3 * p[3].Y});
        }
        const double r = width / 2.0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x) {
                double nearest = 1e9;
                for (const auto& [sx, sy] : samples) {
                    nearest = std::min(nearest, std::hypot(sx - x, sy - y));
                    if (nearest <= r - 0.25)
                        break;
                }
                const bool painted = PixelAt(picture, x, y).R == 0;
                if (nearest <= r - 0.25) {
                    ASSERT_TRUE(painted) << x << "," << y;
                }
                if (nearest > r + 0.25) {
                    ASSERT_FALSE(painted) << x << "," << y;
                }
            }
    }
}

TEST(BrushMask, RingStrengthsFollowTheCubicProfile)
{
    const std::vector<int> rings{7, 7, 8, 10, 13, 19, 27, 39, 55, 75, 100};
    const TBrushMask mask = MakeBrushMask(20, 3);
    for (int r = 0; r <= 10; ++r) {
        EXPECT_EQ(BrushRingStrength(r, 20, 3), rings[std::size_t(r)]) << r;
        // Across the middle row each ring shows its strength.
        EXPECT_EQ(mask.At(r, 10), rings[std::size_t(r)]) << r;
        EXPECT_EQ(mask.At(10, r), rings[std::size_t(r)]) << r;
    }
    EXPECT_EQ(mask.At(0, 0), 0); // corners lie outside the outer ring

    const int rims[] = {2, 4, 7, 14, 24, 100};
    for (int hardness = 1; hardness <= 6; ++hardness) {
        EXPECT_EQ(BrushRingStrength(0, 20, hardness), rims[hardness - 1]) << hardness;
        EXPECT_EQ(BrushRingStrength(10, 20, hardness), 100) << hardness;
    }
    for (int size = 1; size <= 3; ++size) {
        const TBrushMask hard = MakeBrushMask(size, 1);
        EXPECT_EQ(hard.Strength, std::vector<std::uint8_t>(std::size_t(size * size), 100)) << size;
    }
}

TEST(BrushTool, DabBlendingByOpacity)
{
    struct TCase {
        int Opacity;
        int Hardness;
        std::uint8_t Layer;
        TToolColor Front;
        TToolColor Expected; // at every covered pixel
    };
    const std::vector<TCase> cases = {
        {8, 6, 200, {10, 20, 30}, {10, 20, 30}},
        // One percent, truncated: 0 towards 50 stays 0, 200 towards 0 gives 198.
        {1, 3, 0, {50, 50, 50}, {0, 0, 0}},
        {1, 3, 200, {0, 0, 0}, {198, 198, 198}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Opacity * 100 + c.Layer);
        TTestEnvironment env(30, 30, c.Layer, c.Layer);
        env.Values.BrushSize = 20;
        env.Values.BrushContent = c.Hardness;
        env.Values.BrushOpacity = c.Opacity;
        env.Front = c.Front;
        TBrushTool brush(env);
        brush.Press({15, 15}, TMouseButton::Left, Left);
        const TBrushMask mask = MakeBrushMask(20, c.Hardness);
        for (int i = 0; i < 20; ++i)
            for (int j = 0; j < 20; ++j) {
                const TToolColor expected = mask.At(j, i) ? c.Expected : TToolColor{c.Layer, c.Layer, c.Layer};
                ASSERT_EQ(PixelAt(env.Document.SketchLayer, 5 + j, 5 + i), expected) << j << "," << i;
            }
        EXPECT_SAME_PICTURE(env.Document.ColorLayer, env.Document.SketchLayer);
        EXPECT_EQ(env.Painted.back(), (TRect{5, 5, 25, 25}));
    }
}

TEST(BrushTool, StampsEveryStepAlongTheMajorAxis)
{
    using TPoints = std::vector<TToolPoint>;
    struct TCase {
        TToolPoint From;
        TToolPoint To;
        int Size;
        TPoints Expected;
    };
    const std::vector<TCase> cases = {
        {{100, 100}, {110, 100}, 20, {{100, 100}, {102, 100}, {104, 100}, {106, 100}, {108, 100}, {110, 100}}},
        {{0, 0}, {0, -9}, 100, {{0, 0}, {0, -5}}},
        {{0, 0}, {6, 3}, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 2}, {6, 3}}},
        {{5, 5}, {5, 5}, 20, {}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TBrushTool::StampPoints(c.From, c.To, c.Size), c.Expected) << c.To.X << "," << c.To.Y;
}

TEST(BrushTool, ADragPaintsOnlyTheDrawableLayer)
{
    TTestEnvironment env(20, 20);
    env.Document.LayerState.SketchDrawable = false;
    env.Values.BrushSize = 1;
    TBrushTool brush(env);
    brush.Press({5, 10}, TMouseButton::Left, Left);
    brush.Move({15, 10}, Left);
    brush.Release({15, 10}, TMouseButton::Left, None);
    const TRows rows = Pattern(env.Document.ColorLayer);
    EXPECT_EQ(rows[10], ".....###########....");
    EXPECT_EQ(rows[9], std::string(20, '.'));
    EXPECT_EQ(Pattern(env.Document.SketchLayer), TRows(20, std::string(20, '.')));
    EXPECT_EQ(env.Steps, 1);
}

TEST(EraserTool, PaintsTheBackColourIntoBothLayersAndLeavesGaps)
{
    TTestEnvironment env(24, 9, 0, 0);
    env.Values.EraserSize = 3;
    env.Back = {255, 255, 255};
    TEraserTool eraser(env);
    eraser.Move({3, 4}, None); // the outline appears, the layers stay
    eraser.Press({3, 4}, TMouseButton::Left, Left);
    eraser.Move({20, 4}, Left);
    eraser.Release({20, 4}, TMouseButton::Left, None);
    const TRows expected = {
        "........................", "........................", "........................",
        "..###..............###..", "..###..............###..", "..###..............###..",
        "........................", "........................", "........................",
    };
    EXPECT_EQ(Pattern(env.Document.SketchLayer, 0), expected);
    EXPECT_SAME_PICTURE(env.Document.ColorLayer, env.Document.SketchLayer);
    EXPECT_EQ(env.Steps, 1);
}

TEST(StrokeTools, TheOutlineFollowsThePointerAndGoesWhenTheToolIsLeft)
{
    TTestEnvironment env(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            SetPixel(env.Document.ColorLayer, x, y, std::uint8_t(x * 8), std::uint8_t(y * 8), 77);
    env.Document.RebuildAll();
    const TBitmap clean = env.Document.ViewBitmap;
    TBrushTool brush(env);
    brush.Select();
    brush.Move({5, 5}, None);
    brush.Move({20, 20}, None);
    EXPECT_EQ(brush.CursorOutline().OutlineRect(), DabRect(20, 20, 20));
    // Only the outline at the last position differs from the layers' composite.
    TBitmap withoutOutline = env.Document.ViewBitmap;
    TCursorOutline copy = brush.CursorOutline();
    copy.Restore(withoutOutline);
    EXPECT_SAME_PICTURE(withoutOutline, clean);
    EXPECT_NE(env.Document.ViewBitmap, clean);

    // A changed size shows at once after the view is rebuilt.
    env.Values.BrushSize = 5;
    env.Document.RebuildComposite(env.ViewRect());
    brush.Refresh();
    EXPECT_EQ(brush.CursorOutline().OutlineRect(), DabRect(20, 20, 5));

    brush.Commit();
    EXPECT_SAME_PICTURE(env.Document.ViewBitmap, clean);
}
