#include "engine/ColorSmooth.h"
#include "engine/CancelToken.h"
#include "engine/RowsReady.h"
#include "engine/WorkerPool.h"
#include "tests/engine/EffectReference.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>

using EngineTest::TProgressLog;
using Reference::TBytes;

namespace {

TBytes Bytes(int w, int h, std::uint32_t seed, int levels)
{
    TBitmap p = EngineTest::RandomPicture(w, h, seed, levels);
    return Reference::RegionOf(p, 0, 0, w, h);
}

TBytes Smoothed(const TBytes& in, int w, int h, int r, int type, TMedianMethod method, TWorkerPool* pool = nullptr,
                const TProgressReporter& progress = {})
{
    TBytes out(in.size(), 99);
    EXPECT_TRUE(SmoothColorBuffer(in.data(), out.data(), w, h, r, type, progress, pool, method));
    return out;
}

TEST(ColorSmooth, EveryMethodEqualsThePlainVersion)
{
    TWorkerPool pool(3);
    std::uint32_t seed = 100;
    const int sizes[][2] = {{7, 7}, {9, 12}, {40, 17}, {150, 11}, {13, 30}};
    for (auto& size : sizes)
        for (int levels : {2, 3, 256})
            for (int r = 1; r <= 5; ++r) {
                int w = size[0], h = size[1];
                TBytes in = Bytes(w, h, ++seed, levels);
                for (int type : {0, 1}) {
                    TBytes expected = Reference::Smooth(in, w, h, r, type);
                    std::string what = std::to_string(w) + " x " + std::to_string(h) + " r " + std::to_string(r) +
                                       " levels " + std::to_string(levels) + " type " + std::to_string(type);
                    EXPECT_EQ(Smoothed(in, w, h, r, type, TMedianMethod::Automatic), expected) << what;
                    EXPECT_EQ(Smoothed(in, w, h, r, type, TMedianMethod::Histogram), expected) << what;
                    EXPECT_EQ(Smoothed(in, w, h, r, type, TMedianMethod::Network, &pool), expected) << what;
                }
            }
}

TEST(ColorSmooth, NetworksOnManyBlackAndWhiteWindows)
{
    // Windows of two values probe every comparison of a selection network.
    EngineTest::WithEachVectorWidth([&](const char* width) {
        for (int r = 1; r <= 3; ++r) {
            int w = 900, h = 2 * r + 9;
            TBytes in = Bytes(w, h, 7u + r, 2);
            EXPECT_EQ(Smoothed(in, w, h, r, 0, TMedianMethod::Network), Reference::Smooth(in, w, h, r, 0))
                << r << ", " << width;
            TBytes photo = Bytes(w, h, 17u + r, 256);
            EXPECT_EQ(Smoothed(photo, w, h, r, 0, TMedianMethod::Network), Reference::Smooth(photo, w, h, r, 0))
                << r << ", " << width;
        }
    });
}

TEST(ColorSmooth, LargeRadiusByCounting)
{
    TBytes in = Bytes(45, 40, 3, 256);
    TBytes few = Bytes(45, 40, 4, 3);
    for (int r : {10, 19}) {
        EXPECT_EQ(Smoothed(in, 45, 40, r, 0, TMedianMethod::Automatic), Reference::Smooth(in, 45, 40, r, 0)) << r;
        EXPECT_EQ(Smoothed(few, 45, 40, r, 0, TMedianMethod::Automatic), Reference::Smooth(few, 45, 40, r, 0)) << r;
        EXPECT_EQ(Smoothed(in, 45, 40, r, 1, TMedianMethod::Automatic), Reference::Smooth(in, 45, 40, r, 1)) << r;
    }
}

TEST(ColorSmooth, ManyColoursAndFarJumpsByCounting)
{
    // Stripes where nearly every pixel has its own colour, and between them
    // a chequerboard of black and white: over ten thousand colour numbers in
    // a block of a strip, and in the chequerboard a median that leaps across
    // all of them, up and down, as a window moves from black to white.
    const int w = 192, h = 300;
    TBytes in(std::size_t(w) * h * 3);
    std::mt19937 rng(12);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &in[(std::size_t(y) * w + x) * 3];
            if (x % 64 < 40) {
                p[0] = std::uint8_t(rng());
                p[1] = std::uint8_t(rng());
                p[2] = std::uint8_t(1 + rng() % 254);
            } else {
                p[0] = p[1] = p[2] = (x / 7 + y / 7) % 2 ? 255 : 0;
            }
        }
    TWorkerPool pool(2);
    for (int r : {4, 11, 19}) {
        TBytes expected = Reference::Smooth(in, w, h, r, 0);
        EXPECT_EQ(Smoothed(in, w, h, r, 0, TMedianMethod::Histogram), expected) << r;
        EXPECT_EQ(Smoothed(in, w, h, r, 0, TMedianMethod::Histogram, &pool), expected) << r;
    }
}

TEST(ColorSmooth, TallRegionsByCountingInBlocksOfRows)
{
    // Counting works down a strip a block of rows at a time; the windows
    // that straddle two blocks, flat areas and the last short block.
    const int w = 37, h = 701;
    TBytes photo = Bytes(w, h, 21, 256);
    TBytes few = Bytes(w, h, 22, 2);
    for (int r : {4, 17}) {
        EXPECT_EQ(Smoothed(photo, w, h, r, 0, TMedianMethod::Histogram), Reference::Smooth(photo, w, h, r, 0)) << r;
        EXPECT_EQ(Smoothed(few, w, h, r, 0, TMedianMethod::Histogram), Reference::Smooth(few, w, h, r, 0)) << r;
    }
}

TEST(ColorSmooth, WindowsBeyondSixteenBitCounts)
{
    // 261 x 261 = 68121 pixels: more than a 16-bit count holds. The engine
    // never asks for it (the settings are held to radius 19), but the
    // smoothing itself stays exact.
    const int w = 266, h = 263, r = 130;
    TBytes in = Bytes(w, h, 8, 256);
    EXPECT_EQ(Smoothed(in, w, h, r, 0, TMedianMethod::Histogram), Reference::Smooth(in, w, h, r, 0));
    // Nearly flat: one colour fills more of a window than 16 bits count.
    TBytes flat(std::size_t(w) * h * 3, 90);
    std::mt19937 rng(9);
    for (int i = 0; i < 800; ++i)
        flat[(rng() % (w * h)) * 3 + rng() % 3] = std::uint8_t(rng() % 2 ? 250 : 3);
    EXPECT_EQ(Smoothed(flat, w, h, r, 0, TMedianMethod::Histogram), Reference::Smooth(flat, w, h, r, 0));
}

TEST(ColorSmooth, LongRunsOfOneColour)
{
    // Flat stretches longer than the longest run the counting method keeps
    // (255), with a few odd pixels.
    const int w = 700, h = 23;
    TBytes in(std::size_t(w) * h * 3, 90);
    std::mt19937 rng(4);
    for (int i = 0; i < 60; ++i)
        in[(rng() % (w * h)) * 3 + rng() % 3] = std::uint8_t(rng());
    for (int r : {4, 10})
        EXPECT_EQ(Smoothed(in, w, h, r, 0, TMedianMethod::Histogram), Reference::Smooth(in, w, h, r, 0)) << r;
}

TEST(ColorSmooth, ReusedSmootherKeepsNoTraceOfEarlierCalls)
{
    TColorSmoother smoother;
    std::uint32_t seed = 40;
    auto check = [&](int w, int h, int r, int levels) {
        TBytes in = Bytes(w, h, ++seed, levels), out(in.size());
        ASSERT_TRUE(smoother.Smooth(in.data(), out.data(), w, h, r, 0, {}, nullptr, TMedianMethod::Histogram));
        EXPECT_EQ(out, Reference::Smooth(in, w, h, r, 0)) << w << " x " << h << " r " << r;
    };
    check(60, 30, 4, 256);
    check(31, 50, 10, 3);
    // A cancel between columns, then the next call.
    TBytes in = Bytes(300, 40, 9, 256), out(in.size());
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string&) { cancel.Request(); };
    EXPECT_FALSE(smoother.Smooth(in.data(), out.data(), 300, 40, 5, 0, TProgressReporter(log.Sink()), nullptr,
                                 TMedianMethod::Histogram, &cancel));
    check(45, 45, 6, 256);
}

TEST(ColorSmooth, MedianOrdersRedThenGreenThenBlue)
{
    // One 3 x 3 window: the packed order puts a colour with more red above
    // any colour with less, whatever its green.
    TBytes in(27, 0);
    auto set = [&](int i, int b, int g, int r) {
        in[i * 3] = std::uint8_t(b);
        in[i * 3 + 1] = std::uint8_t(g);
        in[i * 3 + 2] = std::uint8_t(r);
    };
    set(0, 0, 255, 1); // red 1 beats every red 0
    set(1, 0, 255, 1);
    set(2, 0, 255, 1);
    set(3, 0, 255, 1);
    set(4, 255, 0, 1); // same red, less green: the smallest of the red-1 colours
    set(5, 200, 200, 0);
    set(6, 200, 200, 0);
    set(7, 200, 200, 0);
    set(8, 200, 200, 0);
    TBytes out = Smoothed(in, 3, 3, 1, 0, TMedianMethod::Automatic);
    EXPECT_EQ(out[12], 255);
    EXPECT_EQ(out[13], 0);
    EXPECT_EQ(out[14], 1);
}

TEST(ColorSmooth, BordersAndNarrowRegionsKeepTheirColours)
{
    TBytes in = Bytes(10, 10, 5, 256);
    EXPECT_EQ(Smoothed(in, 10, 10, 19, 0, TMedianMethod::Automatic), in);
    EXPECT_EQ(Smoothed(in, 10, 10, 5, 1, TMedianMethod::Automatic), in); // 11 > 10
    EXPECT_EQ(Smoothed(in, 10, 10, INT_MAX, 0, TMedianMethod::Automatic), in);
    EXPECT_EQ(Smoothed(in, 10, 10, -3, 0, TMedianMethod::Automatic), in);
    TBytes out = Smoothed(in, 10, 10, 2, 0, TMedianMethod::Automatic);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            if (x >= 2 && y >= 2 && x <= 7 && y <= 7)
                continue;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(out[(y * 10 + x) * 3 + c], in[(y * 10 + x) * 3 + c]);
        }
    }
}

TEST(ColorSmooth, ReportsAfterEachCentreColumn)
{
    TBytes in = Bytes(9, 6, 5, 256);
    TProgressLog log;
    Smoothed(in, 9, 6, 2, 0, TMedianMethod::Automatic, nullptr, TProgressReporter(log.Sink()));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"0%", "25%", "50%", "75%", "100%"}));

    // Exactly 2r+1 wide: one smoothable column, reported as done.
    log.Events.clear();
    TBytes narrow = Bytes(5, 6, 5, 256);
    TBytes out = Smoothed(narrow, 5, 6, 2, 0, TMedianMethod::Automatic, nullptr, TProgressReporter(log.Sink()));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"100%"}));
    EXPECT_EQ(out, Reference::Smooth(narrow, 5, 6, 2, 0));

    // Too low for a window, but wide enough: the columns still report.
    log.Events.clear();
    Smoothed(in, 9, 4, 2, 0, TMedianMethod::Automatic, nullptr, TProgressReporter(log.Sink()));
    EXPECT_EQ(log.Events.size(), 5u);
}

TEST(ColorSmooth, CancelStops)
{
    TBytes in = Bytes(200, 50, 5, 256), out(in.size());
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string&) { cancel.Request(); };
    EXPECT_FALSE(SmoothColorBuffer(in.data(), out.data(), 200, 50, 2, 0, TProgressReporter(log.Sink()), nullptr,
                                   TMedianMethod::Automatic, &cancel));
    EXPECT_EQ(log.Events.size(), std::size_t(SmoothStrip)); // the first strip's columns, then nothing
}

} // namespace

namespace {

// Writes `in` into `buffer` a few rows at a time on a thread of its own,
// saying each time how far it is, as the colour scaling does.
void WriteSlowly(const TBytes& in, TBytes& buffer, int w, int h, int rowsAtATime, TRowsReady& ready)
{
    const std::size_t rowBytes = std::size_t(w) * 3;
    for (int y = 0; y < h; y += rowsAtATime) {
        const int end = std::min(h, y + rowsAtATime);
        std::copy(in.begin() + std::ptrdiff_t(y * rowBytes), in.begin() + std::ptrdiff_t(end * rowBytes),
                  buffer.begin() + std::ptrdiff_t(y * rowBytes));
        ready.Publish(end);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ready.Finish();
}

struct TPercents final : TStepBar {
    std::vector<int> Values;
    void SetPosition(int percent) override { Values.push_back(percent); }
};

} // namespace

TEST(ColorSmooth, FollowingAWriterEqualsThePlainVersion)
{
    // Rows not yet written hold a colour the input never has, so a window
    // read too early shows in the result.
    TWorkerPool pool(3);
    struct TCase {
        int W, H, R, Type, Levels;
    };
    const TCase cases[] = {
        {64, 700, 5, 0, 256}, // by counting, several stretches of rows
        {150, 300, 17, 0, 3}, // by counting, a window taller than a stretch's share
        {90, 120, 2, 0, 256}, // by network: waits for the whole buffer
        {90, 120, 5, 1, 256}, // the maximum: waits too
        {9, 40, 5, 0, 256}, // no centre column
        {40, 9, 5, 0, 256}, // no centre row
    };
    for (const TCase& c : cases)
        for (TWorkerPool* workers : {static_cast<TWorkerPool*>(nullptr), &pool}) {
            const TBytes in = Bytes(c.W, c.H, std::uint32_t(c.W * c.H), c.Levels);
            TBytes scaled(in.size(), 0);
            for (std::size_t i = 0; i < scaled.size(); i += 3)
                scaled[i + 1] = 1; // 0,1,0 is not among the random levels
            TBytes out(in.size(), 99);
            TRowsReady ready(WorkerCount(workers) + 1, nullptr);
            std::thread writer([&] { WriteSlowly(in, scaled, c.W, c.H, 7, ready); });
            TPercents percents;
            TColorSmoother smoother;
            const bool done = smoother.SmoothFollowing(scaled.data(), out.data(), c.W, c.H, c.R, c.Type, ready,
                                                       TProgressReporter({&percents, nullptr, nullptr}), workers);
            writer.join();
            EXPECT_TRUE(done);
            EXPECT_EQ(out, Reference::Smooth(in, c.W, c.H, c.R, c.Type))
                << c.W << " x " << c.H << " r " << c.R << " type " << c.Type << (workers ? ", pool" : "");
            if (c.W <= 2 * c.R) // no centre column: nothing to report
                continue;
            ASSERT_FALSE(percents.Values.empty());
            EXPECT_TRUE(std::is_sorted(percents.Values.begin(), percents.Values.end()));
            EXPECT_EQ(percents.Values.back(), 100);
        }
}

TEST(ColorSmooth, FollowingStopsOnACancelWhileWaiting)
{
    // The writer never gets anywhere; the cancel alone must end the wait.
    const int w = 80, h = 60;
    TBytes in = Bytes(w, h, 5, 256), out(in.size());
    TCancelToken cancel;
    TRowsReady ready(2, &cancel);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel.Request();
    });
    TColorSmoother smoother;
    EXPECT_FALSE(smoother.SmoothFollowing(in.data(), out.data(), w, h, 5, 0, ready, {}, nullptr,
                                          TMedianMethod::Automatic, &cancel));
    canceller.join();
}
