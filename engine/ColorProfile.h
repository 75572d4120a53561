#pragma once

#include "Bitmap.h"

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
