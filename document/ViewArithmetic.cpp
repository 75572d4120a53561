#include "document/ViewArithmetic.h"

#include <algorithm>
#include <charconv>
#include <cmath>

int Nearest(double v) { return int(std::nearbyint(v)); }

TScrollRange ScrollRangeFor(int paintSize, int pictureSize, double zoomRate)
{
    const double shown = paintSize / zoomRate;
    if (shown >= pictureSize)
        return {};
    return TScrollRange{true, pictureSize, Nearest(shown)};
}

namespace {

int LastVisible(int position, int pictureSize, int paintSize, double zoomRate)
{
    const double end = paintSize / zoomRate + position;
    if (end > pictureSize)
        return pictureSize - 1;
    return Nearest(end - 1);
}

} // namespace

TRect ComputeViewRect(int left, int top, int width, int height, int paintWidth, int paintHeight, double zoomRate)
{
    return TRect{left, top, LastVisible(left, width, paintWidth, zoomRate),
                 LastVisible(top, height, paintHeight, zoomRate)};
}

int ScaledLength(int pictureSize, double zoomRate) { return Nearest(pictureSize * zoomRate); }

TPicturePoint PictureCoordinates(int x, int y, double zoomRate, int left, int top)
{
    return TPicturePoint{Nearest(x / zoomRate + left), Nearest(y / zoomRate + top)};
}

double ZoomRateOfStep(int step)
{
    // Repeated division or multiplication, the way the commands step, so that
    // each rate is exactly the one a run of steps from 1.0 gives.
    double rate = 1.0;
    for (int i = 0; i < step; ++i)
        rate /= ZoomStepFactor;
    for (int i = 0; i > step; --i)
        rate *= ZoomStepFactor;
    return rate;
}

int MinZoomStep()
{
    int step = 0;
    while (ZoomRateOfStep(step - 1) >= MinZoomRate)
        --step;
    return step;
}

int MaxZoomStep()
{
    int step = 0;
    while (ZoomRateOfStep(step + 1) <= MaxZoomRate)
        ++step;
    return step;
}

int ScrollKeepingPoint(int position, int anchor, double oldRate, double newRate, const TScrollRange& newRange)
{
    const double point = position + anchor / oldRate;
    return std::clamp(Nearest(point - anchor / newRate), 0, newRange.LastPosition());
}

int FitZoomStep(int pictureWidth, int pictureHeight, int paintWidth, int paintHeight)
{
    for (int step = MaxZoomStep(); step > MinZoomStep(); --step) {
        const double rate = ZoomRateOfStep(step);
        if (!ScrollRangeFor(paintWidth, pictureWidth, rate).Shown &&
            !ScrollRangeFor(paintHeight, pictureHeight, rate).Shown)
            return step;
    }
    return MinZoomStep();
}

std::string PictureSizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

std::string ZoomText(double zoomRate)
{
    // to_chars rather than printf: the desktop's locale must not turn the
    // point into a comma.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, zoomRate * 100, std::chars_format::general, 4);
    return std::string(text, result.ptr) + "%";
}
