// Writes the settings files that ship beside the program: the fresh dialog
// settings ("default.set"), the four shortcut presets and the colours table
// ("default.ctb"). The build runs it; every value a preset has is here.
//
// Usage: lq_make_presets <program directory>
#include "ColorTableDesign.h"
#include "ProgramDir.h"
#include "SettingsFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Names for the values of the choice fields, all of them, so that a preset
// can be switched to any choice by name.
[[maybe_unused]] constexpr std::int32_t BlackAndWhiteSketch = 1, GreySketch = 2;
[[maybe_unused]] constexpr std::int32_t FixedColors = 1, AverageColors = 2;
[[maybe_unused]] constexpr std::int32_t CircleSmoothing = 0, SquareSmoothing = 1;
[[maybe_unused]] constexpr std::int32_t MultiplyBlend = 1, OpacityBlend = 2;

// The settings a newly opened preview dialog shows before any preset: the
// designed control values, the shipped colours table, no threshold. The
// region fields are filled by every preview computation and mean nothing in
// a file.
TEffectSettings Fresh()
{
    TEffectSettings s;
    std::memset(&s, 0, sizeof s);
    s.SketchType = GreySketch;
    s.Detail = 115;
    s.Darkness = 68;
    s.SketchSmooth = 15;
    s.Sharper = 0;
    s.RemainDark = 0;
    s.RemainThreshold = 0;
    s.RemainDarkness = 0;
    s.ScaleType = AverageColors;
    s.ScanFromOrigin = 1;
    s.SmoothType = CircleSmoothing;
    s.ColorScale = 10;
    s.ColorSmooth = 2;
    s.BorderBlur = 25;
    s.Brightness = 0;
    s.Contrast = 0;
    s.Saturation = 0;
    s.Red = 0;
    s.Green = 0;
    s.Blue = 0;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    s.BlendMode = MultiplyBlend;
    s.Opacity = 50;
    DesignColorTable(s.ColorTable);
    // Threshold 0: no grey is turned white. The dialog replaces this from its
    // own threshold control, which loading a file leaves alone.
    s.WhiteLevel = 255;
    return s;
}

// The four shortcut presets start from the fresh settings and change what
// makes their look. The values were chosen on renders of the sample photos
// 500 to 960 pixels wide; edges are measured between neighbouring pixels,
// so much larger photos may want them tuned again.

// Flat, clean colour areas under bold dark outlines.
TEffectSettings Cartoon()
{
    TEffectSettings s = Fresh();
    // Outlines are either there or not: black and white, no grey haze.
    s.SketchType = BlackAndWhiteSketch;
    // Blurring before the edges are measured spreads each edge over more
    // pixels (bolder lines) and keeps skin and sky texture from drawing.
    s.SketchSmooth = 30;
    // Weak edges stay white; together with Darkness an edge sum of about 61
    // turns black ((61 x 72) div 32 - 120 = 17). Higher lost the eyes and
    // mouth of the sample portrait.
    s.Detail = 120;
    s.Darkness = 72;
    s.DrawColor = 1;
    // Regions of similar colour take their average colour: flat areas that
    // keep each area's own hue.
    s.ScaleType = AverageColors;
    // Three bands a channel: the clean cartoon range of the colours table.
    s.ColorScale = 20;
    // A median over a radius of 4 removes the specks that small regions leave.
    s.ColorSmooth = 4;
    s.SmoothType = CircleSmoothing;
    // Only a slight softening of region borders, so the areas stay crisp.
    s.BorderBlur = 10;
    // Multiplying by the line layer darkens a little; cartoons are bright
    // and saturated (more than 15 turned warm colours into flat orange).
    s.Brightness = 10;
    s.Saturation = 15;
    s.BlendMode = MultiplyBlend;
    return s;
}

// A grey pencil sketch on white paper.
TEffectSettings Sketch()
{
    TEffectSettings s = Fresh();
    s.SketchType = GreySketch;
    // A low offset and a gentle gain keep the soft strokes of fine texture
    // (hair, fabric, wood) in light grey, as pencil shading, while strong
    // edges stay dark grey rather than black.
    s.Detail = 30;
    s.Darkness = 50;
    // A little smoothing so that photo noise does not draw.
    s.SketchSmooth = 20;
    // No filled dark areas: flat grey patches look printed, not drawn.
    s.RemainDark = 0;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    return s;
}

// Clean black lines on white, no grey.
TEffectSettings LineDrawing()
{
    TEffectSettings s = Fresh();
    s.SketchType = BlackAndWhiteSketch;
    // Smoothing removes texture and noise, so that mainly the shapes'
    // outlines are left (more than this broke the outlines of soft photos).
    s.SketchSmooth = 25;
    // Only clear edges turn black: an edge sum of about 43 ((43 x 80) div 32
    // - 90 = 17).
    s.Detail = 90;
    s.Darkness = 80;
    s.Sharper = 0;
    s.RemainDark = 0;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    return s;
}

// Painterly colour with soft edges and a light line texture.
TEffectSettings Canvas()
{
    TEffectSettings s = Fresh();
    // Soft grey strokes, as in the sketch preset, for the texture.
    s.SketchType = GreySketch;
    s.Detail = 30;
    s.Darkness = 48;
    s.SketchSmooth = 20;
    s.DrawColor = 1;
    s.ScaleType = AverageColors;
    // About five bands a channel: more tonal steps than a cartoon, as paint
    // strokes would give.
    s.ColorScale = 45;
    // A wide median turns the areas into blotches of paint.
    s.ColorSmooth = 4;
    s.SmoothType = CircleSmoothing;
    // Soft borders between the paint areas (radius 2).
    s.BorderBlur = 40;
    // Mixing instead of multiplying: the lines lie lightly on the paint and
    // the white paper lightens it, like canvas showing through; a little more
    // saturation and contrast keep the colours from washing out.
    s.BlendMode = OpacityBlend;
    s.Opacity = 35;
    s.Saturation = 25;
    s.Contrast = 15;
    return s;
}

bool Write(const std::string& dir, const char* name, const TEffectSettings& settings)
{
    std::string path = dir + "/" + name;
    if (WriteSettingsFile(path, settings))
        return true;
    std::fprintf(stderr, "lq_make_presets: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lq_make_presets <program directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const TEffectSettings fresh = Fresh();
    bool ok = Write(dir, DefaultSetName, fresh) && Write(dir, CartoonSetName, Cartoon()) &&
              Write(dir, SketchSetName, Sketch()) && Write(dir, LineDrawingSetName, LineDrawing()) &&
              Write(dir, CanvasSetName, Canvas());
    if (ok && !WriteColorTableFile(dir + "/" + DefaultCtbName, fresh.ColorTable)) {
        std::fprintf(stderr, "lq_make_presets: cannot write %s/%s\n", dir.c_str(), DefaultCtbName);
        ok = false;
    }
    return ok ? 0 : 1;
}
