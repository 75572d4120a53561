#include "tools/PaintBucket.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Whether each channel value lies within the seed's range, per channel
// (blue, green, red), so that a pixel is judged with three look-ups.
struct TAccept {
    std::array<std::array<std::uint8_t, 256>, 3> Channel{};

    bool operator()(const std::uint8_t* p) const
    {
        return (Channel[0][p[0]] & Channel[1][p[1]] & Channel[2][p[2]]) != 0;
    }
};

void FillSpan(TBitmap* layer, int y, int left, int right, const std::uint8_t bgr[3])
{
    if (!layer || y >= layer->Height())
        return;
    right = std::min(right, layer->Width() - 1);
    std::uint8_t* p = layer->ScanLine(y) + std::size_t(left) * 3;
    for (int x = left; x <= right; ++x, p += 3)
        std::memcpy(p, bgr, 3);
}

} // namespace

TRect FloodFill(const TBitmap& view, TDrawTargets targets, TToolPoint seed, int tolerance, TToolColor color,
                TFloodScratch& scratch, const TRowReady& rowReady)
{
    const int w = view.Width();
    const int h = view.Height();
    if (seed.X < 0 || seed.Y < 0 || seed.X >= w || seed.Y >= h)
        return TRect{};
    scratch.Visited.assign(std::size_t(w) * std::size_t(h), 0);
    scratch.RowReady.assign(std::size_t(h), 0);
    const auto ready = [&](int y) {
        if (!scratch.RowReady[std::size_t(y)]) {
            scratch.RowReady[std::size_t(y)] = 1;
            if (rowReady)
                rowReady(y);
        }
    };
    ready(seed.Y);
    const std::uint8_t* s = view.ScanLine(seed.Y) + std::size_t(seed.X) * 3;
    TAccept accept;
    for (int c = 0; c < 3; ++c)
        for (int v = std::max(0, s[c] - tolerance); v <= std::min(255, s[c] + tolerance); ++v)
            accept.Channel[std::size_t(c)][std::size_t(v)] = 1;
    const auto open = [&](int x, int y) {
        return !scratch.Visited[std::size_t(y) * std::size_t(w) + std::size_t(x)] &&
               accept(view.ScanLine(y) + std::size_t(x) * 3);
    };

    // A lone seed is not filled: it needs a qualifying 4-neighbour.
    const bool hasNeighbour = (seed.Y + 1 < h && (ready(seed.Y + 1), open(seed.X, seed.Y + 1))) ||
                              (seed.Y > 0 && (ready(seed.Y - 1), open(seed.X, seed.Y - 1))) ||
                              (seed.X > 0 && open(seed.X - 1, seed.Y)) || (seed.X + 1 < w && open(seed.X + 1, seed.Y));
    if (!hasNeighbour)
        return TRect{};

    const std::uint8_t bgr[3] = {color.B, color.G, color.R};
    TRect filled{w, h, -1, -1};
    scratch.Seeds.assign(1, seed);
    while (!scratch.Seeds.empty()) {
        const TToolPoint p = scratch.Seeds.back();
        scratch.Seeds.pop_back();
        if (!open(p.X, p.Y))
            continue;
        // The whole open run of the row through p.
        int left = p.X;
        int right = p.X;
        while (left > 0 && open(left - 1, p.Y))
            --left;
        while (right + 1 < w && open(right + 1, p.Y))
            ++right;
        std::memset(scratch.Visited.data() + std::size_t(p.Y) * std::size_t(w) + std::size_t(left), 1,
                    std::size_t(right - left + 1));
        FillSpan(targets.Sketch, p.Y, left, right, bgr);
        FillSpan(targets.Color, p.Y, left, right, bgr);
        filled.Left = std::min(filled.Left, left);
        filled.Right = std::max(filled.Right, right);
        filled.Top = std::min(filled.Top, p.Y);
        filled.Bottom = std::max(filled.Bottom, p.Y);
        // One seed for each open run above and below the span.
        for (const int y : {p.Y - 1, p.Y + 1}) {
            if (y < 0 || y >= h)
                continue;
            ready(y);
            for (int x = left; x <= right; ++x) {
                if (!open(x, y))
                    continue;
                scratch.Seeds.push_back({x, y});
                while (x + 1 <= right && open(x + 1, y))
                    ++x;
            }
        }
    }
    return filled;
}

void TPaintBucketTool::Press(TToolPoint point, TMouseButton, TMouseButtons)
{
    // The composite is kept current only where it was shown; each row the
    // flood reads is brought up to date first.
    TBitmap& view = Env.ViewBitmap();
    const int width = view.Width();
    FloodFill(view, Env.DrawableLayers(), point, Env.Settings().Tolerance, Env.FrontColor(), Scratch,
              [this, width](int row) {
                  Env.RebuildComposite(TRect{0, row, width - 1, row});
              });
    const TRect shown = Env.ViewRect();
    Env.RebuildComposite(shown);
    Env.PaintRect(shown);
}

void TPaintBucketTool::Release(TToolPoint, TMouseButton, TMouseButtons) { Env.RecordToolStep(); }
