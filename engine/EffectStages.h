#pragma once

#include "engine/EffectSettings.h"

#include <cstdint>

// The steps of the effect whose results can be kept between two
// computations, and which fields of the settings record each one reads. A
// step's result also depends on everything its earlier steps read, and on the
// picture and the region (cut to the picture) it was computed for.
enum class TEffectStage : std::uint8_t {
    None, // read by no step (the record's picture placeholder)
    Region, // the rectangle: read by every step, through ClampRegion
    SketchEdges, // the inverted region, smoothed, and its edge credits
    SketchTone, // the sketch layer: the edge credits tone-mapped
    ColorScale, // the scaled colours
    ColorSmooth, // the scaled colours smoothed
    ColorBlur, // the smoothed colours with their borders blurred
    ColorTone, // the colouring layer: the tone tables applied
    Blend, // which layers are computed and how they are blended
};

// The stages as bits, for sets of them.
using TStageSet = std::uint32_t;
constexpr TStageSet StageBit(TEffectStage stage) { return TStageSet(1) << unsigned(stage); }

// The stages a stage's result depends on, itself included.
TStageSet StageInputs(TEffectStage stage);

// The stages fed by a field whose bytes differ between the two records.
TStageSet ChangedStages(const TEffectSettings& a, const TEffectSettings& b);
