#pragma once

#include "tools/DabShape.h"
#include "tools/StrokeTool.h"

#include <array>
#include <cstdint>
#include <vector>

using TToneTable = std::array<std::uint8_t, 256>;

// The tone curve of the darken (darken true) or lighten tool for a contrast
// 0..255: values up to 252 move by contrast x (254 - v) / 256 towards black
// or white; 253 to 255 never change, so white paper stays white.
TToneTable MakeToneTable(bool darken, int contrast);

// Sets each pixel of `layer` under the shape (its box at left, top) to the
// table's value of the same pixel of `pressCopy`. Pixels outside the layer
// are skipped.
void ApplyTone(TBitmap& layer, const TBitmap& pressCopy, const TShape& shape, int left, int top,
               const TToneTable& table);

// The darken and lighten brushes. Each pixel is changed from its value at
// the press, so going over a place twice in one stroke changes it once.
class TToneTool : public TStrokeTool {
public:
    TToneTool(TToolEnvironment& environment, bool darken)
        : TStrokeTool(environment)
        , Darken(darken)
    {
    }

protected:
    int Size() const override;
    void Begin(TToolPoint point) override;
    void Continue(TToolPoint point) override { Apply(point); }
    bool OutlineAlwaysEllipse() const override { return !Darken; }

private:
    void Apply(TToolPoint point);
    // Copies the press-time pixels of the tiles a dab covers before the
    // stroke first changes them, so that a press does not copy whole layers.
    void KeepPressTime(const TRect& rect);

    bool Darken;
    TToneTable Table{};
    TShape Mask;
    int MaskSize = 1;
    // The layers drawable at the press; only they are changed by the stroke.
    bool SketchCopied = false;
    bool ColorCopied = false;
    // Which tiles of the layers hold their press-time copy, row by row.
    std::vector<std::uint8_t> TileCopied;
    int TileColumns = 0;
    int TileRows = 0;
};
