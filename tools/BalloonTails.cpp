#include "tools/BalloonTails.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int Samples = 64;

double Length(QPointF p) { return std::sqrt(p.x() * p.x() + p.y() * p.y()); }

} // namespace

TTailLine::TTailLine(TToolPoint centre, TToolPoint tip, TToolPoint bend)
    : From(centre.X, centre.Y)
    , To(tip.X, tip.Y)
    , IsBent(bend.X != 0 || bend.Y != 0)
{
    // The control point that makes the curve pass through the handle
    // halfway along.
    const TToolPoint handle = BendHandle(centre, tip, bend);
    Control = 2.0 * QPointF(handle.X, handle.Y) - (From + To) / 2.0;
}

QPointF TTailLine::At(double t) const
{
    if (!IsBent)
        return From + (To - From) * t;
    const double u = 1 - t;
    return u * u * From + 2 * u * t * Control + t * t * To;
}

QPointF TTailLine::Direction(double t) const
{
    QPointF d = IsBent ? 2 * (1 - t) * (Control - From) + 2 * t * (To - Control) : To - From;
    const double length = Length(d);
    return length > 0 ? d / length : QPointF();
}

TToolPoint BendHandle(TToolPoint centre, TToolPoint tip, TToolPoint bend)
{
    return {centre.X + (tip.X - centre.X) / 2 + bend.X, centre.Y + (tip.Y - centre.Y) / 2 + bend.Y};
}

TToolPoint BendFor(TToolPoint centre, TToolPoint tip, TToolPoint handle)
{
    const TToolPoint straight = BendHandle(centre, tip, {});
    return {handle.X - straight.X, handle.Y - straight.Y};
}

QPolygonF TailWedge(const TTailLine& line, double halfBase)
{
    const int steps = line.Bent() ? 24 : 1;
    QPolygonF left, right;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF d = line.Direction(t);
        const QPointF normal(-d.y(), d.x());
        const double half = halfBase * (1 - t);
        left << line.At(t) + normal * half;
        if (i < steps)
            right << line.At(t) - normal * half;
    }
    std::reverse(right.begin(), right.end());
    return left + right;
}

std::vector<QRectF> ThoughtTrail(const TTailLine& line, double rx, double ry, double size)
{
    std::array<QPointF, Samples + 1> points;
    for (int i = 0; i <= Samples; ++i)
        points[std::size_t(i)] = line.At(double(i) / Samples);
    const QPointF centre = points[0];
    const auto outside = [&](QPointF p) {
        const double x = (p.x() - centre.x()) / std::max(rx, 1.0);
        const double y = (p.y() - centre.y()) / std::max(ry, 1.0);
        return x * x + y * y > 1;
    };
    std::size_t exit = 0;
    while (exit <= Samples && !outside(points[exit]))
        ++exit;
    if (exit > Samples)
        return {};
    // Arc lengths from where the line leaves the body.
    std::vector<double> along{0};
    for (std::size_t i = exit + 1; i <= Samples; ++i)
        along.push_back(along.back() + Length(points[i] - points[i - 1]));
    const double length = along.back();
    const auto pointAt = [&](double s) {
        for (std::size_t i = 1; i < along.size(); ++i)
            if (along[i] >= s) {
                const double f = along[i] > along[i - 1] ? (s - along[i - 1]) / (along[i] - along[i - 1]) : 0;
                return points[exit + i - 1] + (points[exit + i] - points[exit + i - 1]) * f;
            }
        return points[Samples];
    };
    // Three puffs, each smaller than the one before, the last at the tip;
    // a short tail gets smaller ones.
    constexpr std::array<double, 3> Place{0.22, 0.56, 0.86};
    constexpr std::array<double, 3> Size{0.36, 0.26, 0.18};
    std::vector<QRectF> trail;
    for (std::size_t i = 0; i < Place.size(); ++i) {
        const double radius = std::max(1.5, std::min(size * Size[i], length * Size[i] / 2.2));
        const QPointF c = pointAt(length * Place[i]);
        trail.push_back(QRectF(c.x() - radius * 1.3, c.y() - radius, radius * 2.6, radius * 2));
    }
    return trail;
}
