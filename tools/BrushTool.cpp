#include "tools/BrushTool.h"

#include "tools/DabShape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The floor P of the profile by hardness; the divisor is 1 + P / 100, so
// that the centre stays at 100.
double ProfileFloor(int hardness)
{
    switch (std::clamp(hardness, 1, 6)) {
    case 1: return 2;
    case 2: return 4;
    case 3: return 8;
    case 4: return 16;
    case 5: return 32;
    default: return 900000;
    }
}

} // namespace

int BrushRingStrength(int ring, int size, int hardness)
{
    const double p = ProfileFloor(hardness);
    const double q = 1 + p / 100;
    const double f = double(ring) / double(size / 2);
    return RoundHalfEven((f * f * f * 100 + p) / q);
}

TBrushMask MakeBrushMask(int size, int hardness)
{
    size = std::max(size, 1);
    TBrushMask mask{size, std::vector<std::uint8_t>(std::size_t(size) * std::size_t(size), 0)};
    if (size <= 3) {
        std::fill(mask.Strength.begin(), mask.Strength.end(), 100);
        return mask;
    }
    // Smaller rings overwrite larger ones.
    for (int r = 0; r <= size / 2; ++r) {
        const auto g = std::uint8_t(std::clamp(BrushRingStrength(r, size, hardness), 0, 100));
        const TShape ring = FilledEllipse(size - 2 * r, size - 2 * r);
        for (int j = 0; j < ring.Height; ++j) {
            const TSpan span = ring.Rows[std::size_t(j)];
            std::uint8_t* row = mask.Strength.data() + std::size_t(r + j) * std::size_t(size) + std::size_t(r);
            std::fill(row + span.Begin, row + span.End, g);
        }
    }
    return mask;
}

void StampBrush(TBitmap& picture, const TBrushMask& mask, int left, int top, int opacity, TToolColor color)
{
    const int weight = 1 << (std::clamp(opacity, 1, 8) - 1);
    // The blend weight of each strength, looked up once per stamp.
    int percent[101];
    percent[0] = 0;
    for (int m = 1; m <= 100; ++m)
        percent[m] = std::max(1, m * weight / 128);
    const int s = mask.Size;
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(s, picture.Height() - top);
    const int firstColumn = std::max(0, -left);
    const int lastColumn = std::min(s, picture.Width() - left);
    if (firstColumn >= lastColumn)
        return;
    for (int i = firstRow; i < lastRow; ++i) {
        const std::uint8_t* m = mask.Strength.data() + std::size_t(i) * std::size_t(s);
        std::uint8_t* p = picture.ScanLine(top + i) + std::size_t(left + firstColumn) * 3;
        for (int j = firstColumn; j < lastColumn; ++j, p += 3) {
            const int d = percent[m[j]];
            if (d == 0)
                continue;
            p[0] = std::uint8_t(((100 - d) * p[0] + d * color.B) / 100);
            p[1] = std::uint8_t(((100 - d) * p[1] + d * color.G) / 100);
            p[2] = std::uint8_t(((100 - d) * p[2] + d * color.R) / 100);
        }
    }
}

void TBrushTool::Begin(TToolPoint point)
{
    HideOutline();
    const TToolSettings settings = Env.Settings();
    LastPoint = point;
    // Neither can change while the button is held: taken once, not per stamp.
    Mask = MakeBrushMask(settings.BrushSize, settings.BrushContent);
    Opacity = settings.BrushOpacity;
    Color = Env.FrontColor();
    Outline.Forget();
    Stamp(point);
}

std::vector<TToolPoint> TBrushTool::StampPoints(TToolPoint from, TToolPoint to, int size)
{
    std::vector<TToolPoint> points;
    const int step = std::max(1, RoundHalfEven(std::sqrt(double(size)) / 2));
    const int dx = to.X - from.X;
    const int dy = to.Y - from.Y;
    if (std::abs(dx) > std::abs(dy)) {
        const double slope = double(dy) / std::abs(dx);
        const int sign = dx > 0 ? 1 : -1;
        for (int h = 0; h <= std::abs(dx); h += step)
            points.push_back({from.X + h * sign, from.Y + RoundHalfEven(h * slope)});
    } else if (dy != 0) {
        const double slope = double(dx) / std::abs(dy);
        const int sign = dy > 0 ? 1 : -1;
        for (int h = 0; h <= std::abs(dy); h += step)
            points.push_back({from.X + RoundHalfEven(h * slope), from.Y + h * sign});
    }
    return points;
}

void TBrushTool::Continue(TToolPoint point)
{
    // The mask was made at the press; a size changed since waits for the next.
    for (TToolPoint stamp : StampPoints(LastPoint, point, Mask.Size))
        Stamp(stamp);
    LastPoint = point;
}

void TBrushTool::Stamp(TToolPoint point)
{
    const int s = Mask.Size;
    const TRect dab = DabRect(point.X, point.Y, s);
    const TDrawTargets targets = Env.DrawableLayers();
    for (TBitmap* layer : {targets.Sketch, targets.Color})
        if (layer)
            StampBrush(*layer, Mask, dab.Left, dab.Top, Opacity, Color);
    RebuildAndPaint(dab);
}
