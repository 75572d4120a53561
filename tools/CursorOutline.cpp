#include "tools/CursorOutline.h"

#include "tools/DabShape.h"

#include <algorithm>

namespace {

// The shape's own border pixels: in it, with a 4-neighbour outside it.
bool OnBorder(const TShape& shape, int i, int j)
{
    return shape.Contains(i, j) && (!shape.Contains(i - 1, j) || !shape.Contains(i + 1, j) ||
                                    !shape.Contains(i, j - 1) || !shape.Contains(i, j + 1));
}

void Invert(TBitmap& view, int x, int y)
{
    if (x < 0 || y < 0 || x >= view.Width() || y >= view.Height())
        return;
    std::uint8_t* p = view.ScanLine(y) + std::size_t(x) * 3;
    p[0] = std::uint8_t(255 - p[0]);
    p[1] = std::uint8_t(255 - p[1]);
    p[2] = std::uint8_t(255 - p[2]);
}

} // namespace

TRect TCursorOutline::Draw(TBitmap& view, TToolPoint point, int size, bool ellipseAlways)
{
    const TRect rect = DabRect(point.X, point.Y, size);
    const int w = rect.Right - rect.Left + 1;
    const int h = rect.Bottom - rect.Top + 1;
    if (Saved.Width() < w || Saved.Height() < h)
        Saved.SetSize(std::max(w, Saved.Width()), std::max(h, Saved.Height()));
    Saved.CopyRect(view, rect.Left, rect.Top, w, h, 0, 0);
    Shown = rect;
    SavedWidth = view.Width();
    SavedHeight = view.Height();
    Hover = point;
    Hovered = true;

    const int box = rect.Right - rect.Left;
    if (box == 0 && !ellipseAlways) {
        if (point.X >= 0 && point.Y >= 0 && point.X < view.Width() && point.Y < view.Height()) {
            std::uint8_t* p = view.ScanLine(point.Y) + std::size_t(point.X) * 3;
            p[0] = p[1] = p[2] = 0;
        }
        return rect;
    }
    const TShape shape = ellipseAlways ? FilledEllipse(box, box) : DabShape(size);
    for (int j = 0; j < shape.Height; ++j)
        for (int i = 0; i < shape.Width; ++i)
            if (OnBorder(shape, i, j))
                Invert(view, rect.Left + i, rect.Top + j);
    return rect;
}

TRect TCursorOutline::Restore(TBitmap& view)
{
    const TRect rect = Shown;
    if (rect.Empty())
        return rect;
    // A composite that was resized since (a new picture) has nothing of ours.
    if (view.Width() == SavedWidth && view.Height() == SavedHeight) {
        view.CopyRect(Saved, 0, 0, rect.Right - rect.Left + 1, rect.Bottom - rect.Top + 1, rect.Left, rect.Top);
    }
    Shown = TRect{};
    return rect;
}
