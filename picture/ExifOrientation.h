#pragma once

#include <cstddef>
#include <cstdint>

// Reads the orientation tag (0x0112) of the first image directory of an EXIF
// block: the payload of a JPEG APP1 segment, "Exif" and two zero bytes, then a
// TIFF header in either byte order. Returns a value 1 to 8 (see
// ApplyOrientation), or 1 (as stored) when the block is not EXIF, is damaged,
// has no such tag or holds any other value. Every count and offset in the
// block is checked against size before it is used.
int ExifOrientation(const std::uint8_t* data, std::size_t size);
