#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using EngineTest::TProgressLog;

namespace {

// What a render hands out: both layers and the blend.
struct TOutput {
    TBitmap Sketch, Color, Blended;
    bool operator==(const TOutput&) const = default;
    friend void PrintTo(const TOutput& out, std::ostream* os)
    {
        *os << "sketch ";
        PrintTo(out.Sketch, os);
        *os << ", colour ";
        PrintTo(out.Color, os);
        *os << ", blended ";
        PrintTo(out.Blended, os);
    }
};

TOutput Output(const TDrawEffect& effect)
{
    TOutput out;
    effect.GetLayers(out.Sketch, out.Color);
    effect.DrawBlended(out.Blended);
    return out;
}

// Both layers of a region away from the origin, so that scanning from the
// origin reads pixels outside it; sketch smoothing and border blur on.
TEffectSettings BaseSettings()
{
    TEffectSettings s = EngineTest::FreshSettings(60, 50);
    s.Left = 12;
    s.Top = 9;
    s.DrawColor = 1;
    s.Sharper = 7;
    s.RemainThreshold = 200;
    s.RemainDarkness = 90;
    return s;
}

// What a caching effect is given; a change edits it between two renders.
struct TInputs {
    TBitmap Picture = EngineTest::PhotoLikePicture(90, 70);
    TBitmap Other = EngineTest::PhotoLikePicture(90, 70, 11);
    const TBitmap* Source = &Picture;
    TEffectSettings Settings = BaseSettings();
    int Threads = 1;
};

TOutput Fresh(const TInputs& in)
{
    TDrawEffect effect;
    effect.SetThreadCount(in.Threads);
    effect.SetSettings(in.Settings, in.Source);
    EXPECT_TRUE(effect.Render());
    return Output(effect);
}

struct TChange {
    const char* Name;
    std::function<void(TInputs&, TDrawEffect&)> Apply;
    // The total bar's steps the caching render reports: what it recomputed
    // (11 for everything: sketch blur 2, sketch 1, scale 1, smooth 1, border
    // blur 2, tone tables 4).
    int Steps;
    // False where the change is meant to leave the result as it was.
    bool Shows = true;
};

void PrintTo(const TChange& change, std::ostream* out) { *out << change.Name; }

auto Set(std::function<void(TEffectSettings&)> edit)
{
    return [edit](TInputs& in, TDrawEffect&) { edit(in.Settings); };
}

class DrawEffectCache : public ::testing::TestWithParam<std::vector<TChange>> {};

// Each step of a case changes something and renders again with the same
// caching effect: the result must equal a fresh effect's for the new
// inputs, byte for byte, and differ from the one before (or the case would
// not show a stale result).
TEST_P(DrawEffectCache, EqualsAFreshRenderAfterEveryChange)
{
    TInputs in;
    TDrawEffect cached;
    cached.SetCaching(true);
    cached.SetThreadCount(in.Threads);
    cached.SetSettings(in.Settings, in.Source);
    ASSERT_TRUE(cached.Render());
    TOutput before = Output(cached);
    ASSERT_EQ(before, Fresh(in));
    for (const TChange& change : GetParam()) {
        change.Apply(in, cached);
        TProgressLog log;
        cached.SetProgress(log.Sink());
        cached.SetThreadCount(in.Threads);
        cached.SetSettings(in.Settings, in.Source);
        ASSERT_TRUE(cached.Render()) << change.Name;
        const TOutput fresh = Fresh(in);
        if (change.Shows) {
            EXPECT_NE(fresh, before) << change.Name << " changes nothing: the case proves nothing";
        }
        EXPECT_EQ(Output(cached), fresh) << change.Name;
        EXPECT_EQ(log.Count("step"), change.Steps) << change.Name;
        before = fresh;
    }
}

const std::vector<std::vector<TChange>> Cases = {
    // The sketch's tone mapping alone.
    {{"Detail", Set([](TEffectSettings& s) { s.Detail = 40; }), 1},
     {"WhiteLevel", Set([](TEffectSettings& s) { s.WhiteLevel = 150; }), 1},
     {"RemainDark", Set([](TEffectSettings& s) { s.RemainDark = 1; }), 1},
     {"RemainThreshold", Set([](TEffectSettings& s) { s.RemainThreshold = 120; }), 1},
     {"SketchType", Set([](TEffectSettings& s) { s.SketchType = 1; }), 1}},
    // The sketch's smoothing and edges.
    {{"SketchSmooth", Set([](TEffectSettings& s) { s.SketchSmooth = 40; }), 3},
     {"Sharper", Set([](TEffectSettings& s) { s.Sharper = 12; }), 3},
     {"Sharper 0", Set([](TEffectSettings& s) { s.Sharper = 0; }), 3},
     {"Detail", Set([](TEffectSettings& s) { s.Detail = 10; }), 1}},
    // Coloring Step 2: the tone tables alone.
    {{"Brightness", Set([](TEffectSettings& s) { s.Brightness = 30; }), 4},
     {"Saturation", Set([](TEffectSettings& s) { s.Saturation = 60; }), 4},
     {"Red", Set([](TEffectSettings& s) { s.Red = 20; }), 4},
     {"Blue", Set([](TEffectSettings& s) { s.Blue = 35; }), 4}},
    // Coloring Step 1: smoothing, border blur alone, then scaling.
    {{"ColorSmooth", Set([](TEffectSettings& s) { s.ColorSmooth = 5; }), 7},
     {"BorderBlur", Set([](TEffectSettings& s) { s.BorderBlur = 60; }), 6},
     {"BorderBlur again", Set([](TEffectSettings& s) { s.BorderBlur = 35; }), 6},
     {"BorderBlur 0", Set([](TEffectSettings& s) { s.BorderBlur = 0; }), 4},
     {"ColorScale", Set([](TEffectSettings& s) { s.ColorScale = 3; }), 6},
     {"ColorTable, the row in use", Set([](TEffectSettings& s) { s.ColorTable[2 * ColorTableRowSize + 2] = 30; }), 6},
     {"ScanFromOrigin", Set([](TEffectSettings& s) { s.ScanFromOrigin = 0; }), 6},
     {"ScaleType", Set([](TEffectSettings& s) { s.ScaleType = ScaleTypeFixed; }), 6}},
    // The blend and the switches: nothing to recompute, or one chain.
    {{"BlendMode", Set([](TEffectSettings& s) { s.BlendMode = EffectBlendOpacity; }), 0},
     {"Opacity", Set([](TEffectSettings& s) { s.Opacity = 80; }), 0},
     {"DrawColor off and Brightness", Set([](TEffectSettings& s) { s.DrawColor = 0, s.Brightness = 50; }), 0},
     {"DrawColor on again", Set([](TEffectSettings& s) { s.DrawColor = 1; }), 4},
     {"DrawSketch off and Sharper", Set([](TEffectSettings& s) { s.DrawSketch = 0, s.Sharper = 20; }), 0},
     {"DrawSketch on again", Set([](TEffectSettings& s) { s.DrawSketch = 1; }), 3}},
    // The region: scrolled, grown, cut by the picture's edge.
    {{"Left", Set([](TEffectSettings& s) { s.Left = 13; }), 11},
     {"Width", Set([](TEffectSettings& s) { s.Width = 61; }), 11},
     {"beyond the right edge", Set([](TEffectSettings& s) { s.Left = 40, s.Width = 900; }), 11},
     {"cut the same way: reused", Set([](TEffectSettings& s) { s.Width = 50; }), 0, false}},
    // The picture: changed in place (and said so), or another object.
    {{"pixels changed in place",
      [](TInputs& in, TDrawEffect& cached) {
          in.Picture.ScanLine(30)[60] ^= 0xff;
          in.Picture.ScanLine(0)[0] ^= 0xff; // above and left of the region: read by scanning from the origin
          cached.SourceChanged();
      },
      11},
     {"another picture", [](TInputs& in, TDrawEffect&) { in.Source = &in.Other; }, 11},
     {"the first one again", [](TInputs& in, TDrawEffect&) { in.Source = &in.Picture; }, 11}},
    // The thread count changes nothing that is kept.
    {{"two threads, Detail", [](TInputs& in, TDrawEffect&) { in.Threads = 2, in.Settings.Detail = 60; }, 1},
     {"two threads, Left (scaling beside the sketch)", [](TInputs& in, TDrawEffect&) { in.Settings.Left = 5; }, 11},
     {"one thread, ColorScale", [](TInputs& in, TDrawEffect&) { in.Threads = 1, in.Settings.ColorScale = 20; }, 8},
     {"three threads, Brightness", [](TInputs& in, TDrawEffect&) { in.Threads = 3, in.Settings.Brightness = -30; }, 4}},
};

std::string CaseName(const ::testing::TestParamInfo<std::vector<TChange>>& info)
{
    const char* names[] = {"SketchTone", "SketchEdges", "ColorTone", "ColorStepOne",
                           "Blend",      "Region",      "Source",    "Threads"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Groups, DrawEffectCache, ::testing::ValuesIn(Cases), CaseName);

// A cancel at any point of a render that changes every chain: nothing it
// half-wrote may stand in for a later render, whether that render asks for
// the new settings, goes back to the old ones or keeps the old first steps
// (sketch edges, scaling) with the new later ones. With two threads the
// scaling runs beside the sketch.
TEST(DrawEffectCacheCancel, NothingHalfWrittenIsReused)
{
    struct TPoint {
        const char* Event;
        int Sighting;
    };
    // A percentage counts as "<step> <percent>": the scaling's last one comes
    // when the scaling has ended, also when it ran on a thread of its own.
    const TPoint points[] = {
        {"Blur Row", 1},     {"Draw Sketch 50%", 1}, {"step", 3},     {"Color Scale", 1}, {"Color Scale 100%", 1},
        {"Color Smooth", 1}, {"Blur Column", 2},     {"Contrast", 1}, {"Brightness", 2},  {"step", 10}};
    TInputs a;
    TInputs b;
    b.Settings.Sharper = 15;
    b.Settings.ColorScale = 4;
    b.Settings.ColorSmooth = 4;
    b.Settings.Saturation = 50;
    b.Settings.Detail = 80;
    TInputs c = b;
    c.Settings.Sharper = a.Settings.Sharper;
    c.Settings.ColorScale = a.Settings.ColorScale;
    b.Source = c.Source = a.Source; // one picture: what is kept for it counts
    const TInputs* nexts[] = {&a, &b, &c};
    const char* const nextNames[] = {"the old settings", "the new ones", "the old first steps"};
    const TOutput fresh[] = {Fresh(a), Fresh(b), Fresh(c)};
    ASSERT_NE(fresh[0], fresh[1]);
    ASSERT_NE(fresh[0], fresh[2]);
    ASSERT_NE(fresh[1], fresh[2]);
    for (int threads : {1, 2}) {
        for (const TPoint& point : points) {
            for (int next = 0; next < 3; ++next) {
                TDrawEffect cached;
                cached.SetCaching(true);
                cached.SetThreadCount(threads);
                cached.SetSettings(a.Settings, a.Source);
                ASSERT_TRUE(cached.Render());

                TProgressLog log;
                TCancelToken cancel;
                int seen = 0;
                std::string step;
                log.OnReport = [&](const std::string& e) {
                    const bool percent = e.back() == '%';
                    if (!percent && e != "step" && e.rfind("max ", 0) != 0)
                        step = e;
                    if ((percent ? step + " " + e : e) == point.Event && ++seen == point.Sighting)
                        cancel.Request();
                };
                cached.SetProgress(log.Sink());
                cached.SetSettings(b.Settings, b.Source);
                EXPECT_FALSE(cached.Render(cancel)) << point.Event;
                ASSERT_EQ(seen, point.Sighting) << point.Event;

                cached.SetProgress({});
                cached.SetSettings(nexts[next]->Settings, nexts[next]->Source);
                ASSERT_TRUE(cached.Render());
                EXPECT_EQ(Output(cached), fresh[next]) << threads << " threads, cancelled at " << point.Event << " "
                                                       << point.Sighting << ", then " << nextNames[next];
            }
        }
    }
}

// A renderer that leaves caching off, and a preview that switches it off,
// compute every render afresh: a picture changed in place needs no word.
TEST(DrawEffectCache, OffComputesEveryRenderAfresh)
{
    for (bool wasOn : {false, true}) {
        TInputs in;
        TDrawEffect effect;
        effect.SetCaching(wasOn);
        effect.SetSettings(in.Settings, in.Source);
        ASSERT_TRUE(effect.Render());
        effect.SetCaching(false);
        in.Picture.ScanLine(20)[50] ^= 0x80;
        ASSERT_TRUE(effect.Render());
        EXPECT_EQ(Output(effect), Fresh(in)) << wasOn;
    }
}

} // namespace
