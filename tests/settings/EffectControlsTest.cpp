// The control table that the dialogs, the preset files and the renderer share.
#include "settings/EffectControls.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <cstring>

namespace {

// The designed positions, as the dialogs' design gives them: an independent
// check of the table, field by field.
TEST(EffectControls, DesignedSettingsHoldTheDesignedPositionsAndAreWithinEveryRange)
{
    const TEffectSettings s = DesignedSettings();
    const std::int32_t fields[] = {
        s.SketchType,     s.Detail,    s.Darkness,       s.SketchSmooth, s.Sharper,    s.RemainDark,  s.RemainThreshold,
        s.RemainDarkness, s.ScaleType, s.ScanFromOrigin, s.SmoothType,   s.ColorScale, s.ColorSmooth, s.BorderBlur,
        s.Brightness,     s.Contrast,  s.Saturation,     s.Red,          s.Green,      s.Blue,        s.DrawSketch,
        s.DrawColor,      s.BlendMode, s.Opacity,        s.WhiteLevel};
    const std::int32_t designed[] = {2,  115, 68, 15, 0, 0, 0, 0, 2, 1, 0,  10, 2,
                                     25, 0,   0,  0,  0, 0, 0, 1, 0, 1, 50, 255};
    for (std::size_t i = 0; i < std::size(designed); ++i)
        EXPECT_EQ(fields[i], designed[i]) << "field " << i;

    TEffectSettings limited = s;
    LimitToControls(limited);
    EXPECT_EQ(std::memcmp(&limited, &s, sizeof s), 0);
}

TEST(EffectControls, LimitingHoldsEveryValueToWhatItsControlCanShow)
{
    struct TCase {
        const char* what;
        void (*set)(TEffectSettings&);
        std::int32_t (*get)(const TEffectSettings&);
        std::int32_t expected;
    };
    const TCase cases[] = {
        {"Detail 5000 shows 1024", [](TEffectSettings& s) { s.Detail = 5000; },
         [](const TEffectSettings& s) { return std::int32_t(s.Detail); }, 1024},
        {"Darkness 0 shows 1", [](TEffectSettings& s) { s.Darkness = 0; },
         [](const TEffectSettings& s) { return std::int32_t(s.Darkness); }, 1},
        {"ColorSmooth 128 shows 19", [](TEffectSettings& s) { s.ColorSmooth = 128; },
         [](const TEffectSettings& s) { return std::int32_t(s.ColorSmooth); }, 19},
        {"Saturation -200 shows -127", [](TEffectSettings& s) { s.Saturation = -200; },
         [](const TEffectSettings& s) { return std::int32_t(s.Saturation); }, -127},
        {"Opacity 0 shows 1", [](TEffectSettings& s) { s.Opacity = 0; },
         [](const TEffectSettings& s) { return std::int32_t(s.Opacity); }, 1},
        {"RemainThreshold 255 shows 254", [](TEffectSettings& s) { s.RemainThreshold = 255; },
         [](const TEffectSettings& s) { return std::int32_t(s.RemainThreshold); }, 254},
        {"WhiteLevel 300 is threshold 0", [](TEffectSettings& s) { s.WhiteLevel = 300; },
         [](const TEffectSettings& s) { return std::int32_t(s.WhiteLevel); }, 255},
        {"WhiteLevel -10 is threshold 255", [](TEffectSettings& s) { s.WhiteLevel = -10; },
         [](const TEffectSettings& s) { return std::int32_t(s.WhiteLevel); }, 0},
        // An index past the last item selects the last one; below the first, none.
        {"SketchType 5 is Gray", [](TEffectSettings& s) { s.SketchType = 5; },
         [](const TEffectSettings& s) { return std::int32_t(s.SketchType); }, 2},
        {"SketchType -4 selects none", [](TEffectSettings& s) { s.SketchType = -4; },
         [](const TEffectSettings& s) { return std::int32_t(s.SketchType); }, 0},
        {"ScaleType 0 selects none", [](TEffectSettings& s) { s.ScaleType = 0; },
         [](const TEffectSettings& s) { return std::int32_t(s.ScaleType); }, 0},
        {"SmoothType 7 is Square", [](TEffectSettings& s) { s.SmoothType = 7; },
         [](const TEffectSettings& s) { return std::int32_t(s.SmoothType); }, 1},
        {"SmoothType -3 selects none", [](TEffectSettings& s) { s.SmoothType = -3; },
         [](const TEffectSettings& s) { return std::int32_t(s.SmoothType); }, -1},
        {"BlendMode 0 is Overlay", [](TEffectSettings& s) { s.BlendMode = 0; },
         [](const TEffectSettings& s) { return std::int32_t(s.BlendMode); }, EffectBlendOpacity},
        {"a check box byte 7 is on", [](TEffectSettings& s) { s.DrawColor = 7; },
         [](const TEffectSettings& s) { return std::int32_t(s.DrawColor); }, 1},
        {"ScanFromOrigin is always 1", [](TEffectSettings& s) { s.ScanFromOrigin = 0; },
         [](const TEffectSettings& s) { return std::int32_t(s.ScanFromOrigin); }, 1},
        // The extremes a file can hold: nothing may overflow on the way.
        {"WhiteLevel INT32_MIN is threshold 255", [](TEffectSettings& s) { s.WhiteLevel = INT32_MIN; },
         [](const TEffectSettings& s) { return std::int32_t(s.WhiteLevel); }, 0},
        {"WhiteLevel INT32_MAX is threshold 0", [](TEffectSettings& s) { s.WhiteLevel = INT32_MAX; },
         [](const TEffectSettings& s) { return std::int32_t(s.WhiteLevel); }, 255},
        {"SketchType INT32_MIN selects none", [](TEffectSettings& s) { s.SketchType = INT32_MIN; },
         [](const TEffectSettings& s) { return std::int32_t(s.SketchType); }, 0},
        {"ScaleType INT32_MIN selects none", [](TEffectSettings& s) { s.ScaleType = INT32_MIN; },
         [](const TEffectSettings& s) { return std::int32_t(s.ScaleType); }, 0},
        {"Detail INT32_MIN shows 0", [](TEffectSettings& s) { s.Detail = INT32_MIN; },
         [](const TEffectSettings& s) { return std::int32_t(s.Detail); }, 0},
    };
    for (const TCase& c : cases) {
        TEffectSettings s = DesignedSettings();
        c.set(s);
        LimitToControls(s);
        EXPECT_EQ(c.get(s), c.expected) << c.what;
    }
}

TEST(EffectControls, TheThresholdPairStoresTheWhiteLevelAndTheOthersTheirField)
{
    TEffectSettings s = DesignedSettings();
    SetControlValue(s, PreviewPair("Threshold"), 40);
    EXPECT_EQ(+s.WhiteLevel, 215);
    EXPECT_EQ(ControlValue(s, PreviewPair("Threshold")), 40);
    SetControlValue(s, PreviewPair("Blue"), -9);
    EXPECT_EQ(+s.Blue, -9);
    EXPECT_EQ(ControlValue(s, OptionPair("Opacity")), 50);
    EXPECT_THROW(PreviewPair("Opacity"), std::out_of_range);
}

} // namespace
