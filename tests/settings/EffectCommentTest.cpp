// The history comment of an effect run, character for character.
#include "settings/EffectComment.h"
#include "settings/EffectControls.h"

#include <gtest/gtest.h>

namespace {

TEST(EffectComment, NamesTheComputedLayersWithTheirSettings)
{
    struct TCase {
        bool sketch, color;
        std::int32_t blendMode;
        const char* expected;
    };
    const TCase cases[] = {
        {true, false, EffectBlendMultiply, "Sketch(115,68,15) Sketch Type(2) "},
        {false, true, EffectBlendMultiply, "Color(10,2,25,-3,0,7) Color Scale(2, 1) Smooth(0) "},
        {true, true, EffectBlendOpacity,
         "Sketch(115,68,15) Sketch Type(2) Color(10,2,25,-3,0,7) Color Scale(2, 1) Smooth(0) Blending Mode(2,50)"},
        {true, true, EffectBlendMultiply,
         "Sketch(115,68,15) Sketch Type(2) Color(10,2,25,-3,0,7) Color Scale(2, 1) Smooth(0) Blending Mode(1)"},
        // Any mode but multiply is the opacity mix, as the effect reads it.
        {true, true, 0,
         "Sketch(115,68,15) Sketch Type(2) Color(10,2,25,-3,0,7) Color Scale(2, 1) Smooth(0) Blending Mode(2,50)"},
        {false, false, EffectBlendMultiply, ""},
    };
    for (const TCase& c : cases) {
        TEffectSettings s = DesignedSettings();
        s.DrawSketch = c.sketch;
        s.DrawColor = c.color ? 5 : 0; // any non-zero byte is set
        s.BlendMode = c.blendMode;
        s.Brightness = -3;
        s.Saturation = 7;
        EXPECT_EQ(EffectHistoryComment(s), c.expected) << c.sketch << c.color << c.blendMode;
    }
}

} // namespace
