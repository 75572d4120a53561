#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// PNG pictures, through libspng.
//
// Reading: every bit depth and colour type becomes the 24-bit picture: grey
// and palette pictures are expanded, 16-bit samples rounded to 8 bits, and
// transparency (an alpha channel or a tRNS chunk) composited over white, so a
// transparent logo does not turn black. An iCCP profile is converted to sRGB
// and the eXIf orientation applied.
//
// Bounds, checked from the header before any pixel memory is taken: the
// program's picture limits, the memory at hand, and a floor on the file's
// size: deflate packs at most 1032 bytes into one, so a file smaller than
// that share of its pixel data cannot hold it (a small file claiming a huge
// picture is refused at once). Ancillary chunks are capped at 16 MiB, so a
// profile that inflates to gigabytes is refused too.
// Errors throw TFileError naming `name`, with libspng's message.
TBitmap DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name);

// Writes an 8-bit RGB PNG without any colour tag (sRGB is implied). Stream
// exceptions reach the caller unchanged; an empty picture has no PNG form
// (TFileError).
void WritePng(std::ostream& out, const TBitmap& picture, const std::string& name = "the PNG picture");
