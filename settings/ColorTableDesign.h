#pragma once

#include "engine/EffectSettings.h"

#include <cstdint>
#include <span>
#include <vector>

// The colours table that ships with the program: the band boundaries of
// every Color Scale value. The reasoning behind it is in ColorTableDesign.cpp.

// The ascending boundaries of the row for one Color Scale value (1..142).
std::vector<std::uint8_t> ColorTableRow(int colorScale);

// The whole table block as the settings record holds it: 142 rows of a count
// and the boundaries, zero-filled, then the spare byte.
void DesignColorTable(std::span<std::uint8_t, ColorTableSize> table);
