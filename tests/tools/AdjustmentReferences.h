#pragma once

#include "engine/ToneTables.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

// Plain per-pixel references of the adjustments, written from the arithmetic
// of the tables rather than from the tables themselves. Pixels are (blue,
// green, red). Shared by the tests of the adjustments and of their dialogs.
namespace AdjustmentReference {

struct TPixel {
    int B, G, R;
};
using TReference = std::function<TPixel(TPixel)>;

inline int Clamp(int v) { return std::clamp(v, 0, 255); }

inline TReference OffsetReference(int red, int green, int blue)
{
    return [=](TPixel p) { return TPixel{Clamp(p.B + blue), Clamp(p.G + green), Clamp(p.R + red)}; };
}

// Contrast around the pivot 253: levels below it move down, 253 and above up.
inline int ContrastLevel(int contrast, int level)
{
    const int k = contrast < 0 ? contrast : contrast * (contrast + 16) / 17;
    const int d = std::abs(254 - level) * k / 256;
    return Clamp(level < 253 ? level - d : level + d);
}

inline TReference ContrastReference(int contrast)
{
    return [=](TPixel p) {
        return TPixel{ContrastLevel(contrast, p.B), ContrastLevel(contrast, p.G), ContrastLevel(contrast, p.R)};
    };
}

// c -> clamp(c K div 256 + s div 3 - (s div 3) K div 256).
inline TReference SaturationReference(int saturation)
{
    const int k = SaturationFactor(saturation);
    return [=](TPixel p) {
        const int third = (p.B + p.G + p.R) / 3;
        const int grey = third - third * k / 256;
        return TPixel{Clamp(p.B * k / 256 + grey), Clamp(p.G * k / 256 + grey), Clamp(p.R * k / 256 + grey)};
    };
}

} // namespace AdjustmentReference
