#pragma once

#include <QCursor>
#include <QPixmap>
#include <QPoint>

// Cursor identifiers. The two hand cursors are the program's own pictures,
// registered under 1 (open hand) and 2 (grabbing hand); the others are the
// desktop's standard shapes.
enum TCursorId : int {
    crDefault = 0,
    crHandFlat = 1,
    crHandGrab = 2,
    crArrow = -2,
    crCross = -3,
    crHourGlass = -11,
};

// The cursor of an identifier, drawn for the highest device pixel ratio of the
// screens; an unknown identifier gives the arrow.
QCursor CursorFor(int id);
QCursor CursorFor(int id, qreal devicePixelRatio);

// The hand cursors' picture and hot spot, in device-independent pixels.
// Empty for the standard shapes.
QPixmap HandCursorPixmap(int id, qreal devicePixelRatio);
QPoint HandCursorHotSpot(int id);

// Logical size of the hand cursors, the usual size of desktop cursors.
inline constexpr int HandCursorSize = 24;
