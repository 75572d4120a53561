#pragma once

#include "tools/StrokeTool.h"

#include <cstdint>
#include <vector>

// The brush's strength mask: size x size strengths 0..100, growing from the
// rim to the centre with a cubic profile whose floor the hardness (1..6)
// raises. Sizes up to 3 are a hard square of 100.
struct TBrushMask {
    int Size = 0;
    std::vector<std::uint8_t> Strength;

    std::uint8_t At(int column, int row) const
    {
        return Strength[std::size_t(row) * std::size_t(Size) + std::size_t(column)];
    }
};

// The strength of the ring r pixels in from the rim of a mask.
int BrushRingStrength(int ring, int size, int hardness);
TBrushMask MakeBrushMask(int size, int hardness);

// Stamps the mask with its top-left corner at (left, top): each covered
// pixel moves d percent of the way to the colour, d = strength x 2^(opacity
// - 1) / 128, at least 1. Pixels outside the picture are skipped.
void StampBrush(TBitmap& picture, const TBrushMask& mask, int left, int top, int opacity, TToolColor color);

// Soft dabs of the front colour, stamped every few pixels along the drag.
class TBrushTool : public TStrokeTool {
public:
    using TStrokeTool::TStrokeTool;

    // The centres a drag from `from` to `to` stamps, for a brush of this size.
    static std::vector<TToolPoint> StampPoints(TToolPoint from, TToolPoint to, int size);

protected:
    int Size() const override { return Env.Settings().BrushSize; }
    void Begin(TToolPoint point) override;
    void Continue(TToolPoint point) override;

private:
    void Stamp(TToolPoint point);

    TToolPoint LastPoint;
    TBrushMask Mask;
    int Opacity = 0;
    TToolColor Color{};
};
