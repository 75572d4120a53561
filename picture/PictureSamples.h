#pragma once

#include "picture/Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

// What every reader of the newer formats shares: the checks made from a
// header before any pixel memory is taken, and the conversion of decoded
// samples to the program's 24-bit picture.

// Throws TFileError unless a picture of this size may be created and fits in
// memory with `extraBytes` of decoder buffers beside it.
void CheckPictureSize(std::int64_t width, std::int64_t height, std::uint64_t extraBytes, const std::string& name);

// One row of samples, `Channels` a pixel (1 grey, 2 grey and alpha, 3 red
// green blue, 4 with alpha), each 0..Max, to blue-green-red bytes. Alpha is
// composited over white, and the result is rounded (half up) to 0..255 in
// one step, so that 16-bit values are rounded, not truncated.
template <class T, int Channels, std::uint32_t Max>
void SamplesToBgr(const T* samples, std::uint8_t* bgr, int width)
{
    constexpr std::uint64_t Den = std::uint64_t(Max) * Max;
    constexpr bool HasAlpha = Channels == 2 || Channels == 4;
    for (int x = 0; x < width; ++x, samples += Channels, bgr += 3) {
        const std::uint32_t r = samples[0];
        const std::uint32_t g = Channels >= 3 ? samples[1] : r;
        const std::uint32_t b = Channels >= 3 ? samples[2] : r;
        const std::uint32_t a = HasAlpha ? samples[Channels - 1] : Max;
        if constexpr (Max == 255) {
            if (a == 255) {
                bgr[0] = std::uint8_t(b);
                bgr[1] = std::uint8_t(g);
                bgr[2] = std::uint8_t(r);
                continue;
            }
        }
        // (c * a + Max * (Max - a)) / Max is the value over white, in 0..Max;
        // times 255 / Max gives the byte.
        const std::uint64_t white = std::uint64_t(Max) * (Max - a);
        bgr[0] = std::uint8_t(((std::uint64_t(b) * a + white) * 255 + Den / 2) / Den);
        bgr[1] = std::uint8_t(((std::uint64_t(g) * a + white) * 255 + Den / 2) / Den);
        bgr[2] = std::uint8_t(((std::uint64_t(r) * a + white) * 255 + Den / 2) / Den);
    }
}

// The orientation (1 to 8) in an EXIF block as other containers than JPEG
// keep it: a bare TIFF header, or one behind "Exif" and two zero bytes.
int OrientationOfExifBlock(const std::uint8_t* data, std::size_t size);
