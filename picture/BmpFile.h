#pragma once

#include "picture/Bitmap.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

// Windows bitmap files. The writer produces the 24-bit variant only: 14-byte
// file header, 40-byte information header, positive height, no colour table,
// bottom-up rows padded to four bytes.

// Size in bytes of the file the writer produces for a picture of this size.
std::int64_t BmpFileSize(int width, int height);

void WriteBmp(std::ostream& out, const TBitmap& picture);
void WriteBmpFile(const std::string& path, const TBitmap& picture);

// Reads one bitmap file starting at the stream's position and leaves the
// position just after that file's bytes (a project file holds several back to
// back): at the file's stated size when that covers the pixel data and fits
// the stream, otherwise just after the pixel data (for RLE, after the
// end-of-bitmap marker). `name` names the file in error messages. Throws
// TFileError for anything that is not a readable bitmap.
//
// Accepted: the OS/2 core header and the 40, 52, 56, 108 and 124-byte
// information headers; 1, 2, 4 and 8 bits with a colour table, RLE8 and RLE4;
// 16 and 32 bits, plain (5-5-5, 8-8-8) or with bit masks; 24 bits; rows
// bottom-up or top-down. Everything becomes 24 bits; transparency is dropped.
// Colour indexes beyond the file's colour table read as black; pixels that
// RLE data never paints take colour 0 of the table, but an RLE picture of
// over a megapixel must paint a fair share of itself (see ReadBmpRle).
TBitmap ReadBmp(std::istream& in, const std::string& name);
TBitmap ReadBmpFile(const std::string& path);
