#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// WebP pictures, through libwebp.
//
// Reading: lossy and lossless still pictures; alpha is composited over
// white, an ICCP profile converted to sRGB and the EXIF orientation applied.
// The size from the header (the canvas of an extended file) is checked
// against the program's limits and the memory at hand before anything is
// decoded. An animation is refused. Errors throw TFileError naming `name`.
TBitmap DecodeWebP(const std::uint8_t* data, std::size_t size, const std::string& name);

// The largest side WebP can store.
constexpr int WebPMaxSide = 16383;

// Writes a lossy WebP of quality 90, or a lossless one, without colour tag.
// Pictures with a side beyond WebPMaxSide, or empty ones, have no WebP form
// (TFileError). Stream exceptions reach the caller unchanged.
void WriteWebP(std::ostream& out, const TBitmap& picture, bool lossless, const std::string& name = "the WebP picture");
