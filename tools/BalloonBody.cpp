#include "tools/BalloonBody.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;
// Beyond this the search for a body gives up: the text cannot be held.
constexpr int TallestBody = 1 << 15;

// The radius of a cloud's puffs.
double PuffRadius(double width, double height) { return std::max(2.0, std::min(width, height) / 5); }

// A burst's inner corners lie on this fraction of its outer ellipse, and
// every other spike falls short of it by a tenth.
constexpr double BurstInner = 0.78;
constexpr double BurstShort = 0.9;

double EllipsePerimeter(double a, double b)
{
    // Ramanujan's approximation, far closer than a puff needs.
    return Pi * (3 * (a + b) - std::sqrt((3 * a + b) * (a + 3 * b)));
}

// `count` points spaced evenly along the ellipse of radii a, b, starting at
// its top.
std::vector<QPointF> AlongEllipse(QPointF centre, double a, double b, int count)
{
    constexpr int Steps = 720;
    std::vector<QPointF> samples;
    std::vector<double> along{0};
    for (int i = 0; i <= Steps; ++i) {
        const double angle = 2 * Pi * i / Steps - Pi / 2;
        samples.push_back(centre + QPointF(a * std::cos(angle), b * std::sin(angle)));
        if (i > 0) {
            const QPointF d = samples[std::size_t(i)] - samples[std::size_t(i) - 1];
            along.push_back(along.back() + std::sqrt(d.x() * d.x() + d.y() * d.y()));
        }
    }
    std::vector<QPointF> points;
    std::size_t k = 0;
    for (int i = 0; i < count; ++i) {
        const double s = along.back() * i / count;
        while (k + 1 < along.size() && along[k + 1] < s)
            ++k;
        points.push_back(samples[k]);
    }
    return points;
}

struct TAspect {
    double Least;
    double Most;
};

// Speech balloons are about twice as wide as high; a long word may widen
// them to twice that.
TAspect AspectOf(TBalloonKind kind)
{
    switch (kind) {
    case TBalloonKind::Thought: return {1.7, 3.4};
    case TBalloonKind::Shout: return {1.5, 3.0};
    default: return {2.0, 4.0};
    }
}

struct TBlockSize {
    int Width;
    int Height;
};

// The blocks the text can be laid out as: one per candidate width, or the
// lines as typed. An empty text takes one empty line.
std::vector<TBlockSize> Blocks(const TTextFlow& flow, bool wrap, int narrowest)
{
    if (flow.Empty())
        return {{0, flow.LinePitch()}};
    std::vector<TBlockSize> blocks;
    const std::vector<int> widths = wrap ? flow.CandidateWidths(narrowest) : std::vector<int>{flow.NaturalWidth()};
    for (int width : widths) {
        const TTextBlock block = flow.Layout(std::max(width, 1), wrap);
        blocks.push_back({block.Width(), block.Height()});
    }
    return blocks;
}

// Whether the body holds the text as it would be laid out there: a box
// region breaks the lines at its own width, an oval takes any block.
bool BodyHolds(TBalloonKind kind, const TTextFlow& flow, bool wrap, const std::vector<TBlockSize>& ovalBlocks,
               int borderWidth, int fontPixels, int width, int height)
{
    const TTextRegion region = BalloonTextRegion(kind, width, height, borderWidth, fontPixels);
    if (region.Oval)
        return std::any_of(ovalBlocks.begin(), ovalBlocks.end(),
                           [&](const TBlockSize& b) { return Holds(region, b.Width, b.Height); });
    if (region.Width() < 1)
        return false;
    if (flow.Empty())
        return Holds(region, 0, flow.LinePitch());
    const TTextBlock block = flow.Layout(int(std::floor(region.Width() + 1e-9)), wrap);
    return Holds(region, block.Width(), block.Height());
}

} // namespace

QPainterPath BalloonBodyPath(TBalloonKind kind, const QRectF& box, int corner)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const QPointF centre = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    switch (kind) {
    case TBalloonKind::Rectangle: path.addRect(box); break;
    case TBalloonKind::Rounded: path.addRoundedRect(box, corner, corner); break;
    case TBalloonKind::Ellipse: path.addEllipse(box); break;
    case TBalloonKind::Thought: {
        const double r = PuffRadius(box.width(), box.height());
        path.addEllipse(centre, std::max(1.0, rx - r), std::max(1.0, ry - r));
        break;
    }
    case TBalloonKind::Shout: {
        const int spikes = std::max(10, int(std::lround(EllipsePerimeter(rx, ry) / 30)));
        QPolygonF star;
        for (int i = 0; i < 2 * spikes; ++i) {
            const double angle = Pi * i / spikes - Pi / 2;
            const double reach = i % 2 == 1 ? BurstInner : (i / 2) % 2 == 0 ? 1.0 : BurstShort;
            star << centre + QPointF(rx * reach * std::cos(angle), ry * reach * std::sin(angle));
        }
        path.addPolygon(star);
        path.closeSubpath();
        break;
    }
    }
    return path;
}

std::vector<QRectF> CloudPuffs(const QRectF& box)
{
    const double r = PuffRadius(box.width(), box.height());
    const double a = std::max(1.0, box.width() / 2 - r);
    const double b = std::max(1.0, box.height() / 2 - r);
    // Puffs a little closer than their diameter overlap into a cloud.
    const int count = std::max(6, int(std::lround(EllipsePerimeter(a, b) / (1.5 * r))));
    std::vector<QRectF> puffs;
    for (QPointF puff : AlongEllipse(box.center(), a, b, count))
        puffs.push_back(QRectF(puff.x() - r, puff.y() - r, 2 * r, 2 * r));
    return puffs;
}

TTextRegion BalloonTextRegion(TBalloonKind kind, int width, int height, int borderWidth, int fontPixels)
{
    const double margin = borderWidth + std::max(3.0, std::round(fontPixels * 0.35));
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    TTextRegion region;
    double rx = cx - margin;
    double ry = cy - margin;
    switch (kind) {
    case TBalloonKind::Rectangle:
    case TBalloonKind::Rounded: {
        // Clear of the rounded corners' curve, which cuts about 0.3 of the
        // radius off a corner.
        const double inset = kind == TBalloonKind::Rounded
                                 ? std::max(margin, borderWidth + std::ceil(0.3 * (std::min(width, height) / 4)) + 2)
                                 : margin;
        return TTextRegion{inset, inset, width - inset, height - inset, false, false};
    }
    case TBalloonKind::Ellipse: break;
    case TBalloonKind::Thought: {
        // The puffs' centres lie on an ellipse a puff's radius in; the
        // cloud is solid to about half a radius beyond it.
        const double r = PuffRadius(width, height);
        rx = cx - r / 2 - margin;
        ry = cy - r / 2 - margin;
        break;
    }
    case TBalloonKind::Shout:
        // Inside the corners between the spikes, with room for the straight
        // edges that cut across between them.
        rx = cx * BurstInner * 0.94 - margin;
        ry = cy * BurstInner * 0.94 - margin;
        break;
    }
    region.Oval = true;
    region.Left = cx - rx;
    region.Right = cx + rx;
    region.Top = cy - ry;
    region.Bottom = cy + ry;
    return region;
}

std::optional<TBodySize> FitBalloonBody(TBalloonKind kind, const TTextFlow& flow, bool wrap, int borderWidth,
                                        int fontPixels)
{
    const TAspect aspect = AspectOf(kind);
    const double margin = 2.0 * (borderWidth + std::max(3.0, std::round(fontPixels * 0.35)));
    // Fitting never breaks a word: the balloon grows wider instead.
    const std::vector<TBlockSize> blocks = Blocks(flow, wrap, flow.WidestWord());
    std::optional<TBodySize> best;
    double bestCost = 0;
    for (const TBlockSize& block : blocks) {
        const double ratio = std::clamp((block.Width + margin) / (block.Height + margin), aspect.Least, aspect.Most);
        const auto holds = [&](int h) {
            const TTextRegion region = BalloonTextRegion(kind, int(std::ceil(ratio * h)), h, borderWidth, fontPixels);
            return Holds(region, block.Width, block.Height);
        };
        int low = 1, high = 1;
        while (high < TallestBody && !holds(high))
            high *= 2;
        if (!holds(high))
            continue;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (holds(mid))
                high = mid;
            else
                low = mid + 1;
        }
        const TBodySize size{int(std::ceil(ratio * high)), high};
        // The smallest body, a wider shape than the kind's own counting as
        // that much bigger.
        const double cost = double(size.Width) * size.Height * ratio / aspect.Least;
        if (!best || cost < bestCost) {
            best = size;
            bestCost = cost;
        }
    }
    return best;
}

int NeededBalloonHeight(TBalloonKind kind, const TTextFlow& flow, bool wrap, int borderWidth, int fontPixels, int width,
                        int height)
{
    const TTextRegion sample = BalloonTextRegion(kind, width, std::max(height, 1), borderWidth, fontPixels);
    // As PlaceText tries them for an oval.
    const std::vector<TBlockSize> blocks =
        sample.Oval ? Blocks(flow, wrap, flow.NarrowestTried()) : std::vector<TBlockSize>{};
    const auto holds = [&](int h) { return BodyHolds(kind, flow, wrap, blocks, borderWidth, fontPixels, width, h); };
    if (holds(height))
        return height;
    int high = std::max(height, 1);
    while (high < TallestBody && !holds(high))
        high *= 2;
    if (!holds(high))
        return height;
    int low = height + 1;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (holds(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return high;
}
