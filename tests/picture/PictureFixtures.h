#pragma once

#include "picture/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Picture files of the newer formats made by their own libraries in the
// tests, so the repository needs no binary fixtures.

using TBytes = std::vector<std::uint8_t>;

// A PNG written sample by sample: `samples` holds the rows as the PNG
// stores them (palette indexes, grey, grey and alpha, RGB or RGBA), one
// value per sample whatever the depth; depths below 8 are packed here.
struct TPngPicture {
    int width = 1;
    int height = 1;
    int depth = 8;
    int colorType = 2; // as in the IHDR: 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    std::vector<std::uint16_t> samples;
    std::vector<std::uint8_t> palette; // red, green, blue per entry
    std::vector<std::uint16_t> transparent; // tRNS: palette alphas, or the grey / RGB key
    TBytes profile; // iCCP
    TBytes exif; // eXIf
};
TBytes EncodePng(const TPngPicture& png);

// A TIFF written by libtiff: `samples` as stored, 8 or 16 bits.
struct TTiffPicture {
    int width = 1;
    int height = 1;
    int depth = 8;
    int photometric = 2; // 1 grey, 2 RGB, 5 CMYK
    int samplesPerPixel = 3;
    bool alpha = false; // the last sample is unassociated alpha
    int orientation = 1;
    std::vector<std::uint16_t> samples;
    TBytes profile;
};
TBytes EncodeTiff(const TTiffPicture& png);

// The bytes of an EXIF block without the "Exif" prefix (as PNG and WebP
// keep it): a little-endian TIFF header with one orientation entry.
TBytes ExifBlock(int orientation);

// An RGB matrix-shaper profile with the Adobe RGB (1998) primaries, white
// point and gamma, made by Little CMS, and the reference conversion of one
// such colour to sRGB computed here from the published matrices.
TBytes AdobeRgbProfile();
void AdobeToSrgb(const std::uint8_t rgb[3], double out[3]);
// The same for Display P3 (P3 primaries, D65, the sRGB curve).
void DisplayP3ToSrgb(const std::uint8_t rgb[3], double out[3]);
// A CMYK profile that prints every colour as a neutral grey of lightness
// L* = 100 - 20 c - 60 k (c, k from 0 to 1 ink), and the sRGB grey level of
// such a lightness, computed here from the CIE formulas.
TBytes GreyCmykProfile();
double SrgbGreyOfLightness(double lightness);
// Little CMS's own sRGB profile.
TBytes SrgbProfile();

// A WebP of the picture (lossless when asked) with optional ICCP and EXIF
// chunks; `alpha` gives each pixel's alpha (row-major) or is empty.
TBytes EncodeWebPWith(const TBitmap& picture, const TBytes& alpha, const TBytes& profile, const TBytes& exif);

// HEIC (HEVC) or AVIF (AV1) made by libheif's own encoders at high quality,
// with an optional ICC profile or else nclx colour primaries (by their code,
// 0 for none), and a thumbnail fitting `thumbnail` pixels when that is not 0;
// nothing when the encoder is not available.
std::optional<TBytes> EncodeHeif(const TBitmap& picture, bool avif, const TBytes& profile = {}, int primaries = 0,
                                 int thumbnail = 0);

TBitmap PictureOfPixels(int width, int height, const std::vector<std::uint8_t>& bgr);
std::vector<std::uint8_t> PixelsOf(const TBitmap& picture);
