#include "settings/EffectComment.h"

#include <string>

std::string EffectHistoryComment(const TEffectSettings& s)
{
    // Fields are read by value: the record is packed.
    auto n = [](std::int32_t v) { return std::to_string(v); };
    const bool sketch = s.DrawSketch != 0;
    const bool color = s.DrawColor != 0;
    std::string text;
    if (sketch) {
        text += "Sketch(" + n(s.Detail) + "," + n(s.Darkness) + "," + n(s.SketchSmooth) + ") ";
        text += "Sketch Type(" + n(s.SketchType) + ") ";
    }
    if (color) {
        text += "Color(" + n(s.ColorScale) + "," + n(s.ColorSmooth) + "," + n(s.BorderBlur) + "," + n(s.Brightness) +
                "," + n(s.Contrast) + "," + n(s.Saturation) + ") ";
        text += "Color Scale(" + n(s.ScaleType) + ", " + n(s.ScanFromOrigin) + ") ";
        text += "Smooth(" + n(s.SmoothType) + ") ";
    }
    if (sketch && color) {
        if (s.BlendMode == EffectBlendMultiply)
            text += "Blending Mode(1)";
        else
            text += "Blending Mode(2," + n(s.Opacity) + ")";
    }
    return text;
}
