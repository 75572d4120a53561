#include "settings/EffectControls.h"

#include "settings/ColorTableDesign.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>

#define LQ_FIELD(f) offsetof(TEffectSettings, f)

const std::array<TEffectControl, PreviewPairCount> PreviewPairs = {{
    {"Detail", LQ_FIELD(Detail), 0, 1024, 115, false},
    {"Darkness", LQ_FIELD(Darkness), 1, 256, 68, false},
    {"SketchSmooth", LQ_FIELD(SketchSmooth), 0, 100, 15, false},
    {"Threshold", LQ_FIELD(WhiteLevel), 0, 255, 0, true},
    {"ColorScale", LQ_FIELD(ColorScale), 0, 142, 10, false},
    {"ColorSmooth", LQ_FIELD(ColorSmooth), 0, 19, 2, false},
    {"BorderBlur", LQ_FIELD(BorderBlur), 0, 100, 25, false},
    {"Brightness", LQ_FIELD(Brightness), -255, 255, 0, false},
    {"Contrast", LQ_FIELD(Contrast), -255, 255, 0, false},
    {"Saturation", LQ_FIELD(Saturation), -127, 127, 0, false},
    {"Red", LQ_FIELD(Red), -255, 255, 0, false},
    {"Green", LQ_FIELD(Green), -255, 255, 0, false},
    {"Blue", LQ_FIELD(Blue), -255, 255, 0, false},
}};

const std::array<TEffectControl, OptionPairCount> OptionPairs = {{
    {"Sharper", LQ_FIELD(Sharper), 0, 50, 0, false},
    {"RemainThreshold", LQ_FIELD(RemainThreshold), 0, 254, 0, false},
    {"RemainDarkness", LQ_FIELD(RemainDarkness), 0, 255, 0, false},
    {"Opacity", LQ_FIELD(Opacity), 1, 99, 50, false},
}};

#undef LQ_FIELD

namespace {

template <std::size_t N>
const TEffectControl& Find(const std::array<TEffectControl, N>& table, const char* name)
{
    for (const TEffectControl& control : table)
        if (std::string_view(control.Name) == name)
            return control;
    throw std::out_of_range(std::string("no effect control ") + name);
}

std::int32_t ReadInt(const TEffectSettings& s, std::size_t offset)
{
    std::int32_t v;
    std::memcpy(&v, reinterpret_cast<const std::uint8_t*>(&s) + offset, sizeof v);
    return v;
}

void WriteInt(TEffectSettings& s, std::size_t offset, std::int32_t v)
{
    std::memcpy(reinterpret_cast<std::uint8_t*>(&s) + offset, &v, sizeof v);
}

// A radio group given an item index keeps it within -1 (none) .. items - 1.
// Wide, so that a stored value at the end of the range cannot overflow.
std::int32_t RadioIndex(std::int64_t index, int items)
{
    return std::int32_t(std::clamp<std::int64_t>(index, -1, items - 1));
}

} // namespace

const TEffectControl& PreviewPair(const char* name) { return Find(PreviewPairs, name); }
const TEffectControl& OptionPair(const char* name) { return Find(OptionPairs, name); }

std::int32_t ControlValue(const TEffectSettings& settings, const TEffectControl& control)
{
    const std::int32_t stored = ReadInt(settings, control.Offset);
    return control.StoresWhiteLevel ? ThresholdOfWhiteLevel(stored) : stored;
}

void SetControlValue(TEffectSettings& settings, const TEffectControl& control, std::int32_t value)
{
    WriteInt(settings, control.Offset, control.StoresWhiteLevel ? WhiteLevelOfThreshold(value) : value);
}

void LimitToControls(TEffectSettings& s)
{
    for (const auto* table : {PreviewPairs.data(), OptionPairs.data()}) {
        const int count = table == PreviewPairs.data() ? PreviewPairCount : OptionPairCount;
        for (int i = 0; i < count; ++i)
            SetControlValue(s, table[i], std::clamp(ControlValue(s, table[i]), table[i].Min, table[i].Max));
    }
    s.SketchType = RadioIndex(std::int64_t(s.SketchType) - 1, 2) + 1;
    s.ScaleType = RadioIndex(std::int64_t(s.ScaleType) - 1, 2) + 1;
    s.SmoothType = RadioIndex(s.SmoothType, 2);
    s.BlendMode = s.BlendMode == EffectBlendMultiply ? EffectBlendMultiply : EffectBlendOpacity;
    s.RemainDark = s.RemainDark != 0;
    s.DrawSketch = s.DrawSketch != 0;
    s.DrawColor = s.DrawColor != 0;
    s.ScanFromOrigin = 1;
}

TEffectSettings DesignedSettings()
{
    TEffectSettings s;
    std::memset(&s, 0, sizeof s);
    for (const TEffectControl& c : PreviewPairs)
        SetControlValue(s, c, c.Designed);
    for (const TEffectControl& c : OptionPairs)
        SetControlValue(s, c, c.Designed);
    s.SketchType = SketchTypeGrey;
    s.RemainDark = 0;
    s.ScaleType = ScaleTypeAverage;
    s.ScanFromOrigin = 1;
    s.SmoothType = SmoothTypeCircle;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    s.BlendMode = EffectBlendMultiply;
    DesignColorTable(s.ColorTable);
    return s;
}
