#include "engine/Apron.h"

#include "engine/GaussianBlur.h"
#include "engine/SettingsLimits.h"
#include "picture/Bitmap.h"

#include <algorithm>

namespace {

int KernelHalfWidth(double radius)
{
    TGaussKernel kernel;
    BuildGaussKernel(kernel, radius, 255.0, 1.0);
    return kernel.Size;
}

} // namespace

int SketchApron()
{
    // The credits of a pixel come from its own comparisons and from those of
    // its right and lower neighbours, all reading blurred values one pixel
    // away; those neighbours must be centres, one pixel inside the edge.
    static const int apron = std::max(KernelHalfWidth(MaxSketchSmooth / 20.0) + 1, 2);
    return apron;
}

int ColorApron()
{
    static const int apron = MaxColorSmooth + KernelHalfWidth(MaxBorderBlur / 20.0);
    return apron;
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
