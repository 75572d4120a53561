#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"
#include "tools/Tool.h"

// The outline the stroke tools show where their next dab will land, drawn
// into the composite by inverting its pixels (each channel c becomes
// 255 - c) and taken away by putting the saved pixels back. Size 1 shows
// one black pixel, sizes up to a box 3 wide the box's border, larger sizes
// the border of the inscribed ellipse.
class TCursorOutline {
public:
    // Saves the composite under the dab rectangle of (x, y) and draws the
    // outline; returns the rectangle, for the caller to show. `ellipseAlways`
    // draws the ellipse for every size (the lighten tool).
    TRect Draw(TBitmap& view, TToolPoint point, int size, bool ellipseAlways = false);
    // Puts the saved pixels back; returns the rectangle they cover (empty
    // when no outline is drawn), which is then no longer drawn.
    TRect Restore(TBitmap& view);
    // The composite under the outline was rebuilt: nothing to put back.
    void Forget() { Shown = TRect{}; }

    const TRect& OutlineRect() const { return Shown; }
    bool HasHover() const { return Hovered; }
    TToolPoint HoverPoint() const { return Hover; }

private:
    TRect Shown;
    TToolPoint Hover;
    bool Hovered = false;
    // The composite under Shown; sized with it.
    TBitmap Saved;
    int SavedWidth = 0;
    int SavedHeight = 0;
};
