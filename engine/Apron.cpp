#include "engine/Apron.h"

#include "engine/GaussianBlur.h"
#include "engine/SettingsLimits.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <array>

namespace {

// The blur kernel's half-width for a setting of 0..100 (radius setting / 20);
// 0 for no blur.
int KernelHalfWidth(int setting)
{
    static const std::array<int, MaxBorderBlur + 1> halfWidths = [] {
        static_assert(MaxSketchSmooth == MaxBorderBlur);
        std::array<int, MaxBorderBlur + 1> widths{};
        for (int s = 1; s <= MaxBorderBlur; ++s) {
            TGaussKernel kernel;
            BuildGaussKernel(kernel, s / 20.0, 255.0, 1.0);
            widths[std::size_t(s)] = kernel.Size;
        }
        return widths;
    }();
    return halfWidths[std::size_t(std::clamp(setting, 0, MaxBorderBlur))];
}

} // namespace

int SketchApron(const TEffectSettings& settings)
{
    // The credits of a pixel come from its own comparisons and from those of
    // its right and lower neighbours, all reading blurred values one pixel
    // away; those neighbours must be centres, one pixel inside the edge.
    return std::max(KernelHalfWidth(settings.SketchSmooth) + 1, 2);
}

int ColorApron(const TEffectSettings& settings)
{
    // The widest border blur whatever the setting: moving Border Blur keeps
    // the region, and with it the scaled and smoothed colours.
    const int smooth = settings.ColorSmooth; // by value: the record is packed
    return std::clamp(smooth, 0, MaxColorSmooth) + KernelHalfWidth(MaxBorderBlur);
}

TRegion WithApron(const TRegion& region, int apron, const TBitmap& picture)
{
    if (region.Pixels() == 0)
        return region;
    const int left = std::max(region.Left - apron, 0);
    const int top = std::max(region.Top - apron, 0);
    const int right = std::min(region.Left + region.Width + apron, picture.Width());
    const int bottom = std::min(region.Top + region.Height + apron, picture.Height());
    return {left, top, right - left, bottom - top};
}
