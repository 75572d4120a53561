#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

// TIFF pictures (the first page), through libtiff.
//
// Stripped 16-bit RGB and grey pictures, with or without an unassociated
// alpha channel, are read here and rounded to 8 bits; every other layout
// (palette, bilevel, CMYK, YCbCr, tiles, planes, 8-bit) goes through
// libtiff's RGBA reader, except stripped 8-bit CMYK with a CMYK profile,
// which the profile converts. Alpha is composited over white, an RGB ICC
// profile converted to sRGB and the orientation tag applied.
//
// The size is checked against the program's limits and the memory at hand
// before the pixels are read; libtiff's own allocations are capped at
// TiffMemoryLimit each. libtiff's errors and warnings never reach the
// terminal: the first error becomes the TFileError's text.
TBitmap DecodeTiff(const std::uint8_t* data, std::size_t size, const std::string& name);

constexpr std::int64_t TiffMemoryLimit = std::int64_t(1) << 30;
