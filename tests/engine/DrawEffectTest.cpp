#include "engine/DrawEffect.h"
#include "engine/CancelToken.h"
#include "picture/BmpFile.h"
#include "tests/engine/EffectReference.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using EngineTest::TProgressLog;

namespace {

TBitmap Flat(int w, int h, int value)
{
    TBitmap p(w, h);
    p.Fill(std::uint8_t(value), std::uint8_t(value), std::uint8_t(value));
    return p;
}

// A grey, untouched colouring layer (grey survives saturation 0) and a sketch
// of a chosen constant value: on a flat photo every edge sum is 0, and a
// sketch type outside 1 and 2 keeps a = -Detail.
TEffectSettings BlendSettings(int w, int h, int sketchValue)
{
    TEffectSettings s = EngineTest::FreshSettings(w, h);
    s.DrawColor = 1;
    s.ColorScale = 0;
    s.ColorSmooth = 0;
    s.BorderBlur = 0;
    s.SketchType = 5;
    s.Detail = -sketchValue;
    return s;
}

int BlendedValue(int photo, int sketchValue, int blendMode, int opacity)
{
    TBitmap p = Flat(3, 3, photo);
    TEffectSettings s = BlendSettings(3, 3, sketchValue);
    s.BlendMode = blendMode;
    s.Opacity = opacity;
    TDrawEffect effect;
    effect.SetSettings(s, &p);
    EXPECT_TRUE(effect.Render());
    TBitmap out;
    effect.DrawBlended(out);
    EXPECT_EQ(out.Width(), 3);
    return out.ScanLine(1)[4];
}

TEST(DrawEffectBlend, MultiplyAndOpacityMix)
{
    EXPECT_EQ(BlendedValue(200, 0, 1, 50), 0); // a black line stays black
    EXPECT_EQ(BlendedValue(200, 255, 1, 50), 200); // white paper keeps the colour
    EXPECT_EQ(BlendedValue(200, 128, 1, 50), 100); // 200 * 128 div 255
    EXPECT_EQ(BlendedValue(200, 0, 2, 50), 100);
    EXPECT_EQ(BlendedValue(0, 255, 2, 50), 127);
    EXPECT_EQ(BlendedValue(200, 0, 2, 99), 2);
    // A stored opacity beyond the percent range is held to it.
    EXPECT_EQ(BlendedValue(200, 0, 2, 150), 0);
    EXPECT_EQ(BlendedValue(200, 0, 2, -20), 200);
    // An unknown mode blends nothing: the target is white.
    EXPECT_EQ(BlendedValue(90, 0, 7, 50), 255);
}

TEST(DrawEffectBlend, SingleLayersAndNone)
{
    TBitmap p = EngineTest::RandomPicture(5, 4, 3);
    TEffectSettings s = EngineTest::FreshSettings(5, 4);
    TDrawEffect effect;
    TBitmap blended, sketch, color;

    s.DrawSketch = 1;
    s.DrawColor = 0;
    effect.SetSettings(s, &p);
    ASSERT_TRUE(effect.Render());
    effect.DrawBlended(blended);
    ASSERT_TRUE(effect.GetLayers(sketch, color));
    EXPECT_SAME_PICTURE(blended, sketch);
    EXPECT_SAME_PICTURE(color, Flat(5, 4, 255));

    s.DrawSketch = 0;
    s.DrawColor = 1;
    effect.SetSettings(s, &p);
    ASSERT_TRUE(effect.Render());
    effect.DrawBlended(blended);
    ASSERT_TRUE(effect.GetLayers(sketch, color));
    EXPECT_SAME_PICTURE(blended, color);
    EXPECT_SAME_PICTURE(sketch, Flat(5, 4, 255));

    s.DrawColor = 0;
    effect.SetSettings(s, &p);
    ASSERT_TRUE(effect.Render());
    effect.DrawBlended(blended);
    ASSERT_TRUE(effect.GetLayers(sketch, color));
    EXPECT_SAME_PICTURE(sketch, Flat(5, 4, 255));
    EXPECT_SAME_PICTURE(color, Flat(5, 4, 255));
    EXPECT_SAME_PICTURE(blended, Flat(5, 4, 255));
}

TEST(DrawEffectProgress, TotalBarMaximaAndSteps)
{
    TBitmap p = EngineTest::RandomPicture(6, 5, 3);
    struct TCase {
        bool sketch, color;
        int smooth, blur, maximum, steps;
    };
    const TCase cases[] = {{false, false, 15, 25, 0, 0}, {true, false, 15, 25, 3, 3}, {true, false, 0, 25, 3, 1},
                           {false, true, 15, 25, 7, 8},  {false, true, 15, 0, 7, 6},  {true, true, 15, 25, 10, 11},
                           {true, true, 0, 0, 10, 7}};
    for (const TCase& c : cases) {
        TEffectSettings s = EngineTest::FreshSettings(6, 5);
        s.DrawSketch = c.sketch;
        s.DrawColor = c.color;
        s.SketchSmooth = c.smooth;
        s.BorderBlur = c.blur;
        TProgressLog log;
        TProgressState state;
        TDrawEffect effect;
        effect.SetSettings(s, &p);
        effect.SetProgress(log.Sink());
        ASSERT_TRUE(effect.Render());
        EXPECT_EQ(log.Events.front(), "max " + std::to_string(c.maximum));
        EXPECT_EQ(log.Count("step"), c.steps) << c.sketch << c.color << c.smooth << c.blur;

        effect.SetProgress(state.Sink());
        ASSERT_TRUE(effect.Render());
        EXPECT_EQ(state.Read().TotalMaximum, c.maximum);
        EXPECT_EQ(state.Read().TotalPosition, std::min(c.steps, c.maximum)); // a full bar stays full
    }
}

TEST(DrawEffectProgress, SameReportsOnOneThreadAndOnSeveral)
{
    // With several threads the scaling runs beside the sketch; its reports
    // must still come after the sketch's, in the same order.
    TBitmap p = EngineTest::PhotoLikePicture(90, 70);
    TEffectSettings s = EngineTest::FreshSettings(50, 40);
    s.Left = 20;
    s.Top = 25;
    s.DrawColor = 1;
    std::vector<std::string> logs[3];
    for (int threads : {1, 2, 3}) {
        TProgressLog log;
        TDrawEffect effect;
        effect.SetThreadCount(threads);
        effect.SetSettings(s, &p);
        effect.SetProgress(log.Sink());
        ASSERT_TRUE(effect.Render());
        logs[threads - 1] = log.Events;
    }
    EXPECT_EQ(logs[1], logs[0]);
    EXPECT_EQ(logs[2], logs[0]);
    EXPECT_EQ(std::count(logs[0].begin(), logs[0].end(), "Color Scale"), 1);
}

TEST(DrawEffectProgress, SingleRowRegionReportsFull)
{
    TBitmap p = EngineTest::RandomPicture(6, 5, 3);
    TEffectSettings s = EngineTest::FreshSettings(6, 1);
    s.DrawColor = 1;
    TProgressLog log;
    TDrawEffect effect;
    effect.SetSettings(s, &p);
    effect.SetProgress(log.Sink());
    ASSERT_TRUE(effect.Render());
    EXPECT_EQ(log.PercentsOf("Blur Row"), std::vector<std::string>{"100%"});
    EXPECT_EQ(log.PercentsOf("Saturation"), std::vector<std::string>{"100%"});
}

// A report at which the cancel comes, and which sighting of it counts (the
// blur steps and the brightness step occur twice in a render of both layers).
struct TCancelPoint {
    const char* Event;
    int Sighting;
};

class DrawEffectCancel : public ::testing::TestWithParam<TCancelPoint> {};

TEST_P(DrawEffectCancel, YieldsNoLayers)
{
    TBitmap p = EngineTest::PhotoLikePicture(40, 30);
    TEffectSettings s = EngineTest::FreshSettings(40, 30);
    s.DrawColor = 1;
    TProgressLog log;
    TCancelToken cancel;
    int seen = 0;
    log.OnReport = [&](const std::string& e) {
        if (e == GetParam().Event && ++seen == GetParam().Sighting)
            cancel.Request();
    };
    TDrawEffect effect;
    effect.SetSettings(s, &p);
    effect.SetProgress(log.Sink());
    TBitmap sketch = Flat(3, 2, 17), color = Flat(2, 3, 99);
    EXPECT_FALSE(effect.Render(cancel));
    EXPECT_EQ(seen, GetParam().Sighting);
    EXPECT_FALSE(effect.HasLayers());
    EXPECT_FALSE(effect.GetLayers(sketch, color));
    EXPECT_SAME_PICTURE(sketch, Flat(3, 2, 17));
    EXPECT_SAME_PICTURE(color, Flat(2, 3, 99));
    TBitmap blended;
    effect.DrawBlended(blended);
    EXPECT_SAME_PICTURE(blended, Flat(40, 30, 255));
    cancel.Clear();
    EXPECT_FALSE(effect.GetLayers(sketch, color)) << "a cancelled render stays without layers";
}

INSTANTIATE_TEST_SUITE_P(AtSeveralPoints, DrawEffectCancel,
                         ::testing::Values(TCancelPoint{"Blur Row", 1}, TCancelPoint{"50%", 1},
                                           TCancelPoint{"Draw Sketch", 1}, TCancelPoint{"Color Scale", 1},
                                           TCancelPoint{"Color Smooth", 1}, TCancelPoint{"Blur Column", 2},
                                           TCancelPoint{"Contrast", 1}, TCancelPoint{"Brightness", 2},
                                           TCancelPoint{"step", 10}));

// Renders the whole photo at every vector width and at 1, 2 and 3 threads
// (3: the sketch on a smaller pool beside the scaling), and counts the
// pixels of each layer that differ from the plain version.
void ExpectLayersOfThePlainVersion(const TBitmap& photo, const TEffectSettings& s, const std::string& what)
{
    const std::vector<std::int32_t> sketchValues = Reference::Sketch(photo, 0, 0, photo.Width(), photo.Height(), s);
    const Reference::TBytes colorValues = Reference::ColorLayer(photo, 0, 0, photo.Width(), photo.Height(), s);
    EngineTest::WithEachVectorWidth([&](const char* width) {
        for (int threads : {1, 2, 3}) {
            TDrawEffect effect;
            effect.SetThreadCount(threads);
            effect.SetSettings(s, &photo);
            ASSERT_TRUE(effect.Render());
            TBitmap sketch, color;
            ASSERT_TRUE(effect.GetLayers(sketch, color));
            ASSERT_EQ(sketch.Width(), photo.Width());
            int sketchDiffs = 0, colorDiffs = 0;
            for (int y = 0; y < photo.Height(); ++y)
                for (int x = 0; x < photo.Width(); ++x) {
                    std::size_t i = std::size_t(y) * photo.Width() + x;
                    sketchDiffs += sketch.ScanLine(y)[x * 3] != sketchValues[i];
                    for (int c = 0; c < 3; ++c)
                        colorDiffs += color.ScanLine(y)[x * 3 + c] != colorValues[i * 3 + c];
                }
            EXPECT_EQ(sketchDiffs, 0) << what << ", " << threads << " threads, " << width;
            EXPECT_EQ(colorDiffs, 0) << what << ", " << threads << " threads, " << width;
        }
    });
}

TEST(DrawEffect, LayersEqualThePlainVersionOnAPhoto)
{
    TBitmap photo = ReadBmpFile(LQ_PHOTO_DIR "/coffee.bmp");
    TEffectSettings s = EngineTest::FreshSettings(photo.Width(), photo.Height());
    s.DrawColor = 1;
    ExpectLayersOfThePlainVersion(photo, s, "fresh settings");
}

TEST(DrawEffect, EqualsThePlainVersionOnRandomSettings)
{
    std::mt19937 rng(31);
    TDrawEffect effect; // one object throughout: buffers are reused between sizes
    for (int round = 0; round < 40; ++round) {
        int pw = 1 + int(rng() % 40), ph = 1 + int(rng() % 40);
        TBitmap p =
            round % 2 ? EngineTest::PhotoLikePicture(pw, ph, rng()) : EngineTest::RandomPicture(pw, ph, rng(), 6);
        TEffectSettings s = EngineTest::FreshSettings(pw, ph);
        s.Left = int(rng() % pw);
        s.Top = int(rng() % ph);
        s.Width = 1 + int(rng() % (pw - s.Left));
        s.Height = 1 + int(rng() % (ph - s.Top));
        s.DrawColor = 1;
        s.ScaleType = int(rng() % 4);
        s.ScanFromOrigin = int(rng() % 2);
        s.ColorScale = int(rng() % 143);
        s.ColorSmooth = int(rng() % 6);
        s.SmoothType = int(rng() % 2);
        s.BorderBlur = int(rng() % 101);
        s.Brightness = int(rng() % 511) - 255;
        s.Contrast = int(rng() % 700) - 350;
        s.Saturation = int(rng() % 400) - 200;
        s.Red = int(rng() % 511) - 255;
        s.Green = int(rng() % 511) - 255;
        s.Blue = int(rng() % 511) - 255;
        s.Sharper = int(rng() % 51);
        effect.SetThreadCount(1 + round % 3);
        effect.SetSettings(s, &p);
        ASSERT_TRUE(effect.Render());
        TBitmap sketch, color;
        ASSERT_TRUE(effect.GetLayers(sketch, color));
        std::vector<std::int32_t> sv = Reference::Sketch(p, s.Left, s.Top, s.Width, s.Height, s);
        Reference::TBytes cv = Reference::ColorLayer(p, s.Left, s.Top, s.Width, s.Height, s);
        bool same = sketch.Width() == s.Width && sketch.Height() == s.Height;
        for (int y = 0; same && y < s.Height; ++y)
            for (int x = 0; x < s.Width; ++x) {
                std::size_t i = std::size_t(y) * s.Width + x;
                same = same && sketch.ScanLine(y)[x * 3] == sv[i] &&
                       std::equal(color.ScanLine(y) + x * 3, color.ScanLine(y) + x * 3 + 3, &cv[i * 3]);
            }
        EXPECT_TRUE(same) << "round " << round;
    }
}

// The far ends of the controls, where the fast kernels take their other
// paths: many distinct colours after fixed scaling, the widest median and
// maximum, the widest blurs, sharpening.
TEST(DrawEffect, EqualsThePlainVersionAtTheFarEnds)
{
    TBitmap photo = EngineTest::PhotoLikePicture(101, 87, 5);
    struct TCase {
        int ScaleType, ColorScale, ColorSmooth, SmoothType, BorderBlur, SketchSmooth, Sharper;
    } cases[] = {
        {ScaleTypeFixed, 142, 19, SmoothTypeCircle, 100, 100, 50},
        {ScaleTypeFixed, 142, 19, SmoothTypeSquare, 0, 0, 0},
        {ScaleTypeAverage, 142, 19, SmoothTypeCircle, 100, 100, 50},
        {ScaleTypeFixed, 0, 7, SmoothTypeCircle, 1, 1, 1},
        {ScaleTypeAverage, 1, 3, SmoothTypeCircle, 100, 15, 5},
    };
    for (const TCase& c : cases) {
        TEffectSettings s = EngineTest::FreshSettings(photo.Width(), photo.Height());
        s.DrawColor = 1;
        s.RemainDark = 1;
        s.RemainThreshold = 60;
        s.ScaleType = c.ScaleType;
        s.ColorScale = c.ColorScale;
        s.ColorSmooth = c.ColorSmooth;
        s.SmoothType = c.SmoothType;
        s.BorderBlur = c.BorderBlur;
        s.SketchSmooth = c.SketchSmooth;
        s.Sharper = c.Sharper;
        ExpectLayersOfThePlainVersion(photo, s,
                                      "scale " + std::to_string(c.ScaleType) + "/" + std::to_string(c.ColorScale) +
                                          " smooth " + std::to_string(c.ColorSmooth) + "/" +
                                          std::to_string(c.SmoothType));
    }
}

// A stored record beyond the controls renders as the control's end would:
// a colour smoothing of 128 would otherwise take a window of 257 x 257.
TEST(DrawEffectBadInput, WindowSizesAreHeldToTheControls)
{
    TBitmap photo = EngineTest::PhotoLikePicture(300, 280, 9);
    // Setters, not member pointers: the record is packed.
    using TSet = void (*)(TEffectSettings&, int);
    const TSet colorSmooth = [](TEffectSettings& s, int v) { s.ColorSmooth = v; };
    const TSet sketchSmooth = [](TEffectSettings& s, int v) { s.SketchSmooth = v; };
    const TSet borderBlur = [](TEffectSettings& s, int v) { s.BorderBlur = v; };
    const TSet colorScale = [](TEffectSettings& s, int v) { s.ColorScale = v; };
    const TSet sharper = [](TEffectSettings& s, int v) { s.Sharper = v; };
    struct TCase {
        TSet Set;
        int Beyond, Limit;
    };
    const TCase cases[] = {
        {colorSmooth, 128, 19},  {colorSmooth, 200, 19}, {colorSmooth, -4, 0},    {sketchSmooth, 5000, 100},
        {borderBlur, 2000, 100}, {borderBlur, -1, 0},    {colorScale, 1000, 142}, {sharper, 400, 50},
    };
    auto layers = [&](const TEffectSettings& s) {
        TDrawEffect effect;
        effect.SetSettings(s, &photo);
        EXPECT_TRUE(effect.Render());
        std::pair<TBitmap, TBitmap> out;
        EXPECT_TRUE(effect.GetLayers(out.first, out.second));
        return out;
    };
    for (const TCase& c : cases) {
        TEffectSettings beyond = EngineTest::FreshSettings(photo.Width(), photo.Height());
        beyond.DrawColor = 1;
        beyond.ScaleType = ScaleTypeFixed;
        TEffectSettings limit = beyond;
        c.Set(beyond, c.Beyond);
        c.Set(limit, c.Limit);
        EXPECT_EQ(layers(beyond), layers(limit)) << c.Beyond;
    }
}

TEST(DrawEffect, KeepsItsOwnCopyOfTheSettings)
{
    TBitmap p = EngineTest::RandomPicture(8, 6, 3);
    TEffectSettings s = EngineTest::FreshSettings(8, 6);
    TDrawEffect effect;
    effect.SetSettings(s, &p);
    s.Width = 2;
    s.DrawSketch = 0;
    ASSERT_TRUE(effect.Render());
    TBitmap sketch, color;
    ASSERT_TRUE(effect.GetLayers(sketch, color));
    EXPECT_EQ(sketch.Width(), 8);
    EXPECT_NE(sketch, Flat(8, 6, 255));
}

TEST(DrawEffect, LayersKeepTheRenderedRegionWhenSettingsChangeAfterwards)
{
    TBitmap p = EngineTest::RandomPicture(30, 20, 3);
    TEffectSettings s = EngineTest::FreshSettings(4, 3);
    s.DrawColor = 0;
    TDrawEffect effect;
    effect.SetSettings(s, &p);
    ASSERT_TRUE(effect.Render());
    s.Width = 30;
    s.Height = 20;
    s.DrawColor = 1; // never computed: must not be read
    effect.SetSettings(s, &p);
    TBitmap sketch, color, blended;
    ASSERT_TRUE(effect.GetLayers(sketch, color));
    EXPECT_EQ(sketch.Width(), 4);
    EXPECT_SAME_PICTURE(color, Flat(4, 3, 255));
    effect.DrawBlended(blended);
    EXPECT_SAME_PICTURE(blended, sketch);
}

TEST(DrawEffectBadInput, RegionsAndSourcesAreCut)
{
    TBitmap p = EngineTest::PhotoLikePicture(20, 10);
    struct TCase {
        int left, top, width, height, w, h;
    };
    const TCase cases[] = {{15, 5, 10, 10, 5, 5},
                           {-5, -5, 10, 10, 5, 5},
                           {30, 0, 5, 5, 0, 0},
                           {0, 0, -3, 5, 0, 0},
                           {0, 0, 0, 0, 0, 0},
                           {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0},
                           {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
                           {-5, -5, INT_MAX, INT_MAX, 20, 10}};
    for (const TCase& c : cases) {
        TEffectSettings s = EngineTest::FreshSettings(0, 0);
        s.Left = c.left;
        s.Top = c.top;
        s.Width = c.width;
        s.Height = c.height;
        s.DrawColor = 1;
        TDrawEffect effect;
        effect.SetSettings(s, &p);
        ASSERT_TRUE(effect.Render());
        TBitmap sketch, color, blended;
        ASSERT_TRUE(effect.GetLayers(sketch, color));
        EXPECT_EQ(sketch.Width(), c.w) << c.left << "," << c.top << " " << c.width << " x " << c.height;
        EXPECT_EQ(color.Height(), c.h);
        effect.DrawBlended(blended);
        EXPECT_EQ(blended.Width(), c.w);
    }
    // Whatever a stored record holds where the picture reference was is
    // ignored.
    TEffectSettings stale = EngineTest::FreshSettings(20, 10);
    const std::uint8_t garbage[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    std::memcpy(stale.Source, garbage, 4);
    TDrawEffect withStale;
    withStale.SetSettings(stale, &p);
    ASSERT_TRUE(withStale.Render());
    TBitmap staleSketch, staleColor;
    ASSERT_TRUE(withStale.GetLayers(staleSketch, staleColor));
    EXPECT_EQ(staleSketch.Width(), 20);

    TDrawEffect noSource;
    noSource.SetSettings(EngineTest::FreshSettings(20, 10), nullptr);
    ASSERT_TRUE(noSource.Render());
    TBitmap sketch, color;
    ASSERT_TRUE(noSource.GetLayers(sketch, color));
    EXPECT_TRUE(sketch.Empty());
}

TEST(DrawEffectBadInput, TinyPicturesAndExtremeSettings)
{
    TEffectSettings fresh = EngineTest::FreshSettings(0, 0);
    // The last row of the table holds 128 boundaries, so its last pair reads
    // past the table.
    std::uint8_t* last = fresh.ColorTable + (ColorTableRows - 1) * ColorTableRowSize;
    ASSERT_EQ(last[0], 128);
    for (int size : {1, 2, 10}) {
        TBitmap p = EngineTest::RandomPicture(size, size, 3);
        for (int variant = 0; variant < 4; ++variant) {
            TEffectSettings s = fresh;
            s.Width = s.Height = size;
            s.DrawColor = 1;
            s.ColorScale = 142;
            s.ColorSmooth = 19;
            s.ScaleType = 1 + variant % 2;
            s.BlendMode = 7;
            if (variant >= 2) {
                int v = variant == 2 ? INT_MAX : INT_MIN;
                s.SketchType = s.Detail = s.Darkness = s.SketchSmooth = s.Sharper = v;
                s.RemainThreshold = s.RemainDarkness = s.ScanFromOrigin = s.SmoothType = v;
                s.ColorScale = s.ColorSmooth = s.BorderBlur = s.Brightness = s.Contrast = s.Saturation = v;
                s.Red = s.Green = s.Blue = s.Opacity = s.WhiteLevel = v;
                s.RemainDark = 0xFF;
            }
            TDrawEffect effect;
            effect.SetSettings(s, &p);
            ASSERT_TRUE(effect.Render());
            TBitmap sketch, color, blended;
            ASSERT_TRUE(effect.GetLayers(sketch, color));
            EXPECT_EQ(sketch.Width(), size);
            effect.DrawBlended(blended);
            EXPECT_SAME_PICTURE(blended, Flat(size, size, 255)); // mode 7 blends nothing
        }
    }
}

} // namespace
