#pragma once

#include "Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

// HEIC and AVIF pictures (the primary image), through libheif.
//
// The picture is decoded with the container's own rotation, mirror and crop
// applied (those, not an EXIF tag, say how a HEIF picture is seen). Samples
// deeper than 8 bits are rounded, alpha is composited over white and an ICC
// profile converted to sRGB. The size after those transforms is checked
// against the program's limits and the memory at hand before decoding, and
// libheif's own limit is set to the program's largest side. Errors throw
// TFileError with libheif's message.
TBitmap DecodeHeif(const std::uint8_t* data, std::size_t size, const std::string& name);
