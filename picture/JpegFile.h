#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// JPEG pictures, through the IJG libjpeg interface (libjpeg-turbo).
//
// Reading decodes at full size with the most accurate DCT (JDCT_ISLOW)
// straight into the picture's blue-green-red rows. Colour, greyscale, CMYK and
// YCCK files open, sequential or progressive; CMYK files that carry an Adobe
// marker are taken as Adobe writes them, with inverted inks; a CMYK file with
// a CMYK profile is converted through it. The EXIF
// orientation is applied, so a camera picture comes out upright, and an ICC
// profile in APP2 markers is converted to sRGB (see ColorProfile.h).
// Arithmetic-coded files are refused (see the bounds below).
//
// Damaged files: libjpeg decodes many damaged files to the end, reporting the
// damage as warnings and filling what it lost with grey. Such a file opens
// only for a caller that asks for the warning: the picture is returned and
// *warning receives "<name> is damaged: " followed by the library's first
// warning (for instance "Premature end of JPEG file"; a warning about an
// unknown JFIF version is no damage and does not count); the caller must show it.
// Without a warning pointer a damaged file is refused with a TFileError of
// that same text, so damage is never passed over in silence. An undamaged
// file leaves *warning empty.
//
// Bounds, all checked before the picture's memory is allocated:
// - pictures beyond TBitmap's limits are refused;
// - a file must hold at least one bit per 8 x 8 block, the least any complete
//   Huffman-coded file holds, or it is refused as truncated (so a tiny file
//   cannot make the decoder allocate and fill a huge picture); arithmetic
//   coding has no such floor (a plain picture of any size fits in a few
//   hundred bytes),
//   so arithmetic-coded files are refused: almost nothing writes them, and
//   most viewers cannot open them either;
// - libjpeg's own buffers are capped at JpegMemoryLimit (a progressive file
//   keeps every coefficient: 128 bytes per block);
// - at most JpegScanLimit(blocks) scans are decoded.
//
// Every failure throws TFileError naming the file, with the library's own
// message where the library found the fault. libjpeg errors never end the
// process, and a failed read returns nothing, so the caller's pictures stay as
// they were.
TBitmap DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name, std::string* warning = nullptr);
// The file is read a piece at a time as the decoder asks (never loaded
// whole), so the header is checked after its first bytes and reading stops at
// the end-of-image marker, whatever follows it. Only a regular file is read.
TBitmap ReadJpegFile(const std::string& path, std::string* warning = nullptr);

// Writes a baseline JPEG with the library's default settings (4:2:0 YCbCr,
// standard Huffman tables, JFIF header) and the standard quantisation tables
// scaled to `quality` (1 to 100; values outside are clamped). A failure throws
// TFileError with the library's message (an empty picture has no JPEG form);
// an exception thrown by the stream itself reaches the caller unchanged.
// `name` is the file the stream stands for, in messages.
void WriteJpeg(std::ostream& out, const TBitmap& picture, int quality = 90,
               const std::string& name = "the JPEG picture");
// The same through WriteFileSafely: an existing file is replaced only once the
// new one is complete.
void WriteJpegFile(const std::string& path, const TBitmap& picture, int quality = 90);

constexpr long JpegMemoryLimit = 1L << 30;

// The most scans decoded from one file whose components hold `blocks` 8 x 8
// blocks in all. Every scan can make the decoder walk all blocks again, so a
// small hostile file with thousands of scans could keep it busy for minutes:
// the limit is 256 scans (real files have about ten), fewer for big pictures
// so that a file costs at most about 2^27 block visits, but never fewer than
// 32 scans.
int JpegScanLimit(std::int64_t blocks);
