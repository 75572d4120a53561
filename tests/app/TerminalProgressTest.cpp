// The progress line the renderer redraws on a terminal.
#include "app/render/TerminalProgress.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TProgressState::TSnapshot At(const char* step, int percent, int position, int maximum)
{
    return {step, percent, position, maximum};
}

// The overall percentage the line shows.
int Total(const std::string& line)
{
    const std::size_t sign = line.find('%');
    std::size_t start = line.find_last_not_of("0123456789", sign - 1) + 1;
    return std::stoi(line.substr(start, sign - start));
}

TEST(TerminalProgress, TheLineShowsTheWholeRunAndTheRunningStep)
{
    double shown = 0;
    const std::string line = FormatProgressLine(At("Color Smooth", 50, 4, 10), 80, shown);
    // Four of ten steps done and half of the fifth: 45 %.
    EXPECT_EQ(line, "[##################......................]  45%  Color Smooth 50%");
    EXPECT_DOUBLE_EQ(shown, 0.45);
}

TEST(TerminalProgress, TheBarNeverRunsBackwardsNorAhead)
{
    double shown = 0;
    EXPECT_EQ(Total(FormatProgressLine(At("Blur Row", 99, 0, 3), 80, shown)), 33);
    // The last row of a step reports 100 % before the total bar moves on:
    // counting both would show the next step done.
    EXPECT_EQ(Total(FormatProgressLine(At("Blur Row", 100, 0, 3), 80, shown)), 33);
    EXPECT_EQ(Total(FormatProgressLine(At("Blur Row", 100, 1, 3), 80, shown)), 33);
    EXPECT_EQ(Total(FormatProgressLine(At("Blur Column", 0, 1, 3), 80, shown)), 33);
    EXPECT_EQ(Total(FormatProgressLine(At("Blur Column", 60, 1, 3), 80, shown)), 53);
    // Before any step names itself, and with nothing to compute.
    shown = 0;
    EXPECT_EQ(FormatProgressLine(At(nullptr, 0, 0, 10), 80, shown), "[" + std::string(40, '.') + "]   0%");
    shown = 0;
    EXPECT_EQ(Total(FormatProgressLine(At(nullptr, 0, 0, 0), 80, shown)), 100);
}

TEST(TerminalProgress, TheLineFitsTheTerminalWithoutWrapping)
{
    for (int columns : {1, 8, 20, 40, 60, 200}) {
        double shown = 0;
        const std::string line = FormatProgressLine(At("Saturation", 7, 9, 10), columns, shown);
        EXPECT_LE(int(line.size()), std::max(columns - 1, 8)) << columns;
        EXPECT_EQ(line.find('['), columns >= 40 ? 0u : std::string::npos) << line;
    }
}

} // namespace
