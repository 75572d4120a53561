#pragma once

#include <QRect>
#include <QSize>

// Where the four floating panels go when the program starts. The desktop is
// the rectangle covering all screens; the tools palette stands at its left
// edge a third of the way down, and the history, layers and tool option
// panels are stacked at its right edge, left of where the main window's
// vertical scroll bar runs, all three as wide as the history panel. When the
// stack is taller than the desktop the three start at the top, a third and
// two thirds of the way down instead. Divisions drop the remainder.
struct TPanelSizes {
    QSize Tools;
    QSize History;
    QSize Layers;
    QSize ToolOption;
};

struct TPanelPlaces {
    QRect Tools;
    QRect History;
    QRect Layers;
    QRect ToolOption;
};

TPanelPlaces PanelPlaces(const QRect& desktop, const TPanelSizes& sizes, int scrollBarWidth);

// A panel's place moved, without changing its size, so that it lies inside
// `area` (a screen's work area): whatever the formula gives on a small or
// scaled screen, every panel stays reachable. A panel larger than the area
// keeps its top-left corner inside it.
QRect KeptInside(const QRect& place, const QRect& area);
