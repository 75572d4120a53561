#include "engine/ColorStep.h"
#include "engine/CancelToken.h"
#include "engine/RowsReady.h"
#include "engine/ToneTables.h"
#include "engine/WorkerPool.h"
#include "tests/engine/EffectReference.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <array>

using EngineTest::TProgressLog;
using Reference::TBytes;

namespace {

using TTable = std::array<std::uint8_t, ColorTableSize>;

// A table whose row 1 holds the given boundaries.
TTable TableWithRow(std::vector<int> boundaries, int row = 1)
{
    TTable t{};
    std::uint8_t* r = t.data() + (row - 1) * ColorTableRowSize;
    r[0] = std::uint8_t(boundaries.size());
    for (std::size_t i = 0; i < boundaries.size(); ++i)
        r[1 + i] = std::uint8_t(boundaries[i]);
    return t;
}

TBitmap Grey(std::vector<std::vector<int>> rows)
{
    TBitmap p(int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                p.ScanLine(y)[x * 3 + c] = std::uint8_t(rows[y][x]);
    return p;
}

TBytes Scale(const TBitmap& p, int scaleType, const TTable& table, int scale = 1, TRegion r = {},
             bool fromOrigin = true, TWorkerPool* pool = nullptr)
{
    if (r.Width == 0)
        r = {0, 0, p.Width(), p.Height()};
    TColorStep step;
    step.SetPool(pool);
    step.LoadPicture(&p, r.Left, r.Top, r.Width, r.Height);
    EXPECT_TRUE(step.ScaleColors(scaleType, fromOrigin, scale, table.data(), ColorTableSize));
    return TBytes(step.Scaled(), step.Scaled() + r.Pixels() * 3);
}

std::vector<int> Channel(const TBytes& b, int c = 0)
{
    std::vector<int> out;
    for (std::size_t i = c; i < b.size(); i += 3)
        out.push_back(b[i]);
    return out;
}

TEST(BandRow, PairsAndTheTopBand)
{
    TTable t = TableWithRow({0, 64, 128, 192, 255});
    TBandRow row;
    BuildBandRow(t.data(), ColorTableSize, 1, row);
    EXPECT_EQ(row.Pairs, 6);
    EXPECT_EQ(row.Match[100], 1);
    EXPECT_EQ(row.Match[200], 3);
    EXPECT_EQ(row.Match[0], 0);
    EXPECT_EQ(row.Match[255], -1); // no band holds 255
    EXPECT_EQ(row.Initial, 3); // the band of 254

    BuildBandRow(t.data(), ColorTableSize, 2, row); // an empty row: count 0
    EXPECT_EQ(row.Pairs, 1);
    EXPECT_EQ(row.Match[0], -1);
    EXPECT_EQ(row.Initial, 0);
}

TEST(BandRow, LastPairsReachPastTheRowAndTheTable)
{
    TTable t{};
    EngineTest::FillColorTable(t.data());
    t[ColorTableSize - 1] = 250; // the spare byte after the last row
    TBandRow row;
    BuildBandRow(t.data(), ColorTableSize, 142, row); // 128 boundaries
    ASSERT_EQ(row.Pairs, 129);
    EXPECT_EQ(row.Low[127], 255);
    EXPECT_EQ(row.High[127], 250); // the spare byte
    EXPECT_EQ(row.Low[128], 250);
    EXPECT_EQ(row.High[128], 0); // past the end: 0, matches nothing
    EXPECT_EQ(row.Match[252], 125); // boundaries 251 and 253

    // Row 141 reads the next row's count and first boundary.
    BuildBandRow(t.data(), ColorTableSize, 141, row);
    EXPECT_EQ(row.Low[128], 128);
    EXPECT_EQ(row.High[128], 0);

    // Scales beyond the table read nothing but zeros.
    BuildBandRow(t.data(), ColorTableSize, 1000, row);
    EXPECT_EQ(row.Pairs, 1);
    EXPECT_EQ(row.Match[7], -1);
}

TEST(ScaleFixed, LowerBoundaryOfTheBand)
{
    TTable t = TableWithRow({0, 64, 128, 192, 255});
    TBitmap p = Grey({{100, 200, 0, 64, 191}});
    EXPECT_EQ(Channel(Scale(p, 1, t)), (std::vector<int>{64, 192, 0, 64, 128}));
}

TEST(ScaleFixed, WhiteTakesTheTopBandThenCarriesTheBandBefore)
{
    TTable t = TableWithRow({0, 64, 128, 192, 255});
    TBitmap p = Grey({{255, 100, 255}, {255, 30, 255}});
    EXPECT_EQ(Channel(Scale(p, 1, t)), (std::vector<int>{192, 64, 64, 64, 0, 0}));
}

TEST(ScaleFixed, EqualsThePlainVersion)
{
    std::mt19937 rng(5);
    TWorkerPool pool(3);
    for (int round = 0; round < 30; ++round) {
        TTable t{};
        EngineTest::FillColorTable(t.data());
        if (round % 3 == 0)
            for (auto& b : t) // any bytes at all, as a damaged file could hold
                b = std::uint8_t(rng());
        int w = 1 + int(rng() % 40), h = 1 + int(rng() % 70);
        TBitmap p = EngineTest::RandomPicture(w, h, rng(), round % 2 ? 256 : 4);
        int scale = 1 + int(rng() % 142);
        TBytes expected(std::size_t(w) * h * 3);
        Reference::ScaleFixed(p, 0, 0, w, h, t.data(), scale, expected);
        EXPECT_EQ(Scale(p, 1, t, scale), expected) << round;
        EXPECT_EQ(Scale(p, 1, t, scale, {}, true, &pool), expected) << round;
    }
}

TEST(ScaleAverage, FlatPictureBecomesItsColour)
{
    TTable t{};
    EngineTest::FillColorTable(t.data());
    TBitmap p(7, 5);
    p.Fill(30, 140, 220);
    TBytes out = Scale(p, 2, t, 10);
    for (std::size_t i = 0; i < out.size(); i += 3)
        ASSERT_TRUE(out[i] == 30 && out[i + 1] == 140 && out[i + 2] == 220);
}

TEST(ScaleAverage, RunningBlendInJoiningOrder)
{
    TTable t = TableWithRow({0, 128, 255});
    // Seed (0,0); its right neighbour joins first, then the seed itself and
    // the third pixel as neighbours of it: list 20, 10, 40. Start at the
    // middle (10), blend (20+40)/2 = 30 -> 20, then (10+10)/2 -> 15.
    EXPECT_EQ(Channel(Scale(Grey({{10, 20, 40}}), 2, t)), (std::vector<int>{15, 15, 15}));
    // 2 x 2: below, right, below-right join from the seed, then the seed from
    // below: list 40, 100, 60, 0. Start 60; (40+0)/2 = 20 -> 40; (100+60)/2 =
    // 80 -> 60.
    EXPECT_EQ(Channel(Scale(Grey({{0, 100}, {40, 60}}), 2, t)), (std::vector<int>{60, 60, 60, 60}));
}

TEST(ScaleAverage, SeedOutsideItsOwnLimitsKeepsItsColour)
{
    // Blue 255 lies in no band, so the seed takes the top band [128, 255) for
    // blue: its neighbour joins, the seed itself never does.
    TTable t = TableWithRow({0, 128, 255});
    TBitmap p(2, 1);
    std::uint8_t* row = p.ScanLine(0);
    const std::uint8_t pixels[6] = {255, 10, 10, 200, 10, 10};
    std::copy(pixels, pixels + 6, row);
    TBytes out = Scale(p, 2, t);
    EXPECT_EQ(out, (TBytes{255, 10, 10, 200, 10, 10}));
    TBytes expected(6, 0);
    Reference::ScaleAverage(p, 0, 0, 2, 1, true, t.data(), 1, expected);
    EXPECT_EQ(out, expected);
}

TEST(ScaleAverage, EqualsThePlainVersion)
{
    std::mt19937 rng(9);
    for (int round = 0; round < 60; ++round) {
        TTable t{};
        EngineTest::FillColorTable(t.data());
        if (round % 4 == 0)
            for (auto& b : t)
                b = std::uint8_t(rng());
        int pw = 1 + int(rng() % 50), ph = 1 + int(rng() % 50);
        TBitmap p = round % 2 ? EngineTest::PhotoLikePicture(pw, ph, rng())
                              : EngineTest::RandomPicture(pw, ph, rng(), 2 + round % 5);
        TRegion r{int(rng() % pw), int(rng() % ph), 0, 0};
        r.Width = 1 + int(rng() % (pw - r.Left));
        r.Height = 1 + int(rng() % (ph - r.Top));
        bool fromOrigin = rng() % 2;
        // Rows of up to 4 boundaries, of up to 38, and of more: the walk keeps
        // a pixel's bands in one byte, in two or in four.
        int scale = round % 3 == 0 ? 1 + int(rng() % 3) : round % 3 == 1 ? 4 + int(rng() % 34) : 38 + int(rng() % 105);
        TBytes expected(std::size_t(r.Pixels()) * 3, 0);
        Reference::ScaleAverage(p, r.Left, r.Top, r.Width, r.Height, fromOrigin, t.data(), scale, expected);
        EXPECT_EQ(Scale(p, 2, t, scale, r, fromOrigin), expected) << round;
    }
}

TEST(ScaleColors, NoScalingOrAnUnknownMethodCopiesTheRegion)
{
    TTable t{};
    EngineTest::FillColorTable(t.data());
    TBitmap p = EngineTest::RandomPicture(9, 6, 3);
    TRegion r{2, 1, 5, 4};
    TBytes region = Reference::RegionOf(p, 2, 1, 5, 4);
    EXPECT_EQ(Scale(p, 2, t, 0, r), region);
    EXPECT_EQ(Scale(p, 1, t, -4, r), region);
    EXPECT_EQ(Scale(p, 3, t, 10, r), region);
    EXPECT_EQ(Scale(p, 0, t, 10, r), region);
}

TEST(ScaleColors, AverageProgressFromTheOrigin)
{
    // Rows above the region give negative percentages, shown as 0.
    TTable t{};
    EngineTest::FillColorTable(t.data());
    TBitmap p = EngineTest::RandomPicture(4, 6, 3);
    TProgressLog log;
    TColorStep step;
    step.SetProgress(log.Sink());
    step.LoadPicture(&p, 1, 2, 3, 3);
    ASSERT_TRUE(step.ScaleColors(2, 1, 10, t.data(), ColorTableSize));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"Color Scale", "0%", "0%", "0%", "50%", "100%", "step"}));
}

TEST(ColorStep, NeutralChainKeepsTheRegionButForSaturationZero)
{
    TBitmap p = EngineTest::RandomPicture(11, 7, 4);
    TColorStep step;
    step.LoadPicture(&p, 3, 2, 6, 5);
    TTable t{};
    ASSERT_TRUE(step.ScaleColors(2, 1, 0, t.data(), ColorTableSize));
    ASSERT_TRUE(step.SmoothColors(0, 0));
    ASSERT_TRUE(step.BlurBorders(0.0));
    ASSERT_TRUE(step.AdjustTone(0, 0, 0, 0, 0, 0));
    TBytes expected = Reference::RegionOf(p, 3, 2, 6, 5);
    TSaturationTables sat;
    BuildSaturationTables(0, sat);
    Saturate(expected.data(), expected.data(), 30, sat);
    EXPECT_EQ(TBytes(step.ColorResult(), step.ColorResult() + 90), expected);
}

TEST(ColorStep, ToneStepsReportInOrder)
{
    TBitmap p = EngineTest::RandomPicture(4, 3, 4);
    TProgressLog log;
    TColorStep step;
    step.SetProgress(log.Sink());
    step.LoadPicture(&p, 0, 0, 4, 3);
    TTable t{};
    ASSERT_TRUE(step.ScaleColors(2, 1, 0, t.data(), ColorTableSize));
    ASSERT_TRUE(step.SmoothColors(0, 0));
    ASSERT_TRUE(step.BlurBorders(0.0));
    ASSERT_TRUE(step.AdjustTone(0, 0, 0, 0, 0, 0));
    const std::vector<std::string> expected = {
        "Color Scale", "0%",   "50%",  "100%",     "step",       "Color Smooth", "step", "Brightness", "0%",
        "50%",         "100%", "step", "Contrast", "0%",         "50%",          "100%", "step",       "Saturation",
        "0%",          "50%",  "100%", "step",     "Brightness", "0%",           "50%",  "100%",       "step"};
    EXPECT_EQ(log.Events, expected);
}

TEST(ColorStep, CancelBetweenScannedPixelsStopsTheScaling)
{
    TTable t{};
    EngineTest::FillColorTable(t.data());
    TBitmap p = EngineTest::RandomPicture(30, 30, 4);
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string& e) {
        if (e == "10%")
            cancel.Request();
    };
    TColorStep step;
    step.SetProgress(log.Sink());
    step.SetCancel(&cancel);
    step.LoadPicture(&p, 0, 0, 30, 30);
    EXPECT_FALSE(step.ScaleColors(2, 1, 30, t.data(), ColorTableSize));
    EXPECT_EQ(log.Count("step"), 0);
    EXPECT_EQ(log.PercentsOf("Color Scale").back(), "10%");
}

} // namespace

namespace {

// Copies the output rows the moment they are said to be final, on the
// scaling's own thread: a row written after that differs from its copy.
class TRowsSnapshot final : public TRowsReady {
public:
    explicit TRowsSnapshot(const TColorStep& step)
        : TRowsReady(2, nullptr)
        , step_(step)
        , copy_(std::size_t(step.Width()) * step.Height() * 3)
    {
    }
    void Publish(int rows) override
    {
        const std::size_t rowBytes = std::size_t(step_.Width()) * 3;
        for (rows = std::min(rows, step_.Height()); copied_ < rows; ++copied_)
            std::copy_n(step_.Scaled() + copied_ * rowBytes, rowBytes,
                        copy_.begin() + std::ptrdiff_t(copied_ * rowBytes));
        TRowsReady::Publish(rows);
    }
    int Copied() const { return copied_; }
    const TBytes& Copy() const { return copy_; }

private:
    const TColorStep& step_;
    TBytes copy_;
    int copied_ = 0;
};

} // namespace

TEST(ScaleAverage, RowsSaidToBeFinalDoNotChangeAfterwards)
{
    std::mt19937 rng(77);
    int wholeRuns = 0;
    for (int round = 0; round < 80; ++round) {
        TTable t{};
        EngineTest::FillColorTable(t.data());
        int pw = 1 + int(rng() % 60), ph = 1 + int(rng() % 60);
        // Few levels make large regions that wander up and down. White lies
        // in no band, so a seed with a white channel takes the band of the
        // seed before for it and joins neighbours of that key, above it too;
        // dark speckles of one key but many colours show such a late join.
        TBitmap p = EngineTest::RandomPicture(pw, ph, rng(), 2 + round % 4);
        if (round % 2)
            for (int y = 0; y < ph; ++y)
                for (int i = 0; i < pw * 3; ++i)
                    p.ScanLine(y)[i] = rng() % 3 == 0 ? 255 : std::uint8_t(rng() % 40);
        TRegion r{int(rng() % pw), int(rng() % ph), 0, 0};
        r.Width = 1 + int(rng() % (pw - r.Left));
        r.Height = 1 + int(rng() % (ph - r.Top));
        const bool fromOrigin = rng() % 2;
        const int scale = round % 4 == 1 ? 1 + int(rng() % 3) : 4 + int(rng() % 30);
        TColorStep step;
        step.LoadPicture(&p, r.Left, r.Top, r.Width, r.Height);
        TRowsSnapshot snapshot(step);
        ASSERT_TRUE(step.ScaleColors(2, fromOrigin, scale, t.data(), ColorTableSize, &snapshot));
        const std::size_t published = std::size_t(snapshot.Copied()) * r.Width * 3;
        EXPECT_TRUE(
            std::equal(snapshot.Copy().begin(), snapshot.Copy().begin() + std::ptrdiff_t(published), step.Scaled()))
            << round;
        wholeRuns += snapshot.Copied() == r.Height;
    }
    // The shipped table's rows take the walk that says so.
    EXPECT_GT(wholeRuns, 60);
}
