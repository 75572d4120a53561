#pragma once

#include "settings/ProgramOptions.h"

#include <QMargins>
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

// Where the preview window opens, from the options' size mode against the
// work area, whose right and bottom edges (x + width, y + height) are called
// R and B here; divisions truncate toward zero. Custom takes the custom size
// centred only when it is below R x B; Maximized takes 0, 0, R, B; Last takes
// the rectangle of the last close only when its top-left corner lies in
// 0..R, 0..B and its size in 1..R, 1..B. Otherwise, and for an unknown mode,
// the window keeps its designed size, centred. The size is then held to the
// window's limits.
//
// Last, the window with its frame (`frame`: the title bar and borders the
// window system adds around the returned rectangle, whose corner is the
// frame's corner and whose size is the inside's) is kept on the work area:
// made smaller where it does not fit, never below its minimum, and moved
// inside; one that cannot fit keeps its top-left corner on the work area.
struct TPreviewWindowSizes {
    QSize Designed;
    QSize Minimum;
    QSize Maximum;
};

QRect PreviewPlace(const TProgramOptions& options, const QRect& workArea, const TPreviewWindowSizes& sizes,
                   const QMargins& frame = {});
