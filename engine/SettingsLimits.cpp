#include "engine/SettingsLimits.h"

#include <algorithm>

namespace {

// By value: the members are packed, and a reference to one may be misaligned.
std::int32_t Held(std::int32_t value, std::int32_t low, std::int32_t high) { return std::clamp(value, low, high); }

} // namespace

TEffectSettings LimitedSettings(const TEffectSettings& settings)
{
    TEffectSettings s = settings;
    s.SketchSmooth = Held(s.SketchSmooth, 0, MaxSketchSmooth);
    s.Sharper = Held(s.Sharper, 0, 50);
    s.ColorScale = Held(s.ColorScale, 0, ColorTableRows);
    s.ColorSmooth = Held(s.ColorSmooth, 0, MaxColorSmooth);
    s.BorderBlur = Held(s.BorderBlur, 0, MaxBorderBlur);
    return s;
}
