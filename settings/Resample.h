#pragma once

#include "picture/Bitmap.h"

#include <cstdint>
#include <vector>

// The pixels a picture had when it was captured, kept so that every size the
// user tries on the preview's image-size page is reduced from the original
// and never from an already reduced picture.
struct TResampleSource {
    int Width = 0;
    int Height = 0;
    // Width x Height pixels of three bytes, rows packed without gaps, top row
    // first; the bytes keep the bitmap's order (blue, green, red).
    std::vector<std::uint8_t> Pixels;
};

// The one process-wide capture (user-interface thread only).
TResampleSource& ResampleSource();

// Replaces the process-wide capture by the pixels of `picture`.
void CaptureResampleSource(const TBitmap& picture);

// Sets `target` to w x h pixels reduced from the process-wide capture by area
// averaging in fixed point (4096 units per source pixel). Returns false and
// leaves `target` untouched when w or h is not positive or nothing has been
// captured. Sizes beyond TBitmap's limits throw std::length_error, also
// leaving `target` untouched.
bool ResampleTo(int w, int h, TBitmap& target);

// The same from a given capture.
bool ResampleFrom(const TResampleSource& source, int w, int h, TBitmap& target);
