#pragma once

#include "picture/Bitmap.h"

#include <cstdint>

// A picture whose every byte differs from its neighbours, so that a pixel
// taken from the wrong place or channel shows.
inline TBitmap PatternPicture(int width, int height, int seed)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                picture.ScanLine(y)[x * 3 + k] = std::uint8_t(x * 7 + y * 31 + k * 83 + seed);
    return picture;
}

// Smooth, for the lossy codecs, which blur fine detail by design.
inline TBitmap GradientPicture(int width, int height)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                picture.ScanLine(y)[x * 3 + k] = std::uint8_t(20 + x * 150 / width + y * 50 / height + k * 30);
    return picture;
}

inline TBitmap FilledPicture(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    TBitmap picture(width, height);
    picture.Fill(blue, green, red);
    return picture;
}

inline const std::uint8_t* Pixel(const TBitmap& picture, int x, int y) { return picture.ScanLine(y) + x * 3; }
