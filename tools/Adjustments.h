#pragma once

#include "document/Rect.h"

class TBitmap;
class TWorkerPool;

// The adjustments' pixel operations: the colouring step's tone tables applied
// to a rectangle of a 24-bit picture. Each replaces every pixel of `rect`
// (inclusive edges) in `destination` by the table entry of the same pixel of
// `source`; the two may be the same picture. The rectangle is clamped to both
// pictures. With a pool, big rectangles are shared out by rows; the result is
// the same for every thread count. They report no progress and ignore the
// abort flag, which a cancelled effect run may have left set.
void OffsetPicture(const TBitmap& source, TBitmap& destination, int red, int green, int blue, const TRect& rect,
                   TWorkerPool* pool = nullptr);
void ContrastPicture(const TBitmap& source, TBitmap& destination, int contrast, const TRect& rect,
                     TWorkerPool* pool = nullptr);
void SaturatePicture(const TBitmap& source, TBitmap& destination, int saturation, const TRect& rect,
                     TWorkerPool* pool = nullptr);

// OffsetPicture with the brightness on all three channels followed by
// ContrastPicture, in one pass through the two tables chained.
void BrightContrastPicture(const TBitmap& source, TBitmap& destination, int brightness, int contrast, const TRect& rect,
                           TWorkerPool* pool = nullptr);
