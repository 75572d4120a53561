#pragma once

#include "document/Rect.h"
#include "picture/Bitmap.h"
#include "tools/Tool.h"
#include "tools/ToolEnvironment.h"

#include <cstdint>
#include <functional>
#include <vector>

// The flood's working memory, kept between fills so that a large picture
// does not allocate it again at every click.
struct TFloodScratch {
    std::vector<std::uint8_t> Visited;
    std::vector<std::uint8_t> RowReady;
    std::vector<TToolPoint> Seeds;
};

// Called once for each row of the composite before the flood first reads
// it, so that the caller can bring that row up to date.
using TRowReady = std::function<void(int row)>;

// Fills the 4-connected region around `seed` whose colours in `view` lie
// within `tolerance` of the seed's in every channel, on each target layer,
// with `color` exactly. The region is judged on `view`, which is not
// changed; the seed itself is filled only when a neighbour qualifies, so a
// lone pixel stays as it is. Returns the rectangle of the filled pixels
// (empty when none was). A seed outside `view` does nothing.
//
// The region is found row span by row span; the result is that of a
// breadth-first flood by wavefronts (the tests keep one as the reference).
TRect FloodFill(const TBitmap& view, TDrawTargets targets, TToolPoint seed, int tolerance, TToolColor color,
                TFloodScratch& scratch, const TRowReady& rowReady = {});

// Fills what the user sees with the front colour on a click.
class TPaintBucketTool : public TTool {
public:
    explicit TPaintBucketTool(TToolEnvironment& environment)
        : Env(environment)
    {
    }

    void Press(TToolPoint point, TMouseButton button, TMouseButtons held) override;
    void Move(TToolPoint, TMouseButtons) override {}
    void Release(TToolPoint point, TMouseButton button, TMouseButtons held) override;

private:
    TToolEnvironment& Env;
    TFloodScratch Scratch;
};
