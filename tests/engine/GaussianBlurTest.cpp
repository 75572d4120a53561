#include "engine/GaussianBlur.h"
#include "engine/CancelToken.h"
#include "engine/WorkerPool.h"
#include "tests/engine/EffectReference.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

using EngineTest::TProgressLog;
using Reference::TBytes;

namespace {

TBytes RandomBytes(int width, int height, std::uint32_t seed)
{
    TBitmap p = EngineTest::RandomPicture(width, height, seed);
    return Reference::RegionOf(p, 0, 0, width, height);
}

TEST(GaussKernel, HalfWidthsFollowTheDroppedMass)
{
    const std::pair<double, int> cases[] = {{0.05, 1}, {0.75, 1}, {1.0, 2}, {1.25, 3}, {2.5, 7}, {5.0, 14}};
    for (auto [radius, size] : cases) {
        TGaussKernel k;
        BuildGaussKernel(k, radius, 255.0, 1.0);
        EXPECT_EQ(k.Size, size) << "radius " << radius;
    }
}

TEST(GaussKernel, Weights)
{
    TGaussKernel k;
    BuildGaussKernel(k, 0.05, 255.0, 1.0);
    EXPECT_EQ(k.At(-1), 0.0f); // e^-200 underflows
    EXPECT_EQ(k.At(0), 1.0f);
    EXPECT_EQ(k.At(1), 0.0f);

    BuildGaussKernel(k, 0.75, 255.0, 1.0);
    EXPECT_NEAR(k.At(-1), 0.2256, 5e-5);
    EXPECT_NEAR(k.At(0), 0.5488, 5e-5);
    EXPECT_NEAR(k.At(1), 0.2256, 5e-5);
    EXPECT_EQ(k.At(-1), k.At(1));

    BuildGaussKernel(k, 0.0, 255.0, 1.0); // no blur at all: the identity
    EXPECT_EQ(k.Size, 1);
    EXPECT_EQ(k.At(0), 1.0f);

    // The kept weights are normalised again.
    BuildGaussKernel(k, 5.0, 255.0, 1.0);
    double sum = 0;
    for (int j = -k.Size; j <= k.Size; ++j)
        sum += k.At(j);
    EXPECT_NEAR(sum, 1.0, 1e-6);
    EXPECT_GT(k.At(0), k.At(7));
}

TEST(GaussianBlur, TinyRadiusPassesTheBufferUnchanged)
{
    TBytes in = RandomBytes(9, 7, 1), out(in.size());
    ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 9, 7, 0.05));
    EXPECT_EQ(out, in);
}

TEST(GaussianBlur, HandComputedRowOfThree)
{
    // One row 0, 255, 0 (every channel) with radius 0.75: the row pass gives
    // trunc(255 * w0) in the middle and trunc(255 * w1) at the sides; the
    // column pass of a single row sums the same pixel three times.
    TGaussKernel k;
    BuildGaussKernel(k, 0.75, 255.0, 1.0);
    const double w1 = k.At(1), w0 = k.At(0);
    TBytes in = {0, 0, 0, 255, 255, 255, 0, 0, 0}, out(9);
    ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 3, 1, 0.75));
    auto columnOf = [&](int v) { return int(std::trunc(0.0 + v * w1 + v * w0 + v * w1)); };
    int side = int(255 * w1), middle = int(255 * w0);
    EXPECT_EQ(side, 57);
    EXPECT_EQ(middle, 139);
    EXPECT_EQ(out[0], columnOf(side));
    EXPECT_EQ(out[4], columnOf(middle));
    EXPECT_EQ(out[8], columnOf(side));
}

TEST(GaussianBlur, EqualsThePlainVersionBitForBit)
{
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 1}, {1, 3}, {5, 4}, {17, 3}, {40, 33}, {70, 9}};
    // Up to 5 the kernels have a fixed tap count; 7.5 takes the general loop.
    const double radii[] = {0.05, 0.1, 0.75, 1.0, 1.25, 2.5, 5.0, 7.5};
    TWorkerPool pool(3);
    EngineTest::WithEachVectorWidth([&](const char* width) {
        std::uint32_t seed = 10;
        for (auto& size : sizes)
            for (double radius : radii) {
                int w = size[0], h = size[1];
                TBytes in = RandomBytes(w, h, ++seed), expected = in;
                Reference::GaussianBlur(in, expected, w, h, radius);
                TBytes single(in.size()), shared(in.size());
                ASSERT_TRUE(GaussianBlur(in.data(), single.data(), w, h, radius));
                ASSERT_TRUE(GaussianBlur(in.data(), shared.data(), w, h, radius, {}, &pool));
                EXPECT_EQ(single, expected) << w << " x " << h << " radius " << radius << ", " << width;
                EXPECT_EQ(shared, expected) << w << " x " << h << " radius " << radius << " on three threads";
            }
    });
}

TEST(GaussianBlur, SameBufferEqualsTwoBuffers)
{
    for (double radius : {0.75, 1.25, 5.0}) {
        TBytes in = RandomBytes(37, 29, 5), out(in.size());
        ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 37, 29, radius));
        TBytes inPlace = in;
        ASSERT_TRUE(GaussianBlur(inPlace.data(), inPlace.data(), 37, 29, radius));
        EXPECT_EQ(inPlace, out) << radius;
    }
}

TEST(GaussianBlur, AllWhiteDoesNotOverflow)
{
    TBytes in(20 * 20 * 3, 255), out(in.size());
    ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 20, 20, 5.0));
    for (std::uint8_t v : out)
        ASSERT_GE(v, 253); // each truncating pass may lose a level, never wrap
}

TEST(GaussianBlur, ReportsRowsThenColumns)
{
    TProgressLog log;
    TBytes in = RandomBytes(3, 5, 8), out(in.size());
    ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 3, 5, 1.0, log.Sink()));
    const std::vector<std::string> expected = {"Blur Row", "0%",          "25%", "50%", "75%",  "100%",
                                               "step",     "Blur Column", "0%",  "50%", "100%", "step"};
    EXPECT_EQ(log.Events, expected);
}

TEST(GaussianBlur, SingleRowAndColumnReportFull)
{
    TProgressLog log;
    TBytes in = RandomBytes(1, 1, 8), out(in.size());
    ASSERT_TRUE(GaussianBlur(in.data(), out.data(), 1, 1, 1.0, log.Sink()));
    const std::vector<std::string> expected = {"Blur Row", "100%", "step", "Blur Column", "100%", "step"};
    EXPECT_EQ(log.Events, expected);
}

TEST(GaussianBlur, CancelInTheRowPassKeepsTheRowsDone)
{
    const int w = 20, h = 10;
    TBytes in = RandomBytes(w, h, 4), expected = in;
    Reference::BlurRows(in, expected, w, h, 1.25);
    TBytes out(in.size(), 7);
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string& e) {
        if (e == "33%") // after row 3
            cancel.Request();
    };
    EXPECT_FALSE(GaussianBlur(in.data(), out.data(), w, h, 1.25, log.Sink(), nullptr, &cancel));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) {
            std::size_t i = std::size_t(y) * w * 3 + x;
            ASSERT_EQ(out[i], y <= 3 ? expected[i] : 7) << "row " << y;
        }
    EXPECT_EQ(log.Count("step"), 0);
}

TEST(GaussianBlur, CancelInTheColumnPassLeavesRowBlurredColumns)
{
    const int w = 3 * BlurColumnStrip + 5, h = 12;
    TBytes in = RandomBytes(w, h, 6), rows = in, full = in;
    Reference::BlurRows(in, rows, w, h, 2.5);
    Reference::GaussianBlur(in, full, w, h, 2.5);
    TBytes out(in.size());
    TProgressLog log;
    const int cancelAt = BlurColumnStrip + 2; // a column of the second strip
    TCancelToken cancel;
    log.OnReport = [&](const std::string& e) {
        if (log.Count("Blur Column") == 1 && e == std::to_string(cancelAt * 100 / (w - 1)) + "%")
            cancel.Request();
    };
    EXPECT_FALSE(GaussianBlur(in.data(), out.data(), w, h, 2.5, log.Sink(), nullptr, &cancel));
    // Columns are done a strip at a time: the strip that held the column is
    // complete, the ones after it are only row-blurred.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                std::size_t i = (std::size_t(y) * w + x) * 3 + c;
                ASSERT_EQ(out[i], x < 2 * BlurColumnStrip ? full[i] : rows[i]) << x << ", " << y;
            }
    EXPECT_EQ(log.Count("step"), 1);
}

TEST(GaussianBlur, CancelOnThreadsStopsWithoutCompleting)
{
    TWorkerPool pool(2);
    TBytes in = RandomBytes(64, 64, 9), out(in.size());
    TProgressLog log;
    TCancelToken cancel;
    log.OnReport = [&](const std::string& e) {
        if (e == "Blur Column")
            cancel.Request();
    };
    EXPECT_FALSE(GaussianBlur(in.data(), out.data(), 64, 64, 1.0, log.Sink(), &pool, &cancel));
    EXPECT_EQ(log.Count("step"), 1);
    EXPECT_TRUE(log.PercentsOf("Blur Column").empty());
}

} // namespace
