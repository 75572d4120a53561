#pragma once

#include "picture/Bitmap.h"

#include <algorithm>
#include <cstdint>

// A rectangle of a picture in pixels: left column, top row, width, height.
struct TRegion {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    std::int64_t Pixels() const { return std::int64_t(Width) * Height; }
    friend bool operator==(const TRegion&, const TRegion&) = default;
};

// The part of the rectangle (left, top, width, height) that lies inside the
// picture. Settings come from files and are used as they are, so the engine
// never trusts a region: a rectangle partly outside is cut to the picture, one
// wholly outside, one of negative size or a missing picture gives an empty
// region (0 x 0). A region inside the picture comes back unchanged.
inline TRegion ClampRegion(const TBitmap* picture, int left, int top, int width, int height)
{
    TRegion r;
    if (!picture || picture->Empty() || width <= 0 || height <= 0)
        return r;
    std::int64_t pw = picture->Width(), ph = picture->Height();
    std::int64_t l = std::clamp<std::int64_t>(left, 0, pw);
    std::int64_t t = std::clamp<std::int64_t>(top, 0, ph);
    std::int64_t right = std::clamp<std::int64_t>(std::int64_t(left) + width, l, pw);
    std::int64_t bottom = std::clamp<std::int64_t>(std::int64_t(top) + height, t, ph);
    if (right == l || bottom == t)
        return r;
    r.Left = int(l);
    r.Top = int(t);
    r.Width = int(right - l);
    r.Height = int(bottom - t);
    return r;
}
