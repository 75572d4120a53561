#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>

// The view's nearest-neighbour stretch: the picture rectangle `area`
// (inclusive edges, inside `picture`) is scaled to scaledWidth x scaledHeight
// screen pixels by dropping or repeating whole pixels, never blending them.
// Screen pixel (x, y) shows picture pixel (area.Left + x * w / scaledWidth,
// area.Top + y * h / scaledHeight), w and h being the area's size, divisions
// truncated.
//
// The screen is a 32-bit image (0xffRRGGBB per pixel, the toolkit's RGB32);
// `screen` points at the pixel where the scaled area's top-left corner lands
// and `screenStride` counts pixels per row. Only the screen pixels
// [x0, x1) x [y0, y1) of the scaled area are written, so that a part of the
// view can be redrawn exactly as a whole repaint would draw it.
struct TStretch {
    TRect Area;
    int ScaledWidth = 0;
    int ScaledHeight = 0;
};

void StretchToScreen(const TBitmap& picture, const TStretch& stretch, std::uint32_t* screen, std::size_t screenStride,
                     int x0, int x1, int y0, int y1);

// The screen pixels [first, end) that show the picture pixels from `from` to
// `to` (inclusive) of one direction under the mapping above, for an area
// starting at picture pixel `origin`, `length` pixels long and scaled to
// `scaledLength` screen pixels. Pixels outside the area are left out; the
// span is empty (first == end) when nothing of them is shown.
struct TScreenSpan {
    int First = 0;
    int End = 0;
    friend bool operator==(const TScreenSpan&, const TScreenSpan&) = default;
};
TScreenSpan ScreenSpan(int from, int to, int origin, int length, int scaledLength);
