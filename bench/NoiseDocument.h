#pragma once

#include "document/Document.h"

#include <cstdint>

// Pictures of random bytes: nothing in them lets a kernel take a shortcut.
inline TBitmap NoisePicture(int width, int height, unsigned seed)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            row[i] = std::uint8_t(seed >> 24);
        }
    }
    return picture;
}

// A document opened from a noise photo, with a noise sketch layer.
inline TDocument NoiseDocument(int width, int height)
{
    TDocument document;
    document.InitialisePhoto(NoisePicture(width, height, 1));
    document.SketchLayer = NoisePicture(width, height, 2);
    return document;
}
