#include "tests/picture/PicturePrinter.h"
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/DropperTool.h"
#include "tools/HandTool.h"
#include "tools/PaintBucket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr TMouseButtons Left{TMouseButton::Left};
constexpr TMouseButtons Right{TMouseButton::Right};
constexpr TMouseButtons None{};

// A grey picture from rows of values.
TBitmap Picture(const std::vector<std::vector<int>>& rows)
{
    TBitmap picture(int(rows[0].size()), int(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            const auto v = std::uint8_t(rows[y][x]);
            SetPixel(picture, int(x), int(y), v, v, v);
        }
    return picture;
}

// The plain breadth-first flood by wavefronts: the front starts as the seed,
// which is not marked; each qualifying neighbour, in the order below, right,
// left... is marked, filled and joins the next front.
void WavefrontFill(const TBitmap& view, TBitmap& layer, TToolPoint seed, int tolerance, TToolColor color)
{
    const int w = view.Width();
    const int h = view.Height();
    if (seed.X < 0 || seed.Y < 0 || seed.X >= w || seed.Y >= h)
        return;
    std::vector<std::uint8_t> visited(std::size_t(w * h), 0);
    const TToolColor s = PixelAt(view, seed.X, seed.Y);
    const auto near = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    std::vector<TToolPoint> front{seed};
    while (!front.empty()) {
        std::vector<TToolPoint> next;
        for (const TToolPoint p : front)
            for (const TToolPoint n : {TToolPoint{p.X, p.Y + 1}, TToolPoint{p.X, p.Y - 1}, TToolPoint{p.X - 1, p.Y},
                                       TToolPoint{p.X + 1, p.Y}}) {
                if (n.X < 0 || n.Y < 0 || n.X >= w || n.Y >= h || visited[std::size_t(n.Y * w + n.X)])
                    continue;
                const TToolColor c = PixelAt(view, n.X, n.Y);
                if (!near(c.R, s.R) || !near(c.G, s.G) || !near(c.B, s.B))
                    continue;
                visited[std::size_t(n.Y * w + n.X)] = 1;
                next.push_back(n);
                SetPixel(layer, n.X, n.Y, color.B, color.G, color.R);
            }
        front = std::move(next);
    }
}

} // namespace

TEST(FloodFill, EqualsTheWavefrontFloodOnBlotchyPictures)
{
    unsigned state = 7;
    const auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    long filledPixels = 0;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        // Blocks of two grey levels with a little colour noise and scattered
        // odd pixels, so that regions are large, ragged and full of holes.
        const int w = 20 + int(next(30));
        const int h = 10 + int(next(30));
        std::vector<unsigned> blocks(64);
        for (unsigned& block : blocks)
            block = next(2);
        TBitmap view(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned level = blocks[std::size_t((y / 5) * 8 + x / 7) % blocks.size()];
                if (next(10) == 0)
                    level = 1 - level;
                const auto v = std::uint8_t(level * 120);
                SetPixel(view, x, y, v, std::uint8_t(v + next(8)), v);
            }
        const TToolPoint seed{int(next(unsigned(w + 2))) - 1, int(next(unsigned(h)))};
        const int tolerance = int(next(3)) * 6;
        TBitmap expected(w, h);
        expected.FillWhite();
        TBitmap sketch = expected;
        TBitmap color = expected;
        WavefrontFill(view, expected, seed, tolerance, {9, 8, 7});
        TFloodScratch scratch;
        int rowsAsked = 0;
        FloodFill(view, {&sketch, &color}, seed, tolerance, {9, 8, 7}, scratch, [&](int) { ++rowsAsked; });
        ASSERT_SAME_PICTURE(sketch, expected);
        ASSERT_SAME_PICTURE(color, expected);
        EXPECT_LE(rowsAsked, h);
        for (const std::string& row : Pattern(expected))
            filledPixels += std::count(row.begin(), row.end(), '#');
    }
    EXPECT_GT(filledPixels, 4000); // the rounds filled real regions
}

TEST(FloodFill, RegionsJudgedOnTheComposite)
{
    struct TCase {
        const char* Name;
        std::vector<std::vector<int>> View;
        TToolPoint Seed;
        int Tolerance;
        std::vector<std::string> Filled;
    };
    const std::vector<TCase> cases = {
        {"tolerance 0 takes equal colours only", {{100, 100, 101, 100, 100}}, {0, 0}, 0, {"##..."}},
        {"a seed with no qualifying neighbour stays",
         {{0, 0, 0}, {0, 50, 0}, {0, 0, 0}},
         {1, 1},
         10,
         {"...", "...", "..."}},
        {"a diagonal touch is not crossed",
         {{0, 200, 200}, {0, 200, 200}, {200, 0, 0}},
         {0, 0},
         10,
         {"#..", "#..", "..."}},
        {"250 with tolerance 32 takes 218 to 255", {{250, 218, 255, 217, 250}}, {0, 0}, 32, {"###.."}},
        {"a seed beyond the picture does nothing", {{1, 1}, {1, 1}}, {2, 0}, 128, {"..", ".."}},
        {"nor one before it", {{1, 1}, {1, 1}}, {-1, 0}, 128, {"..", ".."}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBitmap view = Picture(c.View);
        TBitmap layer(view.Width(), view.Height());
        layer.FillWhite();
        TFloodScratch scratch;
        const TRect filled = FloodFill(view, {nullptr, &layer}, c.Seed, c.Tolerance, {1, 2, 3}, scratch);
        EXPECT_EQ(Pattern(layer), c.Filled);
        bool anyFilled = false;
        for (const std::string& row : c.Filled)
            anyFilled = anyFilled || row.find('#') != std::string::npos;
        EXPECT_EQ(filled.Empty(), !anyFilled);
        if (!filled.Empty()) {
            EXPECT_EQ(PixelAt(layer, filled.Left, filled.Top), (TToolColor{1, 2, 3}));
        }
    }
}

TEST(PaintBucketTool, FillsTheColouringLayerWithinTheSketchLinesSeenInMultiply)
{
    TTestEnvironment env(10, 6, 255, 100);
    for (int y = 0; y < 6; ++y)
        SetPixel(env.Document.SketchLayer, 5, y, 0, 0, 0);
    env.Document.LayerState.SketchDrawable = false;
    // The composite outside the view may be stale; the bucket judges it whole.
    env.Document.ViewBitmap.Fill(7, 7, 7);
    env.Values.Tolerance = 32;
    env.Front = {250, 0, 0};
    const TBitmap sketch = env.Document.SketchLayer;
    TPaintBucketTool bucket(env);
    bucket.Press({2, 2}, TMouseButton::Left, Left);
    bucket.Release({2, 2}, TMouseButton::Left, None);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(PixelAt(env.Document.ColorLayer, x, y),
                      (x < 5 ? TToolColor{250, 0, 0} : TToolColor{100, 100, 100}))
                << x << "," << y;
    EXPECT_SAME_PICTURE(env.Document.SketchLayer, sketch);
    EXPECT_EQ(env.Steps, 1);
    EXPECT_EQ(env.Painted.back(), env.ViewRect());

    bucket.Press({10, 2}, TMouseButton::Left, Left); // right of the picture
    bucket.Release({10, 2}, TMouseButton::Left, None);
    EXPECT_EQ(PixelAt(env.Document.ColorLayer, 9, 2), (TToolColor{100, 100, 100}));
    EXPECT_EQ(env.Steps, 2);
}

TEST(DropperTool, ShowsAndPicksTheColourUnderThePointer)
{
    TTestEnvironment env(4, 4);
    env.Document.LayerState.SketchVisible = false;
    SetPixel(env.Document.ColorLayer, 1, 2, 30, 20, 10);
    SetPixel(env.Document.ColorLayer, 3, 3, 3, 2, 1);
    env.Document.RebuildAll();
    TDropperTool dropper(env);

    dropper.Move({1, 2}, None);
    dropper.Move({4, 0}, None); // beyond the picture: ignored
    EXPECT_EQ(env.Readings, std::vector<std::string>{"X: 1 Y: 2 R: 10 G: 20 B: 30"});
    EXPECT_EQ(env.Front, (TToolColor{0, 0, 0}));

    dropper.Press({1, 2}, TMouseButton::Right, Right);
    EXPECT_EQ(env.Back, (TToolColor{10, 20, 30}));
    dropper.Move({3, 3}, Right);
    EXPECT_EQ(env.Back, (TToolColor{1, 2, 3}));
    EXPECT_EQ(env.Front, (TToolColor{0, 0, 0}));

    dropper.Press({1, 2}, TMouseButton::Left, Left);
    EXPECT_EQ(env.Front, (TToolColor{10, 20, 30}));
    env.PaletteVisible = false; // a drag picks only while the palette shows
    dropper.Move({3, 3}, Left);
    EXPECT_EQ(env.Front, (TToolColor{10, 20, 30}));
    EXPECT_EQ(env.Readings.back(), "X: 3 Y: 3 R: 1 G: 2 B: 3");
}

TEST(HandTool, KeepsTheGrabbedPointUnderThePointer)
{
    TTestEnvironment env(4, 4);
    THandTool hand(env);
    hand.Press({10, 10}, TMouseButton::Left, Left);
    EXPECT_TRUE(env.Grabbing);
    hand.Move({7, 12}, Left);
    hand.Move({8, 8}, None);
    hand.Release({8, 8}, TMouseButton::Left, None);
    EXPECT_FALSE(env.Grabbing);
    EXPECT_EQ(env.Scrolls, (std::vector<std::pair<int, int>>{{3, -2}}));
    EXPECT_EQ(env.PointerInfo, (std::vector<std::pair<int, int>>{{7, 12}, {8, 8}}));
    hand.Press({1, 1}, TMouseButton::Right, Right);
    EXPECT_FALSE(env.Grabbing);
}
