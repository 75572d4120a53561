#pragma once

#include "engine/EffectSettings.h"
#include "engine/Region.h"

class TBitmap;

// How far the steps of each chain read around a pixel they compute, for the
// settings (held to their controls' ranges, as TDrawEffect holds them). A
// region grown by this much on every side and computed on its own gives,
// inside the region, exactly what a computation of the whole picture gives
// there: where the grown region stops short of the picture's edge, no step
// reaches past it.
//
// The sketch: its smoothing blur reads as far as the kernel's half-width,
// and the edge pass compares each pixel with its four neighbours, crediting
// the darker one, one pixel further. The colouring: the smoothing window
// reaches its radius and the border blur its half-width further (the widest
// one's, so that the region stays while Border Blur moves). Colour
// scaling is not in the apron: average scaling walks regions across the
// whole picture (see TWholeScale), and the band that fixed scaling carries
// into a row comes from the rows above it.
int SketchApron(const TEffectSettings& settings);
int ColorApron(const TEffectSettings& settings);

// The region grown by `apron` on every side and cut to the picture.
TRegion WithApron(const TRegion& region, int apron, const TBitmap& picture);
