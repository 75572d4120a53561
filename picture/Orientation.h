#pragma once

#include "picture/Bitmap.h"

// Turns a picture as stored by a camera into the picture as it should be seen,
// for the eight orientation values of the EXIF tag (0x0112):
//   1 as stored               5 transposed (mirrored along the main diagonal)
//   2 mirrored left-right     6 turned a quarter clockwise
//   3 turned half a turn      7 transversed (mirrored along the other diagonal)
//   4 mirrored top-bottom     8 turned a quarter anticlockwise
// Values 5 to 8 swap width and height. Any other value leaves the picture as
// it is, as does value 1 (without copying it).
TBitmap ApplyOrientation(TBitmap picture, int orientation);
