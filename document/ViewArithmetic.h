#pragma once

#include "document/Rect.h"

#include <string>

// The arithmetic of the picture view: which part of the picture a paint box
// of a given size shows at a zoom rate, the scroll bars that go with it, how
// a position in the paint box maps to a picture pixel, the zoom steps and the
// status texts. Sizes and positions in the paint box are device pixels, so
// that one picture pixel is one screen pixel at zoom 1.0 on any screen.

// v rounded to the nearest integer, a half going to the even neighbour.
int Nearest(double v);

// One scroll bar: shown while the picture is longer than the paint box shows
// at the zoom; its positions then run from 0 to Maximum - Page, so that the
// last position shows the picture's last pixels.
struct TScrollRange {
    bool Shown = false;
    int Maximum = 0;
    int Page = 0;

    int LastPosition() const { return Shown ? Maximum - Page : 0; }
    friend bool operator==(const TScrollRange&, const TScrollRange&) = default;
};

TScrollRange ScrollRangeFor(int paintSize, int pictureSize, double zoomRate);

// The visible part of a width x height picture, inclusive edges, when the
// scroll positions are (left, top).
TRect ComputeViewRect(int left, int top, int width, int height, int paintWidth, int paintHeight, double zoomRate);

// The size in paint box pixels of `pictureSize` picture pixels at the zoom.
int ScaledLength(int pictureSize, double zoomRate);

struct TPicturePoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPicturePoint&, const TPicturePoint&) = default;
};

// The picture pixel under the paint box pixel (x, y) with the scroll
// positions (left, top). Not clamped: points beyond the picture stay beyond.
TPicturePoint PictureCoordinates(int x, int y, double zoomRate, int left, int top);

// Zoom In divides the rate by 0.75, Zoom Out multiplies it by 0.75. The rate
// is kept as a number of steps from actual pixels, so that any way back to
// the same step gives exactly the same rate (1.0 after as many steps in as
// out). Steps stay within the rates 1/64 and 64: at a zoom of 64 one picture
// pixel is already a hand's width, and the scaled sizes of the largest
// pictures stay far inside the range of int.
inline constexpr double ZoomStepFactor = 0.75;
inline constexpr double MinZoomRate = 1.0 / 64;
inline constexpr double MaxZoomRate = 64.0;

double ZoomRateOfStep(int step);
// The most steps out (negative) and in (positive) within the bounds.
int MinZoomStep();
int MaxZoomStep();

// The scroll position that keeps the picture point under `anchor` (paint box
// pixels from the left or top edge) where it is when the zoom changes from
// oldRate to newRate, held to the new range.
int ScrollKeepingPoint(int position, int anchor, double oldRate, double newRate, const TScrollRange& newRange);

// The largest zoom step at which the whole picture fits the paint box
// without scroll bars (MinZoomStep when none does).
int FitZoomStep(int pictureWidth, int pictureHeight, int paintWidth, int paintHeight);

// Status texts: "640 x 480", and the zoom in percent with at most four
// significant digits, "56.25%", "133.3%".
std::string PictureSizeText(int width, int height);
std::string ZoomText(double zoomRate);
