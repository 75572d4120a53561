#pragma once

#include "tools/TextFlow.h"
#include "tools/TextRegion.h"

#include <QPainterPath>
#include <QRectF>

#include <optional>
#include <vector>

enum class TBalloonKind { Rectangle, Rounded, Ellipse, Thought, Shout };

// The outline of a balloon's body in the box it fills: the three speech
// bodies, a spiky burst for a shout, and for a thought the middle of the
// cloud, which CloudPuffs ring. `corner` is the rounded body's corner
// radius.
QPainterPath BalloonBodyPath(TBalloonKind kind, const QRectF& box, int corner);
// The round puffs of a thought's cloud, touching the edges of its box.
// Drawn one by one, they paint far faster than as one path.
std::vector<QRectF> CloudPuffs(const QRectF& box);

// Where the lines go in a body of w x h (body coordinates) when they are
// wrapped or fitted: inside the frame, with a margin of about a third of
// the font's pixel size all round.
TTextRegion BalloonTextRegion(TBalloonKind kind, int width, int height, int borderWidth, int fontPixels);

struct TBodySize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TBodySize&, const TBodySize&) = default;
};

// The smallest body, of a pleasant shape (about 2:1 for speech, a little
// rounder for thoughts and shouts, wider only where a word needs it), that
// holds the whole text. An empty text gets the body of one empty line.
// None when no body could (a text of absurd size).
std::optional<TBodySize> FitBalloonBody(TBalloonKind kind, const TTextFlow& flow, bool wrap, int borderWidth,
                                        int fontPixels);

// The height a body `width` wide needs for its text, at least `height`;
// `height` itself when even the tallest body could not hold it.
int NeededBalloonHeight(TBalloonKind kind, const TTextFlow& flow, bool wrap, int borderWidth, int fontPixels, int width,
                        int height);
