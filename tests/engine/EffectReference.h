#pragma once

// Plain, literal versions of the engine's kernels: one pixel at a time, in
// the order the effect is defined, with no padding, strips, networks,
// histograms or threads. The engine's fast kernels must equal them bit for bit.

#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"

#include <cstdint>
#include <vector>

namespace Reference {

using TBytes = std::vector<std::uint8_t>;

// The packed region of a picture.
TBytes RegionOf(const TBitmap& picture, int left, int top, int width, int height);

// Row pass, then column pass, clamped indices, a scratch line per row or
// column. `source` and `destination` may be the same vector.
void GaussianBlur(const TBytes& source, TBytes& destination, int width, int height, double radius);
// Only the row pass (what a cancel in the column pass leaves behind first).
void BlurRows(const TBytes& source, TBytes& destination, int width, int height, double radius);

// Edge sums of an inverted, smoothed picture (before the tone mapping).
std::vector<std::int32_t> EdgeSums(const TBytes& inverted, int width, int height, double sharpen);
// The whole sketch of a region: values 0..255.
std::vector<std::int32_t> Sketch(const TBitmap& picture, int left, int top, int width, int height,
                                 const TEffectSettings& s);

// Colour scaling into a region buffer that starts out as `scaled` (so that a
// pixel the scaling leaves unwritten shows up).
void ScaleFixed(const TBitmap& picture, int left, int top, int width, int height, const std::uint8_t* table,
                int colorScale, TBytes& scaled);
void ScaleAverage(const TBitmap& picture, int left, int top, int width, int height, bool scanFromOrigin,
                  const std::uint8_t* table, int colorScale, TBytes& scaled);

// Median (smoothType 0) or maximum of every full window, with a ring of rows
// moving down each column.
TBytes Smooth(const TBytes& scaled, int width, int height, int radius, int smoothType);

// The colouring chain and both layers of a compositor run.
TBytes ColorLayer(const TBitmap& picture, int left, int top, int width, int height, const TEffectSettings& s);

} // namespace Reference
