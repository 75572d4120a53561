#pragma once

#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>

// Colour management on open: a picture decoded in the colour space of its
// embedded ICC profile is converted to sRGB (perceptual intent, through
// Little CMS), so that a photo from a wide-gamut camera does not open washed
// out. Pictures without a profile are taken as sRGB already, and the
// writers tag nothing, so sRGB is what every saved file means.
//
// Only RGB profiles apply: the picture is RGB by now, and a grey or CMYK
// profile describes samples that no longer exist. A profile that Little CMS
// cannot parse is passed over as viewers do (the picture stays as decoded);
// so is one that calls itself sRGB, which would only cost time and round
// some values by a level. Returns whether the picture was converted.
bool ConvertToSrgb(TBitmap& picture, const std::uint8_t* profile, std::size_t size);

// A colour space given by its primaries and white point (CIE xy) and a
// transfer curve, as HEIF and AVIF files describe one without an ICC profile
// (for instance Display P3 from a phone).
struct TColourSpace {
    double RedX, RedY, GreenX, GreenY, BlueX, BlueY, WhiteX, WhiteY;
    enum class TCurve { Srgb, Gamma22, Gamma28, Linear } Curve = TCurve::Srgb;
};
// Converts a picture in that colour space to sRGB, as ConvertToSrgb does.
// Returns false (and leaves the picture) when the description makes no
// profile.
bool ConvertToSrgb(TBitmap& picture, const TColourSpace& space);

// CMYK rows to blue-green-red through a CMYK ICC profile (a print file's
// own), in place of the plain ink arithmetic, which shows such files far
// too saturated. Empty (Ok() false) unless Little CMS reads the profile as a
// CMYK one. `inverted`: 255 means no ink, as Adobe's JPEG files store it.
class TCmykConversion {
public:
    TCmykConversion(const std::uint8_t* profile, std::size_t size, bool inverted);
    ~TCmykConversion();
    TCmykConversion(const TCmykConversion&) = delete;
    TCmykConversion& operator=(const TCmykConversion&) = delete;

    bool Ok() const { return transform_ != nullptr; }
    void Row(const std::uint8_t* cmyk, std::uint8_t* bgr, int width) const;

private:
    void* context_ = nullptr;
    void* transform_ = nullptr;
};
