#pragma once

#include "tools/Tool.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <vector>

// The centre line of a balloon's tail: from the body's centre to the tip,
// a curve through the tail's middle handle. The handle starts halfway along
// the straight line, so an unmoved handle leaves the tail straight.
class TTailLine {
public:
    TTailLine(TToolPoint centre, TToolPoint tip, TToolPoint bend);

    bool Bent() const { return IsBent; }
    QPointF At(double t) const;
    // The direction of travel at t, of length 1 (0 for a tail of no length).
    QPointF Direction(double t) const;

private:
    QPointF From;
    QPointF Control;
    QPointF To;
    bool IsBent = false;
};

// Where the middle handle of a tail is: halfway from the centre to the tip,
// moved by the bend.
TToolPoint BendHandle(TToolPoint centre, TToolPoint tip, TToolPoint bend);
// The bend that puts the middle handle at `handle`.
TToolPoint BendFor(TToolPoint centre, TToolPoint tip, TToolPoint handle);

// A speech tail: `halfBase` pixels on either side of the centre line at the
// body's centre, narrowing to nothing at the tip; a triangle when straight.
QPolygonF TailWedge(const TTailLine& line, double halfBase);

// A thought balloon's tail: three ellipses shrinking along the centre line
// from where it leaves the body (the ellipse of radii rx, ry around the
// line's start) to the tip, the largest about `size` pixels high. None when
// the tip lies inside the body.
std::vector<QRectF> ThoughtTrail(const TTailLine& line, double rx, double ry, double size);
