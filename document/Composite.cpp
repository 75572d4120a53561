#include "document/Composite.h"

#include <algorithm>
#include <cstring>

void MultiplyRow(const std::uint8_t* sketch, const std::uint8_t* color, std::uint8_t* out, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        out[i] = std::uint8_t(unsigned(sketch[i]) * unsigned(color[i]) / 255);
}

void OpacityRow(const std::uint8_t* sketch, const std::uint8_t* color, std::uint8_t* out, std::size_t bytes,
                int opacity)
{
    const unsigned p = unsigned(std::clamp(opacity, 0, 100));
    const unsigned q = 100 - p;
    for (std::size_t i = 0; i < bytes; ++i)
        out[i] = std::uint8_t((q * color[i] + p * sketch[i]) / 100);
}

void BlendRows(const TBitmap& sketch, const TBitmap& color, TBitmap& view, int blendingMode, int opacity,
               const TRect& area)
{
    if (area.Empty() || (blendingMode != BlendMultiply && blendingMode != BlendOpacity))
        return;
    const std::size_t first = std::size_t(area.Left) * 3;
    const std::size_t bytes = std::size_t(area.Right - area.Left + 1) * 3;
    for (int y = area.Top; y <= area.Bottom; ++y) {
        const std::uint8_t* s = sketch.ScanLine(y) + first;
        const std::uint8_t* c = color.ScanLine(y) + first;
        std::uint8_t* out = view.ScanLine(y) + first;
        if (blendingMode == BlendMultiply)
            MultiplyRow(s, c, out, bytes);
        else
            OpacityRow(s, c, out, bytes, opacity);
    }
}

namespace {

TRect ClampTo(const TRect& rect, const TBitmap& picture) { return ClampRect(rect, picture.Width(), picture.Height()); }

void CopyArea(const TBitmap& from, TBitmap& view, const TRect& rect)
{
    const TRect area = ClampTo(ClampTo(rect, from), view);
    if (area.Empty() || &from == &view)
        return;
    const std::size_t first = std::size_t(area.Left) * 3;
    const std::size_t bytes = std::size_t(area.Right - area.Left + 1) * 3;
    for (int y = area.Top; y <= area.Bottom; ++y)
        std::memcpy(view.ScanLine(y) + first, from.ScanLine(y) + first, bytes);
}

} // namespace

void ComposeRect(const TBitmap& sketch, const TBitmap& color, const TBitmap& source, const TLayerState& state,
                 TBitmap& view, const TRect& rect)
{
    if (state.SketchVisible && state.ColorVisible)
        BlendRows(sketch, color, view, state.BlendingMode, state.Opacity,
                  ClampTo(ClampTo(ClampTo(rect, sketch), color), view));
    else if (state.SketchVisible)
        CopyArea(sketch, view, rect);
    else if (state.ColorVisible)
        CopyArea(color, view, rect);
    else
        CopyArea(source, view, rect);
}
