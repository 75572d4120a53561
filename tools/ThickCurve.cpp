#include "tools/ThickCurve.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct TPointF {
    double X;
    double Y;
};

// The largest second difference of the control polygon, which bounds how
// far the curve bends away from its chords.
double Bend(TToolPoint p0, TToolPoint p1, TToolPoint p2, TToolPoint p3)
{
    const auto second = [](TToolPoint a, TToolPoint b, TToolPoint c) {
        return std::hypot(double(a.X - 2 * b.X + c.X), double(a.Y - 2 * b.Y + c.Y));
    };
    return std::max(second(p0, p1, p2), second(p1, p2, p3));
}

// Every pixel of the round-ended segment a-b (a capsule of radius r).
void StrokeSegment(TBitmap& picture, TPointF a, TPointF b, double r, TToolColor color)
{
    const int left = std::max(0, int(std::floor(std::min(a.X, b.X) - r)));
    const int right = std::min(picture.Width() - 1, int(std::ceil(std::max(a.X, b.X) + r)));
    const int top = std::max(0, int(std::floor(std::min(a.Y, b.Y) - r)));
    const int bottom = std::min(picture.Height() - 1, int(std::ceil(std::max(a.Y, b.Y) + r)));
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length2 = dx * dx + dy * dy;
    const double r2 = r * r;
    for (int y = top; y <= bottom; ++y) {
        std::uint8_t* p = picture.ScanLine(y) + std::size_t(left) * 3;
        for (int x = left; x <= right; ++x, p += 3) {
            double t = length2 > 0 ? ((x - a.X) * dx + (y - a.Y) * dy) / length2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = a.X + t * dx - x;
            const double ey = a.Y + t * dy - y;
            if (ex * ex + ey * ey <= r2) {
                p[0] = color.B;
                p[1] = color.G;
                p[2] = color.R;
            }
        }
    }
}

} // namespace

void StrokeCubic(TBitmap& picture, TToolPoint p0, TToolPoint p1, TToolPoint p2, TToolPoint p3, int width,
                 TToolColor color)
{
    // Flattened into chords that stay within a fifth of a pixel of the
    // curve: n chords of a cubic stray at most 3/4 x bend / n^2. A straight
    // curve is one chord, so a thick pen does not go over the same pixels
    // again and again.
    const int pieces = std::clamp(int(std::ceil(std::sqrt(0.75 * Bend(p0, p1, p2, p3) / 0.2))), 1, 1024);
    const double r = std::max(width, 1) / 2.0;
    TPointF previous{double(p0.X), double(p0.Y)};
    for (int i = 1; i <= pieces; ++i) {
        const double t = double(i) / pieces;
        const double u = 1 - t;
        const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        const TPointF next{b0 * p0.X + b1 * p1.X + b2 * p2.X + b3 * p3.X,
                           b0 * p0.Y + b1 * p1.Y + b2 * p2.Y + b3 * p3.Y};
        StrokeSegment(picture, previous, next, r, color);
        previous = next;
    }
}
