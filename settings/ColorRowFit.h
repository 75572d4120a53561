#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The colours table is designed in a tone scale: a level v sits at
// (v / 255)^(1 / 1.3), which gives the dark half of the range about 60 % of
// the bands (see ColorTableDesign.cpp).
double ToneOfLevel(int level);
int LevelOfTone(double tone);

// The `cuts` boundaries (levels 1..255, ascending) that split the levels
// 0..255 into cuts + 1 classes whose values spread least around their class
// means, measured in the tone scale, for the given count of each level: the
// classes a photo's own levels fall into most naturally. Exact (dynamic
// programming over prefix sums).
std::vector<int> LeastSpreadCuts(const std::array<std::uint32_t, 256>& levels, int cuts);

// How much the levels spread within the classes that `boundaries` (ascending,
// each starting a class) make, the first class starting at level 0.
double SpreadWithin(const std::array<std::uint32_t, 256>& levels, const std::vector<int>& boundaries);

// A colours table row fitted to a photo: the row's count and its first and
// last boundary stay; each boundary between them moves towards the least
// spread cut of the same rank, by `weight` (0: the row as it is, 1: the
// cuts), in the tone scale. The result is strictly ascending. `row` is the
// count followed by the boundaries, as the table holds it.
std::vector<std::uint8_t> MovedRow(const std::vector<std::uint8_t>& row, const std::vector<int>& cuts, double weight);
