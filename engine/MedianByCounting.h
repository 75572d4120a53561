#pragma once

#include "engine/CancelToken.h"
#include "engine/ColorRanks.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// Median of large windows by counting. Each centre column is walked down
// with counts of the colour numbers (TColorRanks) in the window: moving one
// row down takes out the top row stretch and adds the new bottom one, and
// the median is followed from the row before (Huang's method), so its cost
// grows with the window's width only, not with its area or the number of
// colours. The counts are kept at three levels (single numbers, blocks of 64
// and of 4096) so that a median that jumps far, at an edge between two
// colour areas, crosses the numbers in between a block at a time.
struct TCountingScratch {
    TColorRanks Ranks;
    std::vector<std::uint32_t> Index; // the colour numbers of a block of the strip
    std::vector<std::uint8_t> Runs; // how many equal numbers start at each (at most 255)
    // All zero between columns.
    std::vector<std::uint16_t> Fine16;
    std::vector<std::uint32_t> Fine32, Mid, Top;
};

struct TCountingStrip {
    const std::uint8_t* Scaled;
    std::uint8_t* Smoothed;
    int Width, Height, Radius;
    int X0, X1; // centre columns
    // Centre rows, cut to those whose window lies inside the buffer.
    int FirstRow = 0, EndRow = INT_MAX;
    const TCancelToken* Cancel = nullptr; // none: nothing cancels the strip
};

// The centre rows one pass of the counts covers; a stretch of rows this high
// (cut from the top of the interior) costs no more than a whole strip does.
int CountingBlockHeight(int radius);

// Returns false when the strip's token stopped it; the scratch is then still
// fit for the next call.
bool MedianStripByCounting(const TCountingStrip& strip, TCountingScratch& s);
