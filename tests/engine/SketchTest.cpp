#include "engine/Sketch.h"
#include "engine/CancelToken.h"
#include "engine/WorkerPool.h"
#include "tests/engine/EffectReference.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

using EngineTest::TProgressLog;

namespace {

// A picture given by its inverted values (what the sketch works on), one
// value for all three channels unless set per channel later.
TBitmap FromInverted(const std::vector<std::vector<int>>& rows)
{
    TBitmap p(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                p.ScanLine(y)[x * 3 + c] = std::uint8_t(255 - rows[y][x]);
    return p;
}

void SetInverted(TBitmap& p, int x, int y, int blue, int green, int red)
{
    p.ScanLine(y)[x * 3] = std::uint8_t(255 - blue);
    p.ScanLine(y)[x * 3 + 1] = std::uint8_t(255 - green);
    p.ScanLine(y)[x * 3 + 2] = std::uint8_t(255 - red);
}

std::vector<std::int32_t> EdgesOf(const TBitmap& p, double sharpen)
{
    TSketch sketch;
    sketch.LoadPicture(&p, 0, 0, p.Width(), p.Height());
    EXPECT_TRUE(sketch.DrawEdges(sharpen));
    return {sketch.Values(), sketch.Values() + std::size_t(p.Width()) * p.Height()};
}

std::vector<std::int32_t> SketchOf(const TBitmap& p, const TEffectSettings& s, TWorkerPool* pool = nullptr)
{
    TSketch sketch;
    sketch.SetPool(pool);
    sketch.LoadPicture(&p, s.Left, s.Top, s.Width, s.Height);
    EXPECT_TRUE(sketch.Render(s.SketchType, s.Detail, s.Darkness, s.WhiteLevel, s.RemainThreshold, s.RemainDarkness,
                              s.RemainDark != 0, s.SketchSmooth / 20.0, s.Sharper / 5.0));
    return {sketch.Values(), sketch.Values() + std::size_t(sketch.Width()) * sketch.Height()};
}

TEST(SketchEdges, SharpenedCentreInEveryChannelAndDirection)
{
    // Centre 100 in every channel; its neighbours are all lower, so every
    // comparison is sharpened. S = 1.5 keeps the products exact and lands
    // on halves, which round to even.
    TBitmap p = FromInverted({{0, 0, 0}, {0, 100, 0}, {0, 0, 0}});
    SetInverted(p, 0, 1, 90, 60, 95); // left  (blue, green, red)
    SetInverted(p, 2, 1, 70, 95, 40); // right
    SetInverted(p, 1, 0, 80, 97, 10); // above
    SetInverted(p, 1, 2, 99, 50, 98); // below
    std::vector<std::int32_t> sums = EdgesOf(p, 1.5);
    // Horizontal blue: d2 30 > d1 10, rounded twice: 45, then 67.5 -> 68.
    // Horizontal green: d2 5 <= d1 40: 60. Horizontal red: d2 60 > d1 5,
    // rounded once: 90. Vertical blue: d1 20: 30. Vertical green: d2 50 >
    // d1 3, twice: 75, then 112.5 -> 112. Vertical red: d1 90: 135.
    EXPECT_EQ(sums[4], 68 + 60 + 90 + 30 + 112 + 135);
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8})
        EXPECT_EQ(sums[i], 0) << i;
}

TEST(SketchEdges, StepsGoToTheDarkerNearNeighbour)
{
    TBitmap p = FromInverted({{0, 20, 0}, {50, 0, 0}, {0, 0, 0}});
    for (double sharpen : {0.0, 2.0}) {
        std::vector<std::int32_t> sums = EdgesOf(p, sharpen);
        const std::vector<std::int32_t> expected = {0, 60, 0, 150, 0, 0, 0, 0, 0};
        EXPECT_EQ(sums, expected) << sharpen;
    }
}

TEST(SketchEdges, ThinLineWithoutSharpeningGetsOnlyItsNeighboursCredit)
{
    TBitmap p = FromInverted({{0, 0, 0, 0}, {0, 80, 0, 0}, {0, 0, 0, 0}});
    std::vector<std::int32_t> sums = EdgesOf(p, 0.0);
    EXPECT_EQ(sums[1 * 4 + 1], 3 * 80); // from the centre to its right only
    // With S = 1 the larger of the two steps counts in each comparison.
    sums = EdgesOf(p, 1.0);
    EXPECT_EQ(sums[1 * 4 + 1], 3 * 80 + 6 * 80);
}

TEST(SketchTone, BlackAndWhiteTurnsBlackFromAnEdgeSumOf62)
{
    // The only credit of this picture is the left pixel's step over the
    // centre, in the red channel: its edge sum is exactly d.
    TEffectSettings s = EngineTest::FreshSettings(3, 3);
    s.SketchType = 1;
    s.SketchSmooth = 0;
    for (int d : {61, 62}) {
        TBitmap p = FromInverted({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
        SetInverted(p, 0, 1, 0, 0, d);
        std::vector<std::int32_t> v = SketchOf(p, s);
        EXPECT_EQ(v[3], d == 62 ? 0 : 255) << d; // (62*68) div 32 = 131, 131 - 115 = 16
        EXPECT_EQ(v[4], 255);
    }
}

TEST(SketchTone, GreyLevelsAndTheWhiteLevel)
{
    TEffectSettings s = EngineTest::FreshSettings(3, 3);
    s.SketchSmooth = 0;
    s.Darkness = 32; // a = edge sum - detail
    s.Detail = 0;
    auto greyOf = [&](int d, int whiteLevel) {
        TBitmap p = FromInverted({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
        SetInverted(p, 0, 1, 0, 0, d);
        s.WhiteLevel = whiteLevel;
        return SketchOf(p, s)[3];
    };
    EXPECT_EQ(greyOf(60, 255), 195);
    EXPECT_EQ(greyOf(1, 255), 254); // 255 never whitens
    EXPECT_EQ(greyOf(60, 200), 195);
    EXPECT_EQ(greyOf(54, 200), 255); // 201 is above the white level
    EXPECT_EQ(greyOf(55, 200), 200);
    EXPECT_EQ(greyOf(1, 200), 255);
    EXPECT_EQ(greyOf(254, 0), 255); // 0 whitens every grey above 0
    EXPECT_EQ(greyOf(255, 0), 0);
}

TEST(SketchTone, FlatPhotoIsWhite)
{
    TBitmap p(6, 5);
    p.Fill(90, 120, 30);
    TEffectSettings s = EngineTest::FreshSettings(6, 5);
    for (int type : {1, 2})
        for (int detail : {0, 115}) {
            s.SketchType = type;
            s.Detail = detail;
            for (std::int32_t v : SketchOf(p, s))
                ASSERT_EQ(v, 255) << "type " << type << " detail " << detail;
        }
    // Any other type keeps a, which is 0 here.
    s.SketchType = 5;
    s.Detail = 0;
    for (std::int32_t v : SketchOf(p, s))
        ASSERT_EQ(v, 0);
}

TEST(SketchTone, TwoPixelWideRegionHasNoCentres)
{
    TBitmap p = EngineTest::RandomPicture(2, 9, 3);
    TEffectSettings s = EngineTest::FreshSettings(2, 9);
    s.SketchType = 7;
    s.Detail = 0;
    for (std::int32_t v : SketchOf(p, s))
        ASSERT_EQ(v, 0);
}

TEST(SketchTone, DarkAreasStayDark)
{
    // The bottom row never receives an edge credit, so only the dark-area
    // rule can change it.
    TBitmap p(5, 4);
    p.FillWhite();
    auto setPhoto = [&](int x, int b, int g, int r) {
        std::uint8_t* px = p.ScanLine(3) + x * 3;
        px[0] = std::uint8_t(b);
        px[1] = std::uint8_t(g);
        px[2] = std::uint8_t(r);
    };
    setPhoto(0, 0, 0, 0);
    setPhoto(1, 1, 0, 0);
    TEffectSettings s = EngineTest::FreshSettings(5, 4);
    s.SketchSmooth = 0;
    s.RemainDark = 1;
    s.RemainDarkness = 200;
    s.RemainThreshold = 0;
    std::vector<std::int32_t> v = SketchOf(p, s);
    EXPECT_EQ(v[3 * 5 + 0], 200); // a raised to 255 - 200 = 55: grey 200
    EXPECT_EQ(v[3 * 5 + 1], 255); // a blue of 1 is not dark at threshold 0
    s.RemainThreshold = 1;
    v = SketchOf(p, s);
    EXPECT_EQ(v[3 * 5 + 1], 200);
    s.RemainDark = 0;
    v = SketchOf(p, s);
    EXPECT_EQ(v[3 * 5 + 0], 255);
}

TEST(Sketch, EqualsThePlainVersionOnRandomSettings)
{
    std::mt19937 rng(77);
    TWorkerPool pool(3);
    for (int round = 0; round < 40; ++round) {
        int pw = 1 + int(rng() % 60), ph = 1 + int(rng() % 90);
        TBitmap p = round % 2 ? EngineTest::RandomPicture(pw, ph, rng(), 4 + round)
                              : EngineTest::PhotoLikePicture(pw, ph, rng());
        TEffectSettings s = EngineTest::FreshSettings(pw, ph);
        s.Left = int(rng() % pw);
        s.Top = int(rng() % ph);
        s.Width = 1 + int(rng() % (pw - s.Left));
        s.Height = 1 + int(rng() % (ph - s.Top));
        s.SketchType = 1 + int(rng() % 3);
        s.Detail = int(rng() % 300);
        s.Darkness = 1 + int(rng() % 256);
        s.SketchSmooth = int(rng() % 101);
        s.Sharper = int(rng() % 51);
        s.RemainDark = std::uint8_t(rng() % 2);
        s.RemainThreshold = int(rng() % 255);
        s.RemainDarkness = int(rng() % 256);
        s.WhiteLevel = int(rng() % 256);
        std::vector<std::int32_t> expected = Reference::Sketch(p, s.Left, s.Top, s.Width, s.Height, s);
        EXPECT_EQ(SketchOf(p, s), expected) << "round " << round;
        EXPECT_EQ(SketchOf(p, s, &pool), expected) << "round " << round << " on three threads";
    }
}

TEST(Sketch, EverySharpenPathEqualsThePlainVersion)
{
    // 0 and 5 (factors 0 and 1) take the table-free path, others the tables.
    TBitmap p = EngineTest::RandomPicture(67, 23, 8);
    TEffectSettings s = EngineTest::FreshSettings(67, 23);
    s.SketchSmooth = 0;
    s.Detail = 0;
    s.Darkness = 8;
    s.SketchType = 7; // keeps a as it is, so most edge sums show
    EngineTest::WithEachVectorWidth([&](const char* width) {
        for (int sharper : {0, 1, 5, 7, 50}) {
            s.Sharper = sharper;
            EXPECT_EQ(SketchOf(p, s), Reference::Sketch(p, 0, 0, 67, 23, s)) << sharper << ", " << width;
        }
    });
}

TEST(Sketch, ThreadBandsMeetWithoutLosingCredits)
{
    // Tall enough for several bands per thread, so band edges fall between
    // rows that credit each other.
    TBitmap p = EngineTest::RandomPicture(23, 301, 5);
    TEffectSettings s = EngineTest::FreshSettings(23, 301);
    s.Sharper = 7;
    std::vector<std::int32_t> expected = Reference::Sketch(p, 0, 0, 23, 301, s);
    for (int threads : {2, 3, 5}) {
        TWorkerPool pool(threads);
        EXPECT_EQ(SketchOf(p, s, &pool), expected) << threads;
    }
}

TEST(Sketch, ReportsItsSteps)
{
    TBitmap p = EngineTest::RandomPicture(5, 4, 2);
    TProgressLog log;
    TSketch sketch;
    sketch.SetProgress(log.Sink());
    sketch.LoadPicture(&p, 0, 0, 5, 4);
    ASSERT_TRUE(sketch.Render(2, 115, 68, 255, 0, 0, false, 0.75, 0.0));
    EXPECT_EQ(log.PercentsOf("Draw Sketch"), (std::vector<std::string>{"50%", "100%"}));
    EXPECT_EQ(log.Count("step"), 3);

    log.Events.clear();
    sketch.LoadPicture(&p, 0, 0, 5, 4);
    ASSERT_TRUE(sketch.Render(2, 115, 68, 255, 0, 0, false, 0.0, 0.0));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"Draw Sketch", "50%", "100%", "step"}));
}

TEST(Sketch, CancelStopsTheEdgePass)
{
    TBitmap p = EngineTest::RandomPicture(8, 12, 2);
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string& e) {
        if (e == "50%")
            cancel.Request();
    };
    TSketch sketch;
    sketch.SetProgress(log.Sink());
    sketch.SetCancel(&cancel);
    sketch.LoadPicture(&p, 0, 0, 8, 12);
    EXPECT_FALSE(sketch.Render(2, 115, 68, 255, 0, 0, false, 0.0, 0.0));
    EXPECT_EQ(log.Count("step"), 0);
    EXPECT_EQ(log.PercentsOf("Draw Sketch").back(), "50%");
}

TEST(Sketch, RegionIsCutToThePicture)
{
    TBitmap p = EngineTest::RandomPicture(10, 8, 2);
    TSketch sketch;
    sketch.LoadPicture(&p, 7, -3, 10, 20);
    EXPECT_EQ(sketch.Width(), 3);
    EXPECT_EQ(sketch.Height(), 8);
    EXPECT_EQ(sketch.Inverted()[0], 255 - p.ScanLine(0)[21]);
    sketch.LoadPicture(&p, 2, 2, -4, 5);
    EXPECT_EQ(sketch.Width() * sketch.Height(), 0);
    sketch.LoadPicture(nullptr, 0, 0, 10, 8);
    EXPECT_EQ(sketch.Width() * sketch.Height(), 0);
    EXPECT_TRUE(sketch.Render(2, 115, 68, 255, 0, 0, false, 0.75, 0.0));
}

} // namespace
