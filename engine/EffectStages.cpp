#include "engine/EffectStages.h"

#include <cstddef>
#include <cstring>

namespace {

// One field of the record and the stage it feeds.
struct TFieldStage {
    std::size_t Offset;
    std::size_t Size;
    TEffectStage Stage;
};

#define LQ_FIELD(name, stage)                                                                                          \
    {                                                                                                                  \
        offsetof(TEffectSettings, name), sizeof(TEffectSettings::name), TEffectStage::stage                            \
    }

// Read from the steps: the sketch is smoothed by SketchSmooth and its edges
// sharpened by Sharper, then mapped by the other sketch fields; the colours
// are scaled by the table row ColorScale picks (ScanFromOrigin chooses where
// average scaling starts its walk), smoothed, blurred, then toned. The two
// switches only choose which chain runs: what a chain computes is the same
// whether or not the other runs.
constexpr TFieldStage Fields[] = {
    LQ_FIELD(Source, None),
    LQ_FIELD(Left, Region),
    LQ_FIELD(Top, Region),
    LQ_FIELD(Width, Region),
    LQ_FIELD(Height, Region),
    LQ_FIELD(SketchType, SketchTone),
    LQ_FIELD(Detail, SketchTone),
    LQ_FIELD(Darkness, SketchTone),
    LQ_FIELD(SketchSmooth, SketchEdges),
    LQ_FIELD(Sharper, SketchEdges),
    LQ_FIELD(RemainDark, SketchTone),
    LQ_FIELD(RemainThreshold, SketchTone),
    LQ_FIELD(RemainDarkness, SketchTone),
    LQ_FIELD(ScaleType, ColorScale),
    LQ_FIELD(ScanFromOrigin, ColorScale),
    LQ_FIELD(SmoothType, ColorSmooth),
    LQ_FIELD(ColorScale, ColorScale),
    LQ_FIELD(ColorSmooth, ColorSmooth),
    LQ_FIELD(BorderBlur, ColorBlur),
    LQ_FIELD(Brightness, ColorTone),
    LQ_FIELD(Contrast, ColorTone),
    LQ_FIELD(Saturation, ColorTone),
    LQ_FIELD(Red, ColorTone),
    LQ_FIELD(Green, ColorTone),
    LQ_FIELD(Blue, ColorTone),
    LQ_FIELD(DrawSketch, Blend),
    LQ_FIELD(DrawColor, Blend),
    LQ_FIELD(BlendMode, Blend),
    LQ_FIELD(Opacity, Blend),
    LQ_FIELD(ColorTable, ColorScale),
    LQ_FIELD(WhiteLevel, SketchTone),
};

#undef LQ_FIELD

// A field added to the record without a line here would be read by no stage
// and a change of it would keep a stale result: the lines must cover the
// record byte for byte.
constexpr bool CoversTheRecord()
{
    std::size_t next = 0;
    for (const TFieldStage& f : Fields) {
        if (f.Offset != next)
            return false;
        next = f.Offset + f.Size;
    }
    return next == sizeof(TEffectSettings);
}
static_assert(CoversTheRecord());

} // namespace

TStageSet StageInputs(TEffectStage stage)
{
    const TStageSet region = StageBit(TEffectStage::Region);
    switch (stage) {
    case TEffectStage::SketchEdges: return region | StageBit(stage);
    case TEffectStage::SketchTone: return StageInputs(TEffectStage::SketchEdges) | StageBit(stage);
    case TEffectStage::ColorScale: return region | StageBit(stage);
    case TEffectStage::ColorSmooth: return StageInputs(TEffectStage::ColorScale) | StageBit(stage);
    case TEffectStage::ColorBlur: return StageInputs(TEffectStage::ColorSmooth) | StageBit(stage);
    case TEffectStage::ColorTone: return StageInputs(TEffectStage::ColorBlur) | StageBit(stage);
    case TEffectStage::Blend:
        return StageInputs(TEffectStage::SketchTone) | StageInputs(TEffectStage::ColorTone) | StageBit(stage);
    case TEffectStage::None:
    case TEffectStage::Region: break;
    }
    return StageBit(stage);
}

TStageSet ChangedStages(const TEffectSettings& a, const TEffectSettings& b)
{
    const auto* pa = reinterpret_cast<const unsigned char*>(&a);
    const auto* pb = reinterpret_cast<const unsigned char*>(&b);
    TStageSet changed = 0;
    for (const TFieldStage& f : Fields)
        if (std::memcmp(pa + f.Offset, pb + f.Offset, f.Size) != 0)
            changed |= StageBit(f.Stage);
    return changed;
}
