#pragma once

#include "engine/EffectSettings.h"

// The largest colour smoothing radius the controls offer, and the largest
// sketch smoothing and border blur (twenty times the blur's radius).
inline constexpr int MaxColorSmooth = 19;
inline constexpr int MaxSketchSmooth = 100;
inline constexpr int MaxBorderBlur = 100;

// The record with every number that sets the size of a window held to the
// range of its control: colour smoothing 0..19, sketch smoothing and border
// blur 0..100, sharper 0..50, colour scale 0..142. A record from a file may
// hold anything, and beyond these ranges a value only costs time (a smoothing
// window of 257 x 257 takes minutes and outgrows the median's counts) and
// never looks better. The other numbers are safe at any value (the steps
// compute them in 64 bits or hold them where a table needs it) and stay as
// stored, as do the choice fields and switches.
TEffectSettings LimitedSettings(const TEffectSettings& settings);
