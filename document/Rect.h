#pragma once

#include <algorithm>

// A rectangle of picture pixels with inclusive right and bottom edges, the
// way every part of the program passes them: a whole w x h picture is
// (0, 0, w - 1, h - 1). Right < Left or Bottom < Top is an empty rectangle.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = -1;
    int Bottom = -1;

    bool Empty() const { return Right < Left || Bottom < Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The rectangle covering a whole width x height picture.
inline TRect WholeRect(int width, int height) { return TRect{0, 0, width - 1, height - 1}; }

// The part of `rect` that lies inside a width x height picture (possibly empty).
inline TRect ClampRect(const TRect& rect, int width, int height)
{
    return TRect{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width - 1),
                 std::min(rect.Bottom, height - 1)};
}
