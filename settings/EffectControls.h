#pragma once

#include "engine/EffectSettings.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// The numeric controls that edit the effect settings record: the 13 track bar
// / spin edit pairs of the preview dialog and the 4 pairs of its two option
// dialogs. The dialogs build their controls from these rows, and loading a
// preset, saving one and the renderer's check of a preset all read the same
// ranges, so a value can never mean one thing in the editor and another in
// the renderer.
struct TEffectControl {
    const char* Name; // the control's name without its Trc_/Spn_ prefix
    std::size_t Offset; // of the int32 field in TEffectSettings
    std::int32_t Min;
    std::int32_t Max;
    std::int32_t Designed; // the position before any preset is loaded
    // The threshold pair stores 255 - position in WhiteLevel and is neither
    // set from a file nor counted among the pairs a preset load touches.
    bool StoresWhiteLevel;
};

inline constexpr int PreviewPairCount = 13;
inline constexpr int OptionPairCount = 4;

// In the order of the dialog: Sketch tab (Detail, Darkness, SketchSmooth,
// Threshold), Coloring Step 1, Coloring Step 2.
extern const std::array<TEffectControl, PreviewPairCount> PreviewPairs;
// Sharper, RemainThreshold, RemainDarkness (sketch options), Opacity
// (colouring options).
extern const std::array<TEffectControl, OptionPairCount> OptionPairs;

const TEffectControl& PreviewPair(const char* name);
const TEffectControl& OptionPair(const char* name);

// Reads and writes a control's field by value (the record is packed).
std::int32_t ControlValue(const TEffectSettings& settings, const TEffectControl& control);
void SetControlValue(TEffectSettings& settings, const TEffectControl& control, std::int32_t value);

// The threshold position that a WhiteLevel stands for, and back.
// A stored WhiteLevel may be anything a file holds: the position is held to
// what an int32 can hold.
inline constexpr std::int32_t ThresholdOfWhiteLevel(std::int32_t whiteLevel)
{
    return std::int32_t(std::clamp<std::int64_t>(255 - std::int64_t(whiteLevel), INT32_MIN, INT32_MAX));
}
inline constexpr std::int32_t WhiteLevelOfThreshold(std::int32_t threshold) { return 255 - threshold; }

// The record as the dialogs would hand it back after a preset load: every
// slider value held to its control's range, each choice turned into what its
// radio group or check box can show (an index beyond a group's items selects
// its last item, one below selects none), ScanFromOrigin 1, and WhiteLevel
// held to what the threshold pair can give. The region and the colours table
// are left as they are.
void LimitToControls(TEffectSettings& settings);

// The settings a newly created preview dialog shows before "default.set" is
// loaded: the designed control positions and the shipped colours table.
// The preset generator starts every shipped preset from it.
TEffectSettings DesignedSettings();
