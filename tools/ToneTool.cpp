#include "tools/ToneTool.h"

#include <algorithm>

namespace {

// Side of the tiles copied on first touch: a size-100 dab covers at most
// four by four of them.
constexpr int TileSide = 64;

} // namespace

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

void TToneTool::Begin(TToolPoint point)
{
    HideOutline();
    const TToolSettings settings = Env.Settings();
    const int s = std::max(1, Size());
    const int contrast = Darken ? settings.DarkenContrast : settings.LightenContrast;
    // The work copies take the press-time pixels tile by tile, as the
    // stroke reaches them, wherever the drag goes.
    const TDrawTargets targets = Env.DrawableLayers();
    SketchCopied = targets.Sketch != nullptr;
    ColorCopied = targets.Color != nullptr;
    if (SketchCopied)
        Env.SketchWork().SetSize(targets.Sketch->Width(), targets.Sketch->Height());
    if (ColorCopied)
        Env.ColorWork().SetSize(targets.Color->Width(), targets.Color->Height());
    const TBitmap& reference = SketchCopied ? *targets.Sketch : ColorCopied ? *targets.Color : Env.ViewBitmap();
    TileColumns = (reference.Width() + TileSide - 1) / TileSide;
    TileRows = (reference.Height() + TileSide - 1) / TileSide;
    TileCopied.assign(std::size_t(TileColumns) * std::size_t(TileRows), 0);
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
    const TRect dab = DabRect(point.X, point.Y, MaskSize);
    KeepPressTime(dab);
    const TDrawTargets targets = Env.DrawableLayers();
    if (targets.Sketch && SketchCopied)
        ApplyTone(*targets.Sketch, Env.SketchWork(), Mask, left, top, Table);
    if (targets.Color && ColorCopied)
        ApplyTone(*targets.Color, Env.ColorWork(), Mask, left, top, Table);
    // The dab rectangle holds the whole mask.
    RebuildAndPaint(dab);
}

void TToneTool::KeepPressTime(const TRect& rect)
{
    if (rect.Right < 0 || rect.Bottom < 0)
        return;
    const int firstColumn = std::max(rect.Left, 0) / TileSide;
    const int lastColumn = std::min(rect.Right / TileSide, TileColumns - 1);
    const int firstRow = std::max(rect.Top, 0) / TileSide;
    const int lastRow = std::min(rect.Bottom / TileSide, TileRows - 1);
    const TDrawTargets targets = Env.DrawableLayers();
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column) {
            std::uint8_t& copied = TileCopied[std::size_t(row) * std::size_t(TileColumns) + std::size_t(column)];
            if (copied)
                continue;
            copied = 1;
            const int x = column * TileSide;
            const int y = row * TileSide;
            // CopyRect clips the tiles at the right and bottom edges.
            if (SketchCopied && targets.Sketch)
                Env.SketchWork().CopyRect(*targets.Sketch, x, y, TileSide, TileSide, x, y);
            if (ColorCopied && targets.Color)
                Env.ColorWork().CopyRect(*targets.Color, x, y, TileSide, TileSide, x, y);
        }
}
