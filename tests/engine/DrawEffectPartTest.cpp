// A region computed as a part of the whole picture (TDrawEffect's aprons and
// TWholeScale) against the same region cut from a render of the whole
// picture.
#include "engine/Apron.h"
#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"
#include "engine/WholeScale.h"
#include "engine/WorkerPool.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>

namespace {

struct TLayers {
    TBitmap Sketch, Color, Blended;
};

TLayers LayersOf(const TDrawEffect& effect)
{
    TLayers out;
    EXPECT_TRUE(effect.GetLayers(out.Sketch, out.Color));
    effect.DrawBlended(out.Blended);
    return out;
}

TBitmap Cut(const TBitmap& picture, const TRegion& r)
{
    TBitmap part(r.Width, r.Height);
    part.CopyRect(picture, r.Left, r.Top, r.Width, r.Height, 0, 0);
    return part;
}

// What a render of the whole picture gives inside `r`.
TLayers WholeCut(const TBitmap& picture, TEffectSettings s, const TRegion& r)
{
    s.Left = s.Top = 0;
    s.Width = picture.Width();
    s.Height = picture.Height();
    TDrawEffect whole;
    whole.SetSettings(s, &picture);
    EXPECT_TRUE(whole.Render());
    const TLayers all = LayersOf(whole);
    return {Cut(all.Sketch, r), Cut(all.Color, r), Cut(all.Blended, r)};
}

::testing::AssertionResult SameLayers(const TLayers& got, const TLayers& expected)
{
    if (!(got.Sketch == expected.Sketch))
        return ::testing::AssertionFailure() << "sketch layers differ";
    if (!(got.Color == expected.Color))
        return ::testing::AssertionFailure() << "colour layers differ";
    if (!(got.Blended == expected.Blended))
        return ::testing::AssertionFailure() << "blends differ";
    return ::testing::AssertionSuccess();
}

// Both layers on, with settings that reach far: sharpening, dark areas kept,
// wide smoothing and blurs.
TEffectSettings FarReaching(int width, int height)
{
    TEffectSettings s = EngineTest::FreshSettings(width, height);
    s.DrawColor = 1;
    s.Sharper = 7;
    s.RemainDark = 1;
    s.RemainThreshold = 60;
    s.SketchSmooth = 100;
    s.ColorSmooth = 19;
    s.BorderBlur = 100;
    return s;
}

struct TPlace {
    const char* Name;
    TRegion Region;
};

// The picture is 150 x 120: wider than both aprons on every side of the
// middle region.
const TPlace Places[] = {
    {"corner", {0, 0, 40, 30}},
    {"middle", {55, 45, 40, 30}},
    {"far edge", {110, 90, 40, 30}},
    {"one column at the right edge", {149, 0, 1, 120}},
    {"the whole picture", {0, 0, 150, 120}},
};

enum class TPictureKind {
    Photo,
    // Pixels of a few levels only: many channels at 255, which lies in no
    // band of the table, so that fixed scaling carries bands from far away.
    FewLevels,
    // Every pixel unlike its neighbours: the smallest change of a blurred
    // value shows in the sketch.
    Noise,
};

struct TPartCase {
    const char* Name;
    std::function<void(TEffectSettings&)> Edit;
    TPictureKind Kind = TPictureKind::Photo;
    bool WithWholeScale = false;
};

// Test listings name the case, not the bytes of the function object.
void PrintTo(const TPartCase& c, std::ostream* os) { *os << c.Name; }

TBitmap PictureOf(TPictureKind kind)
{
    switch (kind) {
    case TPictureKind::FewLevels: return EngineTest::RandomPicture(150, 120, 3, 4);
    case TPictureKind::Noise: return EngineTest::RandomPicture(150, 120, 6);
    case TPictureKind::Photo: break;
    }
    return EngineTest::PhotoLikePicture(150, 120, 4);
}

class DrawEffectPart : public ::testing::TestWithParam<TPartCase> {};

TEST_P(DrawEffectPart, EqualsItsPlaceInTheWholePicture)
{
    const TPartCase& c = GetParam();
    const auto picture = std::make_shared<const TBitmap>(PictureOf(c.Kind));
    TEffectSettings s = FarReaching(picture->Width(), picture->Height());
    c.Edit(s);
    TCancelToken never;
    auto whole = std::make_shared<TWholeScale>(picture, s);
    ASSERT_TRUE(whole->Compute(never, nullptr));
    ASSERT_EQ(whole->RowsFinal(), picture->Height());

    TDrawEffect kept; // one caching effect across the places, as the preview has
    kept.SetCaching(true);
    kept.SetPartOfWhole(true);
    for (const TPlace& place : Places) {
        for (int threads : {1, 3}) {
            TDrawEffect fresh;
            for (TDrawEffect* effect : {&fresh, &kept}) {
                effect->SetPartOfWhole(true);
                effect->SetThreadCount(threads);
                effect->SetWholeScale(c.WithWholeScale ? whole : nullptr);
                TEffectSettings part = s;
                part.Left = place.Region.Left;
                part.Top = place.Region.Top;
                part.Width = place.Region.Width;
                part.Height = place.Region.Height;
                effect->SetSettings(part, picture.get());
                ASSERT_TRUE(effect->Render());
                EXPECT_TRUE(effect->LayersExact()) << place.Name;
                EXPECT_TRUE(SameLayers(LayersOf(*effect), WholeCut(*picture, s, place.Region)))
                    << place.Name << ", " << threads << " threads" << (effect == &kept ? ", caching" : "");
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DrawEffectPart,
    ::testing::Values(TPartCase{"average scaling from the whole picture", [](TEffectSettings&) {}, TPictureKind::Photo,
                                true},
                      TPartCase{"average scaling, few levels", [](TEffectSettings&) {}, TPictureKind::FewLevels, true},
                      TPartCase{"fixed colours", [](TEffectSettings& s) { s.ScaleType = ScaleTypeFixed; }},
                      TPartCase{"fixed colours carried from far away",
                                [](TEffectSettings& s) {
                                    s.ScaleType = ScaleTypeFixed;
                                    s.ColorScale = 3;
                                },
                                TPictureKind::FewLevels},
                      TPartCase{"largest window, square", [](TEffectSettings& s) { s.SmoothType = SmoothTypeSquare; },
                                TPictureKind::Photo, true},
                      TPartCase{"every sketch credit shows",
                                [](TEffectSettings& s) {
                                    s.Detail = 0;
                                    s.Darkness = 256;
                                    s.DrawColor = 0;
                                },
                                TPictureKind::Noise},
                      TPartCase{"sketch unsmoothed, every credit shows",
                                [](TEffectSettings& s) {
                                    s.Detail = 0;
                                    s.Darkness = 256;
                                    s.SketchSmooth = 0;
                                    s.DrawColor = 0;
                                },
                                TPictureKind::Noise},
                      TPartCase{"no colour scaling", [](TEffectSettings& s) { s.ColorScale = 0; }},
                      TPartCase{"no smoothing or blurs",
                                [](TEffectSettings& s) {
                                    s.SketchSmooth = s.ColorSmooth = s.BorderBlur = 0;
                                    s.ScaleType = ScaleTypeFixed;
                                }},
                      TPartCase{"sketch alone, black and white",
                                [](TEffectSettings& s) {
                                    s.DrawColor = 0;
                                    s.SketchType = 1;
                                }},
                      TPartCase{"colour alone, opacity mix",
                                [](TEffectSettings& s) {
                                    s.DrawSketch = 0;
                                    s.BlendMode = EffectBlendOpacity;
                                },
                                TPictureKind::Photo, true}),
    [](const ::testing::TestParamInfo<TPartCase>& param) {
        std::string name;
        for (const char* p = param.param.Name; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
        return name;
    });

// Random settings at random places, with the whole picture's scaling where
// average scaling asks for it. The same regions computed without their
// aprons differ from the whole: the comparison can fail.
TEST(DrawEffectPart, RandomSettingsAtRandomPlaces)
{
    std::mt19937 rng(17);
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(130, 110, 21));
    TDrawEffect kept;
    kept.SetCaching(true);
    kept.SetPartOfWhole(true);
    int plainDiffers = 0;
    for (int round = 0; round < 16; ++round) {
        TEffectSettings s = EngineTest::FreshSettings(picture->Width(), picture->Height());
        s.DrawColor = int(rng() % 4 != 0);
        s.DrawSketch = int(rng() % 4 != 0);
        s.SketchType = 1 + int(rng() % 2);
        s.ScaleType = 1 + int(rng() % 2);
        s.ColorScale = int(rng() % 143);
        s.ColorSmooth = int(rng() % 20);
        s.SmoothType = int(rng() % 2);
        s.BorderBlur = int(rng() % 101);
        s.SketchSmooth = int(rng() % 101);
        s.Sharper = int(rng() % 51);
        s.Brightness = int(rng() % 511) - 255;
        s.Saturation = int(rng() % 255) - 127;
        s.BlendMode = 1 + int(rng() % 2);
        const TRegion r{int(rng() % 100), int(rng() % 80), 1 + int(rng() % 60), 1 + int(rng() % 50)};
        TCancelToken never;
        auto whole = std::make_shared<TWholeScale>(picture, s);
        ASSERT_TRUE(whole->Compute(never, nullptr));
        TEffectSettings part = s;
        part.Left = r.Left;
        part.Top = r.Top;
        part.Width = r.Width;
        part.Height = r.Height;
        kept.SetThreadCount(1 + round % 2);
        kept.SetWholeScale(whole);
        kept.SetSettings(part, picture.get());
        ASSERT_TRUE(kept.Render());
        EXPECT_TRUE(kept.LayersExact()) << "round " << round;
        const TRegion shown = kept.LayerRegion();
        const TLayers expected = WholeCut(*picture, s, shown);
        EXPECT_TRUE(SameLayers(LayersOf(kept), expected)) << "round " << round;

        TDrawEffect plain;
        plain.SetSettings(part, picture.get());
        ASSERT_TRUE(plain.Render());
        plainDiffers += !SameLayers(LayersOf(plain), expected);
    }
    EXPECT_GT(plainDiffers, 8);
}

// Average scaling of a part without the whole picture's scaled colours, or
// with ones that do not serve it, walks the grown region alone: a complete
// render, but not the whole picture's pixels.
TEST(DrawEffectPart, AverageScalingWithoutServingWholeScaleIsApproximate)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(150, 120, 4));
    const auto other = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(150, 120, 5));
    TEffectSettings s = FarReaching(150, 120);
    s.Left = 55;
    s.Top = 45;
    s.Width = 40;
    s.Height = 30;
    TCancelToken never;
    const auto computed = [&](const std::shared_ptr<const TBitmap>& from, const TEffectSettings& settings) {
        auto scale = std::make_shared<TWholeScale>(from, settings);
        EXPECT_TRUE(scale->Compute(never, nullptr));
        return scale;
    };
    TEffectSettings otherRow = s, otherTable = s, fixed = s;
    otherRow.ColorScale = 11;
    otherTable.ColorTable[(10 - 1) * ColorTableRowSize + 3] ^= 1;
    fixed.ScaleType = ScaleTypeFixed;
    struct TCase {
        const char* Name;
        std::shared_ptr<const TWholeScale> Scale;
    };
    const TCase cases[] = {
        {"none", nullptr},
        {"not computed yet", std::make_shared<TWholeScale>(picture, s)},
        {"another picture", computed(other, s)},
        {"another row", computed(picture, otherRow)},
        {"another table", computed(picture, otherTable)},
        {"fixed colours", computed(picture, fixed)},
    };
    const TLayers expected = WholeCut(*picture, s, {55, 45, 40, 30});
    for (const TCase& c : cases) {
        TDrawEffect effect;
        effect.SetCaching(true);
        effect.SetPartOfWhole(true);
        effect.SetWholeScale(c.Scale);
        effect.SetSettings(s, picture.get());
        ASSERT_TRUE(effect.Render()) << c.Name;
        EXPECT_TRUE(effect.HasLayers()) << c.Name;
        EXPECT_FALSE(effect.LayersExact()) << c.Name;
        EXPECT_FALSE(SameLayers(LayersOf(effect), expected)) << c.Name;

        // The serving scale, once given, replaces the approximation.
        effect.SetWholeScale(computed(picture, s));
        ASSERT_TRUE(effect.Render());
        EXPECT_TRUE(effect.LayersExact()) << c.Name;
        EXPECT_TRUE(SameLayers(LayersOf(effect), expected)) << c.Name;
    }
}

// Rows the whole picture's walk has finished are read while it still runs.
TEST(DrawEffectPart, FinalRowsOfAWholeScaleStillComputingServe)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(150, 300, 8));
    TEffectSettings s = FarReaching(150, 300);
    s.Width = 40;
    s.Height = 20;
    auto scale = std::make_shared<TWholeScale>(picture, s);
    TCancelToken cancel;
    TDrawEffect effect;
    effect.SetPartOfWhole(true);
    effect.SetWholeScale(scale);
    effect.SetSettings(s, picture.get());
    bool partDone = false;
    const TRegion needed = WithApron({0, 0, 40, 20}, ColorApron(s), *picture);
    ASSERT_TRUE(scale->Compute(cancel, nullptr, [&](int rows) {
        if (partDone || rows < needed.Height)
            return;
        partDone = true;
        EXPECT_LT(rows, picture->Height());
        ASSERT_TRUE(effect.Render());
        EXPECT_TRUE(effect.LayersExact());
        EXPECT_TRUE(SameLayers(LayersOf(effect), WholeCut(*picture, s, {0, 0, 40, 20})));
    }));
    EXPECT_TRUE(partDone);
}

TEST(DrawEffectPart, ACancelledWholeScaleReportsNoRowsBeyondWhatItFinished)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(150, 300, 8));
    TEffectSettings s = FarReaching(150, 300);
    TWholeScale scale(picture, s);
    TCancelToken cancel;
    int told = 0;
    EXPECT_FALSE(scale.Compute(cancel, nullptr, [&](int rows) {
        told = rows;
        if (rows >= 100)
            cancel.Request();
    }));
    EXPECT_EQ(scale.RowsFinal(), told);
    EXPECT_LT(scale.RowsFinal(), picture->Height());
}

} // namespace
