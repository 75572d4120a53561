#pragma once

#include "picture/Bitmap.h"
#include "picture/BmpHeader.h"

#include <cstdint>
#include <istream>
#include <string>

// The pixel decoders of the bitmap reader. Both read from the stream's
// position, which must be the start of the pixel data, and give a 24-bit
// picture of the header's size. The header must have passed CheckBmpHeader.

// Uncompressed layouts: Indexed, Bgr24 and Masked.
TBitmap ReadBmpRows(std::istream& in, const TBmpHeader& header, const TBmpPalette& palette, const std::string& name);

// RLE8 and RLE4. `available` counts the bytes from the stream's position to
// its end. Sets `dataBytes` to the length of the compressed data, up to and
// including the end-of-bitmap marker that closes it.
TBitmap ReadBmpRle(std::istream& in, const TBmpHeader& header, const TBmpPalette& palette, std::int64_t available,
                   std::int64_t& dataBytes, const std::string& name);
