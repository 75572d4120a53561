// The presets and the colours table that the build writes into the program
// directory.
#include "settings/EffectControls.h"
#include "settings/SettingsFile.h"

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

const std::string Dir = LQ_PROGRAM_DIR;
using TTable = std::array<std::uint8_t, ColorTableSize>;

std::unique_ptr<TEffectSettings> LoadPreset(const std::string& name)
{
    auto s = std::make_unique<TEffectSettings>();
    EXPECT_TRUE(ReadSettingsFile(Dir + "/" + name, *s)) << name;
    EXPECT_EQ(std::filesystem::file_size(Dir + "/" + name), 18430u) << name;
    return s;
}

TTable LoadTable()
{
    TTable table{};
    EXPECT_TRUE(ReadColorTableFile(Dir + "/default.ctb", table));
    EXPECT_EQ(std::filesystem::file_size(Dir + "/default.ctb"), 18319u);
    return table;
}

std::vector<int> Boundaries(const TTable& table, int v)
{
    const std::uint8_t* row = table.data() + (v - 1) * ColorTableRowSize;
    return std::vector<int>(row + 1, row + 1 + row[0]);
}

// The band of value c as the colouring step finds it: pairs of the row bytes
// 1+i and 2+i for i = 0..n, the last ones reaching past the boundaries (past
// the table a byte counts as 0), the last match winning. -1 for none.
int BandOf(const TTable& table, int v, int c)
{
    const std::size_t start = std::size_t(v - 1) * ColorTableRowSize;
    auto at = [&](std::size_t k) { return start + k < table.size() ? int(table[start + k]) : 0; };
    int band = -1;
    for (int i = 0; i <= at(0); ++i)
        if (at(1 + i) <= c && c < at(2 + i))
            band = i;
    return band;
}

TEST(ShippedData, EveryTableRowRunsUpFrom0To255AndGivesEveryValueBelow255ItsBand)
{
    const TTable table = LoadTable();
    for (int v = 1; v <= ColorTableRows; ++v) {
        const std::vector<int> b = Boundaries(table, v);
        ASSERT_GE(b.size(), 2u) << "row " << v;
        ASSERT_LE(b.size(), 128u) << "row " << v;
        EXPECT_EQ(b.front(), 0) << "row " << v;
        EXPECT_EQ(b.back(), 255) << "row " << v;
        for (std::size_t k = 1; k < b.size(); ++k)
            ASSERT_LT(b[k - 1], b[k]) << "row " << v;
        for (int c = 0, band = 0; c < 255; ++c) {
            band += c == b[band + 1];
            ASSERT_EQ(BandOf(table, v, c), band) << "row " << v << " value " << c;
        }
        EXPECT_EQ(BandOf(table, v, 255), -1) << "255 lies below no byte boundary";
    }
    EXPECT_EQ(table[ColorTableSize - 1], 0) << "the spare byte";
}

TEST(ShippedData, TheSliderRefinesTheBandsInSmallSteps)
{
    const TTable table = LoadTable();
    EXPECT_EQ(Boundaries(table, 1).size(), 3u) << "two bands at Color Scale 1";
    EXPECT_GE(Boundaries(table, ColorTableRows).size(), 17u) << "sixteen bands at Color Scale 142";
    for (int v = 1; v < ColorTableRows; ++v) {
        const std::vector<int> a = Boundaries(table, v), b = Boundaries(table, v + 1);
        // At most one band more, never one fewer; the boundaries both rows
        // have slide down by at most about 3 % of the range, never jump.
        ASSERT_TRUE(b.size() == a.size() || b.size() == a.size() + 1) << "row " << v;
        for (std::size_t k = 1; k + 1 < a.size(); ++k)
            ASSERT_TRUE(b[k] <= a[k] && a[k] - b[k] <= 8) << "row " << v << " boundary " << k;
    }
}

TEST(ShippedData, TheDefaultPresetHoldsTheDesignedDialogSettingsAndTheTable)
{
    auto s = LoadPreset("default.set");
    const TEffectSettings designed = DesignedSettings();
    EXPECT_EQ(std::memcmp(s.get(), &designed, sizeof designed), 0);
    EXPECT_EQ(std::memcmp(s->ColorTable, LoadTable().data(), ColorTableSize), 0);
}

TEST(ShippedData, TheShortcutPresetsAreOfTheirKindAndWithinTheControlsRanges)
{
    const TTable table = LoadTable();
    auto cartoon = LoadPreset("cartoon.set"), sketch = LoadPreset("sketch.set");
    auto lines = LoadPreset("linedrawing.set"), canvas = LoadPreset("canvas.set");
    for (const TEffectSettings* p : {cartoon.get(), sketch.get(), lines.get(), canvas.get()}) {
        // A value outside its control's range would silently become the end
        // of the range when the dialog applies the file.
        TEffectSettings limited = *p;
        LimitToControls(limited);
        EXPECT_EQ(std::memcmp(&limited, p, sizeof limited), 0);
        EXPECT_EQ(+p->WhiteLevel, 255);
        EXPECT_EQ(std::memcmp(p->ColorTable, table.data(), ColorTableSize), 0);
    }
    // Cartoon: average colour under black-and-white outlines, multiplied.
    EXPECT_TRUE(cartoon->DrawSketch && cartoon->DrawColor && cartoon->SketchType == 1 && cartoon->ScaleType == 2 &&
                cartoon->ColorScale > 0 && cartoon->BlendMode == 1);
    // Sketch: grey lines alone.
    EXPECT_TRUE(sketch->DrawSketch && !sketch->DrawColor && sketch->SketchType == 2);
    // Line drawing: black and white lines alone, no filled dark areas.
    EXPECT_TRUE(lines->DrawSketch && !lines->DrawColor && lines->SketchType == 1 && !lines->RemainDark);
    // Canvas: colour with light grey lines mixed in, softer borders than the cartoon.
    EXPECT_TRUE(canvas->DrawSketch && canvas->DrawColor && canvas->SketchType == 2 && canvas->BlendMode == 2 &&
                canvas->Opacity < 50 && canvas->BorderBlur > cartoon->BorderBlur);
}

} // namespace
