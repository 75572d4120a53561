#pragma once

#include "document/LayerState.h"
#include "document/Rect.h"
#include "picture/Bitmap.h"

#include <cstddef>
#include <cstdint>

// The composite rule: how the picture that is shown, saved and copied is made
// from the sketch layer s and the colouring layer c, byte by byte (blue, green
// and red alike):
//   multiply: (s x c) / 255, the remainder dropped, so that a white sketch
//   layer shows the colouring layer unchanged (a shift by 8 would darken
//   every opened photo by a level, and every save and every effect run on
//   it again), as the effect's own blend does;
//   opacity p: ((100 - p) x c + p x s) / 100, the remainder dropped.

// One run of `bytes` bytes of each picture.
void MultiplyRow(const std::uint8_t* sketch, const std::uint8_t* color, std::uint8_t* out, std::size_t bytes);
// `opacity` is taken within 0..100, so that no result leaves 0..255.
void OpacityRow(const std::uint8_t* sketch, const std::uint8_t* color, std::uint8_t* out, std::size_t bytes,
                int opacity);

// Blends the rows area.Top..area.Bottom, columns area.Left..area.Right, of
// the two layers into `view`. The area must lie inside all three pictures
// (ComposeRect clamps it); callers may split a picture into row bands and
// blend them in parallel. A blending mode other than multiply or opacity
// leaves `view` unchanged.
void BlendRows(const TBitmap& sketch, const TBitmap& color, TBitmap& view, int blendingMode, int opacity,
               const TRect& area);

// The whole rule for a rectangle (inclusive edges, picture coordinates): both
// layers visible blends them, one visible copies it unchanged, neither copies
// `source`. The rectangle is clamped to every picture that is read or written,
// so pictures of different sizes never lead to a read outside one of them.
void ComposeRect(const TBitmap& sketch, const TBitmap& color, const TBitmap& source, const TLayerState& state,
                 TBitmap& view, const TRect& rect);
