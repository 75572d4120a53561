// The presets and the colours table that the build writes into the program
// directory.
#include "EffectSettings.h"
#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// Fields of packed records are compared as values (unary +): the test
// macros take references, which a packed field cannot safely bind.

const std::string ProgramDirectory = LQ_PROGRAM_DIR;

std::unique_ptr<TEffectSettings> LoadPreset(const std::string& name)
{
    auto s = std::make_unique<TEffectSettings>();
    std::memset(s.get(), 0xCD, sizeof *s);
    EXPECT_TRUE(ReadSettingsFile(ProgramDirectory + "/" + name, *s)) << name;
    return s;
}

std::array<std::uint8_t, ColorTableSize> LoadTable()
{
    std::array<std::uint8_t, ColorTableSize> table{};
    EXPECT_TRUE(ReadColorTableFile(ProgramDirectory + "/default.ctb", table));
    return table;
}

std::vector<int> Boundaries(const std::array<std::uint8_t, ColorTableSize>& table, int v)
{
    const std::uint8_t* row = table.data() + (v - 1) * ColorTableRowSize;
    return std::vector<int>(row + 1, row + 1 + row[0]);
}

// The band of value c under the colouring step's rule: pairs of the row bytes
// 1+i and 2+i for i = 0..n, the last ones reaching past the boundaries (and,
// for the last row, past the table, where the byte counts as 0); the last
// match wins. -1 for no band.
int BandOf(const std::array<std::uint8_t, ColorTableSize>& table, int v, int c)
{
    const std::size_t start = std::size_t(v - 1) * ColorTableRowSize;
    auto byteAt = [&](std::size_t k) { return start + k < table.size() ? int(table[start + k]) : 0; };
    int band = -1;
    for (int i = 0; i <= byteAt(0); ++i)
        if (byteAt(1 + i) <= c && c < byteAt(2 + i))
            band = i;
    return band;
}

TEST(ShippedData, AllSixFilesHaveTheirSizes)
{
    for (const char* name : {"default.set", "cartoon.set", "sketch.set", "linedrawing.set", "canvas.set"})
        EXPECT_EQ(std::filesystem::file_size(ProgramDirectory + "/" + name), 18430u) << name;
    EXPECT_EQ(std::filesystem::file_size(ProgramDirectory + "/default.ctb"), 18319u);
}

TEST(ShippedData, EveryTableRowIsAscendingFromZeroTo255)
{
    const auto table = LoadTable();
    for (int v = 1; v <= ColorTableRows; ++v) {
        const std::uint8_t* row = table.data() + (v - 1) * ColorTableRowSize;
        const int n = row[0];
        ASSERT_GE(n, 2) << "row " << v;
        ASSERT_LE(n, 128) << "row " << v;
        EXPECT_EQ(row[1], 0) << "row " << v;
        EXPECT_EQ(row[n], 255) << "row " << v;
        for (int k = 2; k <= n; ++k)
            ASSERT_LT(row[k - 1], row[k]) << "row " << v << " boundary " << k;
        for (int k = n + 1; k < ColorTableRowSize; ++k)
            ASSERT_EQ(row[k], 0) << "row " << v << " filler byte " << k;
    }
    EXPECT_EQ(table[ColorTableSize - 1], 0) << "the spare byte";
}

TEST(ShippedData, EveryValueBelow255HasExactlyTheBandOfItsBoundaries)
{
    const auto table = LoadTable();
    for (int v = 1; v <= ColorTableRows; ++v) {
        const std::vector<int> b = Boundaries(table, v);
        for (int c = 0; c < 255; ++c) {
            int expected = 0;
            while (b[expected + 1] <= c)
                ++expected;
            ASSERT_EQ(BandOf(table, v, c), expected) << "row " << v << " value " << c;
        }
        // A boundary is a byte, so 255 cannot lie below one: it has no band.
        EXPECT_EQ(BandOf(table, v, 255), -1) << "row " << v;
    }
}

TEST(ShippedData, TheSliderRefinesTheBandsInSmallSteps)
{
    const auto table = LoadTable();
    EXPECT_EQ(Boundaries(table, 1).size(), 3u) << "two bands at Color Scale 1";
    EXPECT_GE(Boundaries(table, ColorTableRows).size(), 30u);
    for (int v = 1; v < ColorTableRows; ++v) {
        const std::vector<int> a = Boundaries(table, v), b = Boundaries(table, v + 1);
        // At most one band more, never one fewer.
        ASSERT_GE(b.size(), a.size()) << "row " << v;
        ASSERT_LE(b.size(), a.size() + 1) << "row " << v;
        // The boundaries the two rows share slide down a little (at most about
        // 3 % of the range), never jump.
        for (std::size_t k = 1; k + 1 < a.size(); ++k) {
            ASSERT_LE(b[k], a[k]) << "row " << v << " boundary " << k;
            ASSERT_LE(a[k] - b[k], 8) << "row " << v << " boundary " << k;
        }
    }
}

TEST(ShippedData, TheDefaultPresetHoldsTheFreshDialogSettings)
{
    auto s = LoadPreset("default.set");
    EXPECT_EQ(+s->SketchType, 2);
    EXPECT_EQ(+s->Detail, 115);
    EXPECT_EQ(+s->Darkness, 68);
    EXPECT_EQ(+s->SketchSmooth, 15);
    EXPECT_EQ(+s->Sharper, 0);
    EXPECT_EQ(+s->RemainDark, 0);
    EXPECT_EQ(+s->RemainThreshold, 0);
    EXPECT_EQ(+s->RemainDarkness, 0);
    EXPECT_EQ(+s->ScaleType, 2);
    EXPECT_EQ(+s->ScanFromOrigin, 1);
    EXPECT_EQ(+s->SmoothType, 0);
    EXPECT_EQ(+s->ColorScale, 10);
    EXPECT_EQ(+s->ColorSmooth, 2);
    EXPECT_EQ(+s->BorderBlur, 25);
    EXPECT_EQ(+s->Brightness, 0);
    EXPECT_EQ(+s->Contrast, 0);
    EXPECT_EQ(+s->Saturation, 0);
    EXPECT_EQ(+s->Red, 0);
    EXPECT_EQ(+s->Green, 0);
    EXPECT_EQ(+s->Blue, 0);
    EXPECT_EQ(+s->DrawSketch, 1);
    EXPECT_EQ(+s->DrawColor, 0);
    EXPECT_EQ(+s->BlendMode, 1);
    EXPECT_EQ(+s->Opacity, 50);
    EXPECT_EQ(+s->WhiteLevel, 255);
    const auto table = LoadTable();
    EXPECT_EQ(std::memcmp(s->ColorTable, table.data(), ColorTableSize), 0);
}

// Every value lies within its control's range; one outside would silently
// become the range's end when the dialog applies the file.
void ExpectWithinControlRanges(const TEffectSettings& s, const std::string& name)
{
    SCOPED_TRACE(name);
    auto in = [](std::int32_t value, std::int32_t low, std::int32_t high) { return low <= value && value <= high; };
    EXPECT_TRUE(in(s.SketchType, 1, 2));
    EXPECT_TRUE(in(s.Detail, 0, 1024));
    EXPECT_TRUE(in(s.Darkness, 1, 256));
    EXPECT_TRUE(in(s.SketchSmooth, 0, 100));
    EXPECT_TRUE(in(s.Sharper, 0, 50));
    EXPECT_TRUE(in(s.RemainDark, 0, 1));
    EXPECT_TRUE(in(s.RemainThreshold, 0, 254));
    EXPECT_TRUE(in(s.RemainDarkness, 0, 255));
    EXPECT_TRUE(in(s.ScaleType, 1, 2));
    EXPECT_EQ(+s.ScanFromOrigin, 1);
    EXPECT_TRUE(in(s.SmoothType, 0, 1));
    EXPECT_TRUE(in(s.ColorScale, 0, 142));
    EXPECT_TRUE(in(s.ColorSmooth, 0, 19));
    EXPECT_TRUE(in(s.BorderBlur, 0, 100));
    for (std::int32_t v : {s.Brightness, s.Contrast, s.Red, s.Green, s.Blue})
        EXPECT_TRUE(in(v, -255, 255));
    EXPECT_TRUE(in(s.Saturation, -127, 127));
    EXPECT_TRUE(in(s.DrawSketch, 0, 1));
    EXPECT_TRUE(in(s.DrawColor, 0, 1));
    EXPECT_TRUE(in(s.BlendMode, 1, 2));
    EXPECT_TRUE(in(s.Opacity, 1, 99));
    EXPECT_EQ(+s.WhiteLevel, 255);
}

TEST(ShippedData, TheShortcutPresetsAreCompleteAndOfTheirKind)
{
    const auto table = LoadTable();
    auto cartoon = LoadPreset("cartoon.set");
    auto sketch = LoadPreset("sketch.set");
    auto lines = LoadPreset("linedrawing.set");
    auto canvas = LoadPreset("canvas.set");
    ExpectWithinControlRanges(*LoadPreset("default.set"), "default.set");
    for (auto* p : {cartoon.get(), sketch.get(), lines.get(), canvas.get()}) {
        ExpectWithinControlRanges(*p, "preset");
        EXPECT_EQ(std::memcmp(p->ColorTable, table.data(), ColorTableSize), 0) << "every preset carries the table";
    }

    // Cartoon: flat average colour under black-and-white outlines, multiplied.
    EXPECT_TRUE(cartoon->DrawSketch && cartoon->DrawColor);
    EXPECT_EQ(+cartoon->SketchType, 1);
    EXPECT_EQ(+cartoon->ScaleType, 2);
    EXPECT_GE(+cartoon->ColorScale, 1) << "colour scaling on";
    EXPECT_EQ(+cartoon->BlendMode, 1);
    // Sketch: grey lines only.
    EXPECT_TRUE(sketch->DrawSketch);
    EXPECT_FALSE(sketch->DrawColor);
    EXPECT_EQ(+sketch->SketchType, 2);
    // Line drawing: black-and-white lines only.
    EXPECT_TRUE(lines->DrawSketch);
    EXPECT_FALSE(lines->DrawColor);
    EXPECT_EQ(+lines->SketchType, 1);
    EXPECT_FALSE(lines->RemainDark) << "no filled dark areas in a line drawing";
    // Canvas: colour with light grey lines mixed in, softer borders than the cartoon.
    EXPECT_TRUE(canvas->DrawSketch && canvas->DrawColor);
    EXPECT_EQ(+canvas->SketchType, 2);
    EXPECT_EQ(+canvas->BlendMode, 2);
    EXPECT_LT(+canvas->Opacity, 50) << "the lines weigh less than the paint";
    EXPECT_GT(+canvas->BorderBlur, +cartoon->BorderBlur);
}

} // namespace
