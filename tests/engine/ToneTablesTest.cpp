#include "engine/ToneTables.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::vector<int> ContrastOf(int contrast, std::initializer_list<int> levels)
{
    std::uint8_t table[256];
    BuildContrastTable(contrast, table);
    std::vector<int> out;
    for (int i : levels)
        out.push_back(table[i]);
    return out;
}

TEST(ContrastTable, Examples)
{
    EXPECT_EQ(ContrastFactor(255), 4065);
    EXPECT_EQ(ContrastOf(255, {0, 238, 239, 240, 252, 253, 254, 255}),
              (std::vector<int>{0, 0, 1, 18, 221, 255, 254, 255}));
    std::uint8_t table[256];
    BuildContrastTable(-255, table);
    for (int i = 0; i <= 253; ++i)
        ASSERT_EQ(table[i], 253) << i;
    EXPECT_EQ(table[254], 254);
    EXPECT_EQ(table[255], 255);
    EXPECT_EQ(ContrastFactor(50), 194);
    EXPECT_EQ(ContrastOf(50, {128, 200}), (std::vector<int>{33, 160}));
    BuildContrastTable(0, table);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(table[i], i);
}

TEST(ContrastTable, StoredValuesOutOfRangeAreHeldToTheControl)
{
    std::uint8_t a[256], b[256];
    for (auto [stored, limit] : {std::pair{1000, 255}, {INT_MAX, 255}, {-1000, -255}, {INT_MIN, -255}}) {
        BuildContrastTable(stored, a);
        BuildContrastTable(limit, b);
        EXPECT_TRUE(std::equal(a, a + 256, b)) << stored;
    }
}

TEST(SaturationTable, Factors)
{
    EXPECT_EQ(SaturationFactor(-127), 0);
    EXPECT_EQ(SaturationFactor(-1), 252);
    EXPECT_EQ(SaturationFactor(0), 255);
    EXPECT_EQ(SaturationFactor(78), 1659); // kept as stored presets expect
    EXPECT_EQ(SaturationFactor(127), 65535);
    EXPECT_EQ(SaturationFactor(500), 65535);
    EXPECT_EQ(SaturationFactor(INT_MIN), 0);
}

std::vector<int> Saturated(int saturation, std::vector<int> bgr)
{
    TSaturationTables t;
    BuildSaturationTables(saturation, t);
    std::uint8_t px[3] = {std::uint8_t(bgr[0]), std::uint8_t(bgr[1]), std::uint8_t(bgr[2])};
    Saturate(px, px, 1, t);
    return {px[0], px[1], px[2]};
}

TEST(SaturationTable, GreyAndTheNearIdentity)
{
    EXPECT_EQ(Saturated(-127, {10, 100, 200}), (std::vector<int>{103, 103, 103}));
    // K = 255, not 256: a 0 beside brighter channels becomes 1, a faint
    // channel of a nearly black pixel drops by one.
    EXPECT_EQ(Saturated(0, {0, 100, 200}), (std::vector<int>{1, 100, 200}));
    EXPECT_EQ(Saturated(0, {0, 0, 2}), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(Saturated(0, {255, 255, 255}), (std::vector<int>{255, 255, 255}));
    // K = 65535: A[c] is about 256 c and G[383] = 127 - A[127] = -32384, so
    // green 128 gives 32767 - 32384 = 383, clamped to 255.
    EXPECT_EQ(Saturated(127, {0, 128, 255}), (std::vector<int>{0, 255, 255}));
    // G[388] = 129 - 33023: green 32767 - 32894 falls below 0.
    EXPECT_EQ(Saturated(127, {100, 128, 160}), (std::vector<int>{0, 0, 255}));
}

TEST(OffsetTables, ClampWithoutOverflow)
{
    TChannelTables t;
    BuildOffsetTables(10, -10, INT_MAX, t);
    EXPECT_EQ(t.Red[250], 255);
    EXPECT_EQ(t.Red[3], 13);
    EXPECT_EQ(t.Green[5], 0);
    EXPECT_EQ(t.Green[200], 190);
    EXPECT_EQ(t.Blue[0], 255);
    BuildOffsetTables(INT_MIN, 0, 0, t);
    EXPECT_EQ(t.Red[255], 0);
    EXPECT_TRUE(!IsIdentity(t));
    BuildOffsetTables(0, 0, 0, t);
    EXPECT_TRUE(IsIdentity(t));
}

} // namespace
