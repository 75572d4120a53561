#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"
#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

// Strokes the cubic Bezier curve from p0 through the control points p1 and
// p2 to p3 with a round pen: every pixel whose centre lies within width / 2
// of the curve takes the colour, which gives round ends and round joins.
// Pixels outside the picture are skipped.
void StrokeCubic(TBitmap& picture, TToolPoint p0, TToolPoint p1, TToolPoint p2, TToolPoint p3, int width,
                 TToolColor color);
