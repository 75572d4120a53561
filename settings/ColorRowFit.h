#pragma once

#include <cstdint>
#include <vector>

// The colours table is designed in a tone scale: a level v sits at
// (v / 255)^(1 / 1.3), which gives the dark half of the range about 60 % of
// the bands (see ColorTableDesign.cpp).
double ToneOfLevel(int level);
int LevelOfTone(double tone);

// A photo's colours, counted in cells of 8 x 8 x 8 levels.
class TColourCounts {
public:
    static constexpr int CellLevels = 8;
    static constexpr int CellsPerChannel = 256 / CellLevels;

    TColourCounts();
    void Add(std::uint8_t blue, std::uint8_t green, std::uint8_t red);
    bool Empty() const { return total_ == 0; }

    // How far the colours lie from the mean colour of their class, summed
    // (in the tone scale), where a class is the colours whose three channels
    // fall into the same bands: the regions that average colour scaling
    // joins. `boundaries` is a table row's boundaries, ascending; a channel
    // value below the first counts to the first band, one at or above the
    // last to the last.
    double SpreadWithin(const std::vector<int>& boundaries) const;

private:
    struct TSums {
        double Count = 0, Blue = 0, Green = 0, Red = 0;
    };
    std::vector<std::uint32_t> counts_;
    std::uint64_t total_ = 0;
    // Sums over all cells below each corner of the cube, (Cells + 1)^3 of
    // them, so that a class's sums (a box of cells) take eight lookups
    // whatever the photo; with the sum of squared tones, which no boundary
    // changes. Built when first needed.
    mutable std::vector<TSums> below_;
    mutable double squares_ = 0;
    const std::vector<TSums>& Below() const;
    TSums BoxSums(const int (&blue)[2], const int (&green)[2], const int (&red)[2]) const;
};

// The boundaries of a table row moved to where they split the photo's colours
// into the classes of least spread, on cell edges: for a row of three bands
// every pair of boundaries is tried; for more, starting from `boundaries`,
// each interior boundary in turn moves to the cell edge between its
// neighbours that lowers the spread most, until none moves (the nearest good
// split, which keeps the row's character). No band becomes narrower than
// `narrowestBand` in the tone scale. The first and last stay. Deterministic;
// the result is strictly ascending.
std::vector<int> LeastSpreadBoundaries(const TColourCounts& colours, const std::vector<int>& boundaries,
                                       double narrowestBand = 0.0);

// A colours table row fitted to a photo: the row's count and its first and
// last boundary stay; each boundary between them moves towards the one of the
// same rank in `target`, by `weight` (0: the row as it is, 1: the target), in
// the tone scale. The result is strictly ascending. `row` is the count
// followed by the boundaries, as the table holds it; a row that is not
// strictly ascending is left as it is.
std::vector<std::uint8_t> MovedRow(const std::vector<std::uint8_t>& row, const std::vector<int>& target, double weight);
