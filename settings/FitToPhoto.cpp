// Fitting a preset to a photo. The numbers below were found by rendering the
// four presets, plain and fitted, on photos of many kinds (night scenes, a
// star field, fog, dusk, backlit and over-exposed landscapes, macro shots,
// portraits and animals, a dim noisy interior, a drawing, a scanned page,
// 0.1 to 24 megapixels) and looking at them at full size; the reasons are
// given where each is used.
#include "settings/FitToPhoto.h"

#include "engine/SettingsLimits.h"
#include "picture/Bitmap.h"
#include "settings/ColorRowFit.h"
#include "settings/PhotoSurvey.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The presets were judged on photos of 450 to 2560 pixels a side and look
// right on all of them: reaches grow only beyond the largest, and the sketch's
// smoothing shrinks only below the first.
constexpr double LargestJudgedSide = 2560.0;
constexpr double SmallPhotoSide = 1024.0;
// Reaches grow with the square root of the size, so that a large photo seen
// whole looks as the preset does on a small one, but by at most these
// factors: beyond them the small details a large photo has (a star, a
// highlight, a thin branch) drown in the smoothing when seen at full size,
// and the border blur softens them most.
constexpr double LargestGrowth = 1.6;
constexpr double LargestBlurGrowth = 1.3;
// On small photos the sketch's smoothing shrinks a little, so thin
// structures (a lattice tower, whiskers) survive; below this it drew fur and
// grain as lines.
constexpr double SmallestShrink = 0.75;
// The edge survey measures this share of the pixels: what a sketch-only
// render, the cheapest, affords; with colour the render takes several times
// as long, and the larger sample steadies the estimate.
constexpr double EdgeShareSketchOnly = 0.004;
constexpr double EdgeShareWithColour = 0.008;
// Noise of deviation s needs a smoothing radius of about s / 2 before edges
// stop being drawn from it.
constexpr double SmoothingPerNoise = 0.5;

// Edge strength: the credit that 5 % of the pixels reach (or half of what 1 %
// reach, for photos whose few edges stand in much empty space). Daylight
// photos the presets look right on lie between these two; outside them the
// gain is scaled so that the photo's edges mark as strongly as theirs.
constexpr double WeakEdges = 30.0;
constexpr double StrongEdges = 80.0;
constexpr double LargestGainRise = 4.0;
constexpr double LargestGainDrop = 2.0;
// A raised gain may give visible marks to at most this share of the
// pixels: beyond it, it draws the grain of smooth areas (fog, dusk skies, the
// banding of an 8-bit gradient) as specks rather than the subject as lines.
constexpr double MostNewlyMarked = 0.008;
// A mark: an a (the scaled edge credit) of 16 turns a black-and-white sketch
// black; in a grey one a stroke is clearly seen from an a of about 48.
constexpr int MarkBlackAndWhite = 16;
constexpr int MarkGrey = 48;

// Points of light (stars, lamps at night) per 10,000 pixels: from the first
// count the median narrows and the outlines fade, at the second fully. A
// median wider than a star swallows it, and an outline around a point on a
// dark ground only eats its colour. Daylight photos have fewer than 3.
constexpr double PointsFrom = 4.0;
constexpr double PointsFully = 8.0;
constexpr double PointGainDrop = 0.7;

// The colours table row: the preset's boundaries move towards those that
// split the photo's colours into classes of least spread (the regions
// average scaling makes) when they do this much worse than those (fully at
// Ratio + Span). Rows of more boundaries than the designed table has (16
// bands) are left alone: the classes would outnumber the photo's colours.
constexpr double SpreadRatioFrom = 1.05;
constexpr double SpreadRatioSpan = 0.25;
constexpr int MostFittedBoundaries = 17;
constexpr double NarrowestBandShare = 0.5;

// An underexposed photo: 90 % of its levels below the first, 99 % below the
// second, and no points of light (a night scene stays dark). Its colours are
// lifted half way towards a daylight photo's, by at most the last.
constexpr int DimNinetieth = 90;
constexpr int DimNinetyNinth = 160;
constexpr int DaylightNinetieth = 150;
constexpr int LargestLift = 60;

double PointLightWeight(const TPhotoSurvey& survey)
{
    const double perTenThousand = survey.PointLightShare * 1e4;
    return std::clamp((perTenThousand - PointsFrom) / (PointsFully - PointsFrom), 0.0, 1.0);
}

// The smallest edge credit that gives an a of `mark` (a = credit * darkness
// div 32 - detail).
int CreditFor(int mark, int detail, int darkness)
{
    const std::int64_t need = (std::int64_t(mark) + std::max(detail, -mark)) * 32;
    return int(std::max<std::int64_t>(1, (need + darkness - 1) / std::max(darkness, 1)));
}

// The factor by which a reach grows on a photo of this long side.
double Growth(double longSide) { return std::clamp(std::sqrt(longSide / LargestJudgedSide), 1.0, LargestGrowth); }

void FitSketch(TEffectSettings& s, const TBitmap& photo, const TPhotoSurvey& survey, double longSide)
{
    const double scale =
        longSide < SmallPhotoSide ? std::max(std::sqrt(longSide / SmallPhotoSide), SmallestShrink) : Growth(longSide);
    const double radius = std::max(s.SketchSmooth / 20.0 * scale, SmoothingPerNoise * survey.Noise);
    s.SketchSmooth = std::clamp(int(std::lround(radius * 20.0)), 0, 100);

    const TEdgeSurvey edges =
        SurveyEdges(photo, s.SketchSmooth / 20.0, s.DrawColor ? EdgeShareWithColour : EdgeShareSketchOnly);
    const double strength = std::max({double(edges.CreditForShare(0.05)), edges.CreditForShare(0.01) / 2.0, 1.0});
    double gain = 1.0;
    if (strength < WeakEdges)
        gain = WeakEdges / strength;
    else if (strength > StrongEdges)
        gain = StrongEdges / strength;
    gain = std::clamp(gain, 1.0 / LargestGainDrop, LargestGainRise);
    const int mark = s.SketchType == SketchTypeBlackAndWhite ? MarkBlackAndWhite : MarkGrey;
    // The record is packed: its fields are read into locals before
    // std::max and std::clamp take them by reference.
    const int storedDarkness = s.Darkness;
    const int darknessNow = std::max(1, storedDarkness);
    const int markCredit = CreditFor(mark, s.Detail, darknessNow);
    const int busiestCredit = std::max(1, edges.CreditForShare(MostNewlyMarked));
    gain = std::min(gain, std::max(1.0, double(markCredit) / busiestCredit));
    gain *= 1.0 - PointGainDrop * PointLightWeight(survey);

    const double darkness = darknessNow * gain;
    if (darkness <= 256.0) {
        s.Darkness = std::max(1, int(std::lround(darkness)));
    } else {
        // The control ends at 256: the same threshold with the detail offset
        // scaled down instead (a = credit * darkness / 32 - detail).
        s.Detail = int(std::lround(s.Detail * 256.0 / darkness));
        s.Darkness = 256;
    }
}

void FitColorRow(TEffectSettings& s, const TPhotoSurvey& survey)
{
    if (s.ColorScale < 1 || s.ColorScale > ColorTableRows)
        return;
    std::uint8_t* stored = s.ColorTable + std::size_t(s.ColorScale - 1) * ColorTableRowSize;
    const int count = stored[0];
    if (count < 3 || count > MostFittedBoundaries)
        return;
    const std::vector<std::uint8_t> row(stored, stored + 1 + count);
    const std::vector<int> boundaries(row.begin() + 1, row.end());
    // No band narrower than half the row's narrowest: splitting a large
    // smooth area (a night sky's grain) into two bands only speckles it.
    double narrowest = 1.0;
    for (std::size_t k = 1; k < boundaries.size(); ++k)
        narrowest = std::min(narrowest, ToneOfLevel(boundaries[k]) - ToneOfLevel(boundaries[k - 1]));
    const std::vector<int> target =
        LeastSpreadBoundaries(survey.Colours, boundaries, NarrowestBandShare * std::max(narrowest, 0.0));
    const double best = survey.Colours.SpreadWithin(target);
    const double ratio = best > 0.0 ? survey.Colours.SpreadWithin(boundaries) / best : 1.0;
    const double weight = std::clamp((ratio - SpreadRatioFrom) / SpreadRatioSpan, 0.0, 1.0);
    if (weight <= 0.0)
        return;
    const std::vector<std::uint8_t> moved = MovedRow(row, target, weight);
    std::copy(moved.begin(), moved.end(), stored);
}

void FitColorReach(TEffectSettings& s, const TPhotoSurvey& survey, double longSide)
{
    const double scale = Growth(longSide);
    const double radius = s.ColorSmooth * scale;
    const double narrow = std::min(radius, 1.0);
    const double smooth = radius - (radius - narrow) * PointLightWeight(survey);
    const int smoothNow = s.ColorSmooth;
    s.ColorSmooth = std::clamp(int(std::lround(smooth)), std::min(smoothNow, 1), MaxColorSmooth);
    const double blurScale = std::min(scale, LargestBlurGrowth);
    const int blurNow = s.BorderBlur;
    s.BorderBlur = std::clamp(int(std::lround(blurNow * blurScale)), blurNow, 100);
}

void FitTone(TEffectSettings& s, const TPhotoSurvey& survey)
{
    const int ninetieth = survey.LevelAt(0.9);
    if (ninetieth >= DimNinetieth || survey.LevelAt(0.99) >= DimNinetyNinth || survey.PointLightShare * 1e4 >= 1.0)
        return;
    const int lift = std::min(LargestLift, (DaylightNinetieth - ninetieth) / 2);
    s.Brightness = std::clamp(s.Brightness + lift, -255, 255);
}

} // namespace

TEffectSettings FitToPhoto(const TEffectSettings& preset, const TBitmap& photo)
{
    TEffectSettings s = LimitedSettings(preset);
    if (photo.Empty())
        return s;
    const TPhotoSurvey survey = SurveyPhoto(photo, s.DrawColor);
    const double longSide = std::max(photo.Width(), photo.Height());
    if (s.DrawSketch)
        FitSketch(s, photo, survey, longSide);
    if (s.DrawColor) {
        FitColorRow(s, survey);
        FitColorReach(s, survey, longSide);
        FitTone(s, survey);
    }
    return s;
}
