#include "tests/picture/PicturePrinter.h"
#include "tests/tools/ToolTestEnvironment.h"
#include "tools/ToneTool.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr TMouseButtons Left{TMouseButton::Left};
constexpr TMouseButtons None{};

std::uint8_t Grey(const TBitmap& picture, int x, int y) { return PixelAt(picture, x, y).G; }

} // namespace

TEST(ToneTable, SampleValues)
{
    struct TCase {
        bool Darken;
        int Contrast;
        int In;
        int Out;
    };
    const std::vector<TCase> cases = {
        {true, 128, 0, 0},      {true, 128, 100, 23},   {true, 128, 200, 173},  {true, 128, 252, 251},
        {true, 128, 255, 255},  {false, 128, 0, 127},   {false, 128, 100, 177}, {false, 128, 200, 227},
        {false, 128, 252, 253}, {false, 128, 255, 255}, {true, 255, 127, 1},    {true, 255, 200, 147},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(MakeToneTable(c.Darken, c.Contrast)[std::size_t(c.In)], c.Out)
            << (c.Darken ? "darken " : "lighten ") << c.Contrast << " at " << c.In;

    for (bool darken : {true, false})
        for (int contrast = 0; contrast <= 255; ++contrast) {
            const TToneTable table = MakeToneTable(darken, contrast);
            for (int v = 253; v <= 255; ++v)
                ASSERT_EQ(table[std::size_t(v)], v) << contrast;
            if (contrast == 0) {
                for (int v = 0; v < 256; ++v)
                    ASSERT_EQ(table[std::size_t(v)], v);
            }
        }
}

TEST(ToneTool, OneChangePerPixelPerStrokeAndAgainOnTheNext)
{
    TTestEnvironment env(12, 12, 200, 200);
    env.Values.DarkenSize = 3;
    TToneTool darken(env, true);
    darken.Press({5, 5}, TMouseButton::Left, Left);
    darken.Move({5, 5}, Left);
    darken.Move({6, 5}, Left);
    darken.Move({5, 5}, Left);
    darken.Release({5, 5}, TMouseButton::Left, None);
    EXPECT_EQ(Grey(env.Document.SketchLayer, 5, 5), 173);
    EXPECT_EQ(Grey(env.Document.SketchLayer, 7, 5), 173);
    EXPECT_EQ(Grey(env.Document.ColorLayer, 5, 5), 173);
    EXPECT_EQ(Grey(env.Document.SketchLayer, 8, 5), 200);

    darken.Press({5, 5}, TMouseButton::Left, Left);
    darken.Release({5, 5}, TMouseButton::Left, None);
    EXPECT_EQ(Grey(env.Document.SketchLayer, 5, 5), 133); // 173 - 128 * 81 / 256
    EXPECT_EQ(Grey(env.Document.SketchLayer, 7, 5), 173); // outside the second dab
    EXPECT_EQ(env.Steps, 2);
}

TEST(ToneTool, ALongStrokeChangesEachPixelItCoversOnceFromItsPressTimeValue)
{
    // A picture larger than the tiles the press-time copy is kept in, a
    // stroke that crosses and recrosses them and leaves the picture.
    TTestEnvironment env(200, 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            SetPixel(env.Document.SketchLayer, x, y, std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + y));
            SetPixel(env.Document.ColorLayer, x, y, std::uint8_t(255 - x), std::uint8_t(y), 128);
        }
    const TDocument before = env.Document;
    env.Values.LightenSize = 31;
    env.Values.LightenContrast = 200;
    const std::vector<TToolPoint> path = {{60, 60}, {70, 62}, {130, 60}, {130, 140}, {60, 66},
                                          {62, 60}, {195, 5}, {-8, 149}, {60, 61}};
    TToneTool lighten(env, false);
    lighten.Press(path[0], TMouseButton::Left, Left);
    for (std::size_t i = 1; i < path.size(); ++i)
        lighten.Move(path[i], Left);
    lighten.Release(path.back(), TMouseButton::Left, None);

    const TToneTable table = MakeToneTable(false, 200);
    const TShape mask = FilledEllipse(31, 31);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            bool covered = false;
            for (const TToolPoint p : path)
                covered = covered || mask.Contains(x - (p.X - 15), y - (p.Y - 15));
            for (const auto& [layer, original] : {std::pair{&env.Document.SketchLayer, &before.SketchLayer},
                                                  std::pair{&env.Document.ColorLayer, &before.ColorLayer}}) {
                const TToolColor was = PixelAt(*original, x, y);
                const TToolColor expected = covered ? TToolColor{table[was.R], table[was.G], table[was.B]} : was;
                ASSERT_EQ(PixelAt(*layer, x, y), expected) << x << "," << y;
            }
        }
}

TEST(ToneTool, SizesOneToThreeActOnTheWholeSquare)
{
    for (int size = 1; size <= 3; ++size) {
        TTestEnvironment env(9, 9, 0, 0);
        env.Document.LayerState.ColorDrawable = false;
        env.Values.LightenSize = size;
        TToneTool lighten(env, false);
        lighten.Press({4, 4}, TMouseButton::Left, Left);
        int changed = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                if (Grey(env.Document.SketchLayer, x, y) != 0) {
                    EXPECT_EQ(Grey(env.Document.SketchLayer, x, y), 127); // black lightened by 128
                    ++changed;
                }
        EXPECT_EQ(changed, size * size) << size;
        EXPECT_EQ(Grey(env.Document.ColorLayer, 4, 4), 0);
    }
}

TEST(ToneTool, ContrastZeroChangesNothingYetRecordsTheStepAndWhiteStaysWhite)
{
    for (const auto& [contrast, value] : {std::pair{0, 90}, std::pair{255, 255}, std::pair{255, 253}}) {
        TTestEnvironment env(20, 20, std::uint8_t(value), std::uint8_t(value));
        env.Values.DarkenContrast = contrast;
        env.Values.DarkenSize = 30;
        const TDocument before = env.Document;
        TToneTool darken(env, true);
        darken.Press({10, 10}, TMouseButton::Left, Left);
        darken.Move({2, 17}, Left);
        darken.Release({2, 17}, TMouseButton::Left, None);
        EXPECT_SAME_PICTURE(env.Document.SketchLayer, before.SketchLayer) << contrast << " " << value;
        EXPECT_SAME_PICTURE(env.Document.ColorLayer, before.ColorLayer);
        EXPECT_EQ(env.Steps, 1);
    }
}
