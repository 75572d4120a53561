#pragma once

#include "picture/Bitmap.h"
#include "tools/ToolEnvironment.h"

#include <QFont>
#include <QPolygonF>

#include <array>
#include <optional>

class QPainter;

// Where the lines of an object's text go in its image: each line gets a
// line box from `Left` to `Right` (right edge excluded) as tall as the
// font's line height + 2, starting at `Top`, the next one starting at the
// previous bottom; a box's bottom goes no lower than `BottomLimit` when
// there is one. Each line is drawn at its box's top-left corner and clipped
// to the box. With a ground colour the box is filled with it first.
struct TTextLayout {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    std::optional<int> BottomLimit;
    std::optional<TToolColor> Ground;
};

// The objects' font: the face, size and style of an option page. A size box
// that is blank keeps the size last set for any object.
class TObjectFont {
public:
    // The line height, in pixels, of the font the settings name.
    int LineHeight(const TObjectSettings& settings);
    // The toolkit's font the settings name: stair-stepped, so that every
    // text pixel is exactly the colour, or smooth without colour fringes.
    QFont Font(const TObjectSettings& settings);
    // Draws the lines of `settings` in `color` into `image`, each in its
    // line box, aligned as the settings say; true when a line is cut (wider
    // than its box, or below the last box).
    bool DrawLines(TBitmap& image, const TObjectSettings& settings, TToolColor color, const TTextLayout& layout);
    bool DrawLines(QPainter& painter, const TObjectSettings& settings, TToolColor color, const TTextLayout& layout);

    // The pixel size of a point size at 96 pixels per inch.
    static int PixelSize(int points);

private:
    int Points(const TObjectSettings& settings);

    int LastPoints = 12;
};

// Fills the triangle of three points and outlines it with a pen `penWidth`
// pixels wide (round joins); without anti-aliasing.
void DrawTriangle(TBitmap& image, const std::array<std::array<int, 2>, 3>& corners, TToolColor fill, TToolColor outline,
                  int penWidth);
// The same for any polygon.
void DrawPolygon(TBitmap& image, const QPolygonF& polygon, TToolColor fill, TToolColor outline, int penWidth);
