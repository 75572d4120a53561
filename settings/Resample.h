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

// The pixels of `picture`, captured. Whoever reduces a picture again and
// again keeps its own capture.
TResampleSource CaptureResampleSource(const TBitmap& picture);

// Sets `target` to w x h pixels reduced from `source` by area averaging in
// fixed point (4096 units per source pixel). Returns false and leaves
// `target` untouched when w or h is not positive or the capture is empty.
// Sizes beyond TBitmap's limits throw std::length_error, also leaving
// `target` untouched.
bool ResampleTo(const TResampleSource& source, int w, int h, TBitmap& target);
