#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// JPEG files made by libjpeg itself in the tests, so the repository needs no
// binary fixtures, and a reference decode to compare the reader with.

using TBytes = std::vector<std::uint8_t>;

enum class TJpegKind {
    Colour, // 3 samples a pixel, blue-green-red, stored as YCbCr
    Grey, // 1 sample a pixel
    Cmyk, // 4 samples a pixel, stored as CMYK with an Adobe marker
    Ycck, // 4 samples a pixel, stored as YCCK with an Adobe marker
    PlainCmyk // 4 samples a pixel, stored as CMYK without an Adobe marker
};

struct TJpegFixture {
    int width = 0;
    int height = 0;
    TJpegKind kind = TJpegKind::Colour;
    TBytes samples; // rows top to bottom, no padding, as many samples a pixel as the kind says
    int quality = 90;
    bool progressive = false;
    bool arithmetic = false;
    TBytes app1; // written as an APP1 segment when not empty
    TBytes icc; // written as APP2 ICC profile segments when not empty
};

TBytes EncodeFixture(const TJpegFixture& fixture);

// The samples of a picture as a colour fixture needs them.
TBytes SamplesOf(const TBitmap& picture);

// An EXIF block holding one orientation entry after `entriesBefore` other
// entries, in big- or little-endian byte order.
TBytes ExifBlock(int orientation, bool bigEndian, int entriesBefore = 0);

// The library's own decode (RGB output, JDCT_ISLOW, default settings),
// returned as a TBitmap with the channels put in blue-green-red order.
TBitmap ReferenceDecode(const TBytes& file);

// The segments of a JPEG stream: the marker byte, where the segment starts
// (at its 0xFF) and where it ends. A scan (SOS) segment includes its
// entropy-coded data.
struct TSegment {
    std::uint8_t marker;
    std::size_t begin;
    std::size_t end;
};
std::vector<TSegment> Segments(const TBytes& file);

TBytes ReadWholeFile(const std::string& path);

// Mean and largest absolute difference over all channels of two pictures of
// the same size.
struct TDifference {
    double mean;
    int max;
};
TDifference Compare(const TBitmap& a, const TBitmap& b);
