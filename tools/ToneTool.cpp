#include "ToneTool.h"

#include <algorithm>

TToneTable MakeToneTable(bool darken, int contrast)
{
    TToneTable table{};
    for (int i = 0; i < 256; ++i) {
        if (i >= 253) {
            table[std::size_t(i)] = std::uint8_t(i);
            continue;
        }
        const int k = contrast * (254 - i) / 256;
        table[std::size_t(i)] = std::uint8_t(darken ? std::max(0, i - k) : std::min(255, i + k));
    }
    return table;
}

void ApplyTone(TBitmap& layer, const TBitmap& pressCopy, const TShape& shape, int left, int top,
               const TToneTable& table)
{
    const int width = std::min(layer.Width(), pressCopy.Width());
    const int height = std::min(layer.Height(), pressCopy.Height());
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(shape.Height, height - top);
    for (int j = firstRow; j < lastRow; ++j) {
        const TSpan span = shape.Rows[std::size_t(j)];
        const int begin = std::max(left + span.Begin, 0);
        const int end = std::min(left + span.End, width);
        if (begin >= end)
            continue;
        const std::uint8_t* from = pressCopy.ScanLine(top + j) + std::size_t(begin) * 3;
        std::uint8_t* to = layer.ScanLine(top + j) + std::size_t(begin) * 3;
        for (std::size_t b = 0, bytes = std::size_t(end - begin) * 3; b < bytes; ++b)
            to[b] = table[from[b]];
    }
}

int TToneTool::Size() const
{
    const TToolSettings settings = Env.Settings();
    return Darken ? settings.DarkenSize : settings.LightenSize;
}

void TToneTool::Press(TToolPoint point, TMouseButton, TMouseButtons)
{
    HideOutline();
    const TToolSettings settings = Env.Settings();
    const int s = std::max(1, Darken ? settings.DarkenSize : settings.LightenSize);
    const int contrast = Darken ? settings.DarkenContrast : settings.LightenContrast;
    // A drag may leave the view, so the copies cover the whole layers.
    const TDrawTargets targets = Env.DrawableLayers();
    SketchCopied = targets.Sketch != nullptr;
    ColorCopied = targets.Color != nullptr;
    if (SketchCopied)
        Env.SketchWork() = *targets.Sketch;
    if (ColorCopied)
        Env.ColorWork() = *targets.Color;
    Table = MakeToneTable(Darken, contrast);
    MaskSize = s;
    Mask = s <= 3 ? FilledBox(s, s) : FilledEllipse(s, s);
    Outline.Forget();
    Apply(point);
}

void TToneTool::Apply(TToolPoint point)
{
    const int left = point.X - MaskSize / 2;
    const int top = point.Y - MaskSize / 2;
    const TDrawTargets targets = Env.DrawableLayers();
    if (targets.Sketch && SketchCopied)
        ApplyTone(*targets.Sketch, Env.SketchWork(), Mask, left, top, Table);
    if (targets.Color && ColorCopied)
        ApplyTone(*targets.Color, Env.ColorWork(), Mask, left, top, Table);
    // The dab rectangle holds the whole mask.
    RebuildAndPaint(DabRect(point.X, point.Y, MaskSize));
}
