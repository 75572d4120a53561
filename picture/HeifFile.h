#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

// HEIC and AVIF pictures (the primary image), through libheif.
//
// The picture is decoded with the container's own rotation, mirror and crop
// applied (those, not an EXIF tag, say how a HEIF picture is seen). Samples
// deeper than 8 bits are rounded, alpha is composited over white, and an ICC
// profile, or else the primaries of an nclx colour description (Display P3
// from a phone), converted to sRGB. The size after those transforms is checked
// against the program's limits and the memory at hand before decoding.
// Errors throw TFileError with libheif's message.
//
// That size is only what the file says of the finished picture: an overlay
// or a grid names its own canvas, which libheif allocates whole while
// decoding, before anything of ours can look at it (a 600-byte file that
// says 24 x 16 but overlays onto 58691 x 49239 made it allocate gigabytes
// and crash). So libheif's own limit on every image's sides is set to
// HeifMaxSide: every canvas then stays within the program's 2^28 pixels and
// under 2 GiB at eight bytes a pixel (16-bit RGBA), the most libheif uses.
TBitmap DecodeHeif(const std::uint8_t* data, std::size_t size, const std::string& name);

constexpr int HeifMaxSide = 16383;

// For a preview at most `side` pixels a side: the smallest of the file's
// own thumbnails that is at least that large (phones store one), decoded
// like the picture, or else the picture itself; with the picture's size.
struct THeifPreview {
    TBitmap Picture;
    int Width = 0;
    int Height = 0;
};
THeifPreview DecodeHeifPreview(const std::uint8_t* data, std::size_t size, const std::string& name, int side);
