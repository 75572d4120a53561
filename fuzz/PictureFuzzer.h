#pragma once

// The body of the fuzz targets of the PNG, WebP, TIFF and HEIF readers:
// decodes the input and writes what it read back out as PNG. Anything but a
// TFileError, a crash or a sanitizer report is a finding.
#include "picture/FileError.h"
#include "picture/PictureDecoders.h"
#include "picture/PngFile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

// Larger inputs only slow the search; small files that claim big pictures
// reach every limit.
constexpr std::size_t MaxFuzzInput = std::size_t(1) << 20;
constexpr std::int64_t MaxRewritten = std::int64_t(1) << 18;

inline int FuzzPicture(TPictureKind kind, const std::uint8_t* data, std::size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TBitmap picture;
    try {
        picture = DecodePicture(kind, data, size, "fuzz input");
    } catch (const TFileError&) {
        return 0;
    }
    if (std::int64_t(picture.Width()) * picture.Height() <= MaxRewritten) {
        std::ostringstream out;
        WritePng(out, picture);
    }
    return 0;
}
