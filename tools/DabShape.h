#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"
#include "tools/ToolEnvironment.h"

#include <cstdint>
#include <vector>

// Nearest integer, a half going to the even neighbour.
int RoundHalfEven(double value);

// The rectangle a dab of size s covers around (x, y), inclusive:
// x - s div 2 .. x + rnd(s / 2), and the same for y. Size 1 is one pixel;
// sizes 4 and 5 share a 4-pixel box.
TRect DabRect(int x, int y, int size);

// Columns [Begin, End) of one row of a shape, relative to the shape's box.
struct TSpan {
    int Begin = 0;
    int End = 0;
};

// A shape as one span per row of its box (empty spans where a row is empty).
struct TShape {
    int Width = 0;
    int Height = 0;
    std::vector<TSpan> Rows;

    bool Contains(int column, int row) const
    {
        return row >= 0 && row < Height && column >= Rows[std::size_t(row)].Begin &&
               column < Rows[std::size_t(row)].End;
    }
};

// The filled ellipse inscribed in a w x h box: the pixels whose centres lie
// inside it. A box with a zero side is the single pixel at its corner, so
// that the innermost ring of a mask still has a centre.
TShape FilledEllipse(int width, int height);
// The filled box itself.
TShape FilledBox(int width, int height);

// The shape a dab of size s paints, in a box the size of DabRect: one pixel
// for size 1, a full square while the box is at most 3 wide (its right and
// bottom edge excluded), the inscribed ellipse beyond that.
TShape DabShape(int size);

// Paints a shape whose box starts at (left, top) in one colour; pixels
// outside the picture are skipped.
void FillShape(TBitmap& picture, const TShape& shape, int left, int top, TToolColor color);
