#pragma once

#include "picture/Bitmap.h"
#include "tools/DabShape.h"
#include "tools/ToolEnvironment.h"

#include <cstdint>
#include <vector>

// The picture of a placed object while it is built: the paint image and,
// for the shapes that are not boxes, a mask that is black inside the shape
// and white outside it, or, for smooth edges, a coverage per pixel.
struct TObjectImage {
    TBitmap Paint;
    TBitmap Mask;
    // Plain copy when false; mask AND, then paint OR, when true.
    bool Masked = false;
    // Blended over the layer by Alpha (0 keeps the layer, 255 replaces it),
    // Paint holding the colours already multiplied by their alpha. Takes
    // precedence over Masked.
    bool Blended = false;
    std::vector<std::uint8_t> Alpha;
    // Some of the text did not fit its object and is not shown whole.
    bool TextCut = false;
};

// Fills the box [left, right) x [top, bottom) of a picture, clipped to it.
void FillBox(TBitmap& picture, int left, int top, int right, int bottom, TToolColor color);

// Writes an object image into a layer with its top-left corner at
// (left, top); pixels outside the layer are skipped. A masked image keeps
// the layer where the mask is white and takes the paint image where it is
// black, and any paint pixel outside the mask is OR-ed in. A blended image
// lays its premultiplied colours over the layer, rounded to the nearest.
void WriteObjectImage(TBitmap& layer, const TObjectImage& image, int left, int top);

// One handle square around (x, y): a one-pixel black border around a white
// fill, covering (x - 3, y - 3) to (x + 3, y + 3), right and bottom excluded.
void DrawHandleSquare(TBitmap& layer, int x, int y);

// The handle squares' half side, and the distance within which the pointer
// hits a handle.
inline constexpr int HandleReach = 3;
