#include "tools/TextRegion.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// How full an oval a block makes it: 1 when its corners touch the edge.
double Fullness(const TTextRegion& region, int width, int height)
{
    if (region.Width() <= 0 || region.Height() <= 0)
        return std::numeric_limits<double>::infinity();
    const double x = width / region.Width();
    const double y = height / region.Height();
    return x * x + y * y;
}

} // namespace

bool Holds(const TTextRegion& region, int width, int height)
{
    if (region.Oval)
        return Fullness(region, width, height) <= 1.0;
    return width <= region.Width() + 1e-9 && height <= region.Height() + 1e-9;
}

TPlacedText PlaceText(const TTextFlow& flow, const TTextRegion& region, bool wrap)
{
    TPlacedText placed;
    if (!region.Oval || !wrap) {
        placed.Block = flow.Layout(std::max(1, int(std::floor(region.Width() + 1e-9))), wrap);
    } else {
        // A block that fits before one that does not, one that keeps its
        // words whole before one that breaks them, then the roomiest.
        struct TRank {
            bool Holds;
            bool Whole;
            double Fullness;
            bool Before(const TRank& other) const
            {
                if (Holds != other.Holds)
                    return Holds;
                if (Whole != other.Whole)
                    return Whole;
                return Fullness < other.Fullness;
            }
        };
        std::optional<TRank> best;
        for (int width : flow.CandidateWidths(flow.NarrowestTried())) {
            TTextBlock block = flow.Layout(width, true);
            const TRank rank{Holds(region, block.Width(), block.Height()), width >= flow.WidestWord(),
                             Fullness(region, block.Width(), block.Height())};
            if (!best || rank.Before(*best)) {
                best = rank;
                placed.Block = std::move(block);
            }
        }
    }
    const TTextBlock& block = placed.Block;
    placed.Fits = Holds(region, block.Width(), block.Height());
    const double centreX = (region.Left + region.Right) / 2;
    const double centreY = (region.Top + region.Bottom) / 2;
    if (region.Oval) {
        placed.Measure = block.Width();
        placed.TopLeft.setX(centreX - block.Width() / 2.0);
    } else {
        placed.Measure = region.Width();
        placed.TopLeft.setX(region.Left);
    }
    placed.TopLeft.setY(std::floor((region.FromTop ? region.Top : centreY - block.Height() / 2.0) + 0.5));
    return placed;
}

void DrawPlacedText(QPainter& painter, const TPlacedText& text, TTextAlign align, const TTextRegion& region)
{
    painter.save();
    painter.setClipRect(QRectF(region.Left, region.Top, region.Width(), region.Height()));
    text.Block.Draw(painter, text.TopLeft, text.Measure, align);
    painter.restore();
}
