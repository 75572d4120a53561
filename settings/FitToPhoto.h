#pragma once

#include "engine/EffectSettings.h"

class TBitmap;

// The settings that give the preset's look on this photo. The preset was
// made on well-exposed daylight photos of about a megapixel; a night scene,
// fog, a star field or a 24-megapixel photo would lose its subject under the
// same numbers. Fitting keeps the preset's character (its sketch type, its
// number of colour bands, its blending) and adapts what depends on the
// photo: where the colour bands lie, how strong an edge must be to draw a
// line, how far the smoothing reaches. The same photo and preset always give
// the same record, and the record is an ordinary one: every row it writes
// into the colours table is valid for the colouring step.
TEffectSettings FitToPhoto(const TEffectSettings& preset, const TBitmap& photo);
