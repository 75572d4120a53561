#include "PaintBucket.h"

#include <algorithm>
#include <cstring>

TRect FloodFill(const TBitmap& view, TDrawTargets targets, TToolPoint seed, int tolerance, TToolColor color,
                TFloodScratch& scratch)
{
    const int w = view.Width();
    const int h = view.Height();
    if (seed.X < 0 || seed.Y < 0 || seed.X >= w || seed.Y >= h)
        return TRect{};
    scratch.Visited.assign(std::size_t(w) * std::size_t(h), 0);
    const std::uint8_t* s = view.ScanLine(seed.Y) + std::size_t(seed.X) * 3;
    int lo[3];
    int hi[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = std::max(0, s[c] - tolerance);
        hi[c] = std::min(255, s[c] + tolerance);
    }
    const auto qualifies = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || scratch.Visited[std::size_t(y) * std::size_t(w) + std::size_t(x)])
            return false;
        const std::uint8_t* p = view.ScanLine(y) + std::size_t(x) * 3;
        return p[0] >= lo[0] && p[0] <= hi[0] && p[1] >= lo[1] && p[1] <= hi[1] && p[2] >= lo[2] && p[2] <= hi[2];
    };
    const std::uint8_t bgr[3] = {color.B, color.G, color.R};
    const auto fill = [&](TBitmap* layer, int x, int y) {
        if (layer && x < layer->Width() && y < layer->Height())
            std::memcpy(layer->ScanLine(y) + std::size_t(x) * 3, bgr, 3);
    };
    TRect filled{w, h, -1, -1};
    scratch.Front.assign(1, seed);
    while (!scratch.Front.empty()) {
        scratch.Next.clear();
        for (const TToolPoint p : scratch.Front) {
            const TToolPoint neighbours[4] = {{p.X, p.Y + 1}, {p.X, p.Y - 1}, {p.X - 1, p.Y}, {p.X + 1, p.Y}};
            for (const TToolPoint n : neighbours) {
                if (!qualifies(n.X, n.Y))
                    continue;
                scratch.Visited[std::size_t(n.Y) * std::size_t(w) + std::size_t(n.X)] = 1;
                scratch.Next.push_back(n);
                fill(targets.Sketch, n.X, n.Y);
                fill(targets.Color, n.X, n.Y);
                filled.Left = std::min(filled.Left, n.X);
                filled.Top = std::min(filled.Top, n.Y);
                filled.Right = std::max(filled.Right, n.X);
                filled.Bottom = std::max(filled.Bottom, n.Y);
            }
        }
        std::swap(scratch.Front, scratch.Next);
    }
    return filled.Empty() ? TRect{} : filled;
}

void TPaintBucketTool::Press(TToolPoint point, TMouseButton, TMouseButtons)
{
    // The composite is kept current only where it was shown; the region is
    // judged on all of it.
    Env.RebuildAll();
    FloodFill(Env.ViewBitmap(), Env.DrawableLayers(), point, Env.Settings().Tolerance, Env.FrontColor(), Scratch);
    const TRect view = Env.ViewRect();
    Env.RebuildComposite(view);
    Env.PaintRect(view);
}

void TPaintBucketTool::Release(TToolPoint, TMouseButton, TMouseButtons) { Env.RecordToolStep(); }
