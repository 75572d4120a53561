#pragma once

#include "Bitmap.h"
#include "Rect.h"
#include "Tool.h"
#include "ToolEnvironment.h"

#include <cstdint>
#include <vector>

// The flood's working memory, kept between fills so that a large picture
// does not allocate it again at every click.
struct TFloodScratch {
    std::vector<std::uint8_t> Visited;
    std::vector<TToolPoint> Front;
    std::vector<TToolPoint> Next;
};

// Fills the 4-connected region around `seed` whose colours in `view` lie
// within `tolerance` of the seed's in every channel, on each target layer,
// with `color` exactly. The region is judged on `view`, which is not
// changed; the seed itself is filled only when a neighbour qualifies.
// Returns the rectangle of the filled pixels (empty when none was). A seed
// outside `view` does nothing.
TRect FloodFill(const TBitmap& view, TDrawTargets targets, TToolPoint seed, int tolerance, TToolColor color,
                TFloodScratch& scratch);

// Fills what the user sees with the front colour on a click.
class TPaintBucketTool : public TTool {
public:
    explicit TPaintBucketTool(TToolEnvironment& environment) : Env(environment) {}

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Move(TToolPoint, TMouseButtons) override {}
    void Release(TToolPoint point, TMouseButton button, TMouseButtons held) override;

private:
    TToolEnvironment& Env;
    TFloodScratch Scratch;
};
