#pragma once

#include "settings/ColorRowFit.h"

#include <array>
#include <cstdint>

class TBitmap;

// What fitting the settings to a photo needs to know of it, measured on a
// sample of its pixels so that it costs a small part of a render.
struct TPhotoSurvey {
    int Width = 0;
    int Height = 0;
    // How many of the sampled channel values (blue, green and red together)
    // have each level.
    std::array<std::uint32_t, 256> Levels{};
    std::uint64_t LevelCount = 0;
    // The same sampled pixels as colours.
    TColourCounts Colours;
    // The photo's noise: the typical size (in levels) of the differences
    // between a pixel and its neighbours where the picture is flat.
    double Noise = 0.0;
    // Points of light: pixels much brighter than a dark ring around them (a
    // star, a lamp at night), as a share of the pixels of the surveyed rows.
    double PointLightShare = 0.0;

    // The level below which `share` (0..1) of the sampled channel values lie.
    int LevelAt(double share) const;
};

// Noise and points of light of the photo, and its levels and colours unless
// `withLevels` is false (only the colouring reads them).
TPhotoSurvey SurveyPhoto(const TBitmap& photo, bool withLevels = true);

// How strong the photo's edges are for the sketch: the edge credits of the
// sketch's edge pass at full size, after its smoothing of `smoothRadius`
// (SketchSmooth / 20), on tiles spread over the picture that hold about
// `measuredShare` (0..1) of its pixels.
struct TEdgeSurvey {
    // The share of measured pixels (0..1) whose credit reaches each value.
    std::array<float, 1024> ShareAtLeast{};

    // The smallest credit that at most `share` of the pixels reach.
    int CreditForShare(double share) const;
};

TEdgeSurvey SurveyEdges(const TBitmap& photo, double smoothRadius, double measuredShare);
