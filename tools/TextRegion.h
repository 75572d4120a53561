#pragma once

#include "tools/TextFlow.h"

#include <QPointF>

class QPainter;

// Where an object's text may go, in its image's coordinates: a box, or the
// oval inscribed in the box, that the block of lines must stay inside.
struct TTextRegion {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    bool Oval = false;
    // The block starts at the top (boxes of text) rather than in the middle
    // (balloons).
    bool FromTop = false;

    double Width() const { return Right - Left; }
    double Height() const { return Bottom - Top; }
};

// Whether a block of lines `width` x `height`, centred, stays inside the
// region (from its top, for a region that starts there).
bool Holds(const TTextRegion& region, int width, int height);

// An object's text laid out for its region.
struct TPlacedText {
    TTextBlock Block;
    // The block's top-left corner, and the width its lines are aligned in.
    QPointF TopLeft;
    double Measure = 0;
    bool Fits = true;
};

// A box breaks the lines at its width. An oval tries the flow's candidate
// widths and takes the block that sits most comfortably inside it; when
// none fits, the one that comes nearest.
TPlacedText PlaceText(const TTextFlow& flow, const TTextRegion& region, bool wrap);

// Draws the lines in the painter's pen and font, clipped to the region's box.
void DrawPlacedText(QPainter& painter, const TPlacedText& text, TTextAlign align, const TTextRegion& region);
