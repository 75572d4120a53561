// Writes the settings files that ship beside the program: the fresh dialog
// settings ("default.set"), the four shortcut presets and the colours table
// ("default.ctb"). The build runs it; every value a preset has is here.
//
// Usage: lq_make_presets <program directory>
#include "settings/EffectControls.h"
#include "settings/ProgramDir.h"
#include "settings/SettingsFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The four shortcut presets start from the designed settings and change what
// makes their look. They were judged at full size on portraits (the sample
// astronaut, a footballer), animals (a cat, a baboon, a ladybird), a still
// life (coffee) and landscapes and flowers, from 450 to 2560 pixels wide,
// and on the 5640-pixel elephant painting.
//
// Size matters for the lines: edges are measured between neighbouring
// pixels, so the same contour spreads over more pixels in a larger photo and
// gives smaller steps per pixel, but over a wider band. A threshold that
// draws clean outlines on a sharp 500-pixel photo draws almost nothing on a
// soft 2500-pixel one. The line presets therefore blur a little more before
// measuring (the blur evens out noise and texture, which would otherwise be
// the first thing a lower threshold draws) and take a lower threshold than
// the fresh settings: on small sharp photos the lines come out bold, on large
// soft ones they are still there.

// Flat, clean colour areas under bold dark outlines.
TEffectSettings Cartoon()
{
    TEffectSettings s = DesignedSettings();
    // Outlines are either there or not: black and white, no grey haze.
    s.SketchType = SketchTypeBlackAndWhite;
    // Blur radius 2 before measuring, and an edge sum of about 37 turns
    // black ((37 x 100) div 32 - 100 = 15.6, so 38 does). The earlier 60 lost
    // the outline of a cat's head against a soft background and drew nothing
    // on soft large photos; a threshold of 28, as for line drawings, put
    // noise marks on faces, where the colour already carries the shape.
    s.SketchSmooth = 40;
    s.Detail = 100;
    s.Darkness = 100;
    s.DrawColor = 1;
    // Regions of similar colour take their average colour: flat areas that
    // keep each area's own hue.
    s.ScaleType = ScaleTypeAverage;
    // Three bands a channel (boundaries 0, 63, 155, 255), the clean cartoon
    // range of the colours table. Four or more bands gave blotchy shading
    // inside the areas, which reads as posterised rather than drawn. Within
    // the three-band rows the result still depends on where a boundary cuts
    // a large area: 28 (a boundary at 62) split the portrait's orange suit
    // along its blue channel into orange and pink patches; 27 keeps it whole
    // and gave the cat, the coffee and the baboon clean areas too.
    s.ColorScale = 27;
    // A median over a radius of 5 removes the specks that small regions
    // leave (4 left some on fur and grass).
    s.ColorSmooth = 5;
    s.SmoothType = SmoothTypeCircle;
    // Only a slight softening of region borders, so the areas stay crisp.
    s.BorderBlur = 10;
    // Multiplying by the line layer darkens a little; cartoons are bright
    // and saturated (more than 20 turned warm colours into flat orange).
    s.Brightness = 10;
    s.Saturation = 20;
    s.BlendMode = EffectBlendMultiply;
    return s;
}

// A grey pencil sketch on white paper.
TEffectSettings Sketch()
{
    TEffectSettings s = DesignedSettings();
    s.SketchType = SketchTypeGrey;
    // Paper stays white up to an edge sum of 7 ((7 x 110) div 32 - 25 = -1),
    // and the grey deepens quickly above it, so that outlines are dark
    // strokes and fur, hair and fabric are light hatching. The earlier gain
    // of 50 left a cat or a soft landscape as a faint ghost; 140 made small
    // sharp photos look inked rather than pencilled.
    s.Detail = 25;
    s.Darkness = 110;
    // Blur radius 1.5: photo noise and JPEG blocks do not draw, and the
    // strokes get the soft edge of a pencil.
    s.SketchSmooth = 30;
    // No filled dark areas: flat grey patches look printed, not drawn.
    s.RemainDark = 0;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    return s;
}

// Clean black lines on white, no grey.
TEffectSettings LineDrawing()
{
    TEffectSettings s = DesignedSettings();
    s.SketchType = SketchTypeBlackAndWhite;
    // Blur radius 2 removes texture and noise, so that mainly the shapes'
    // outlines are left; then an edge sum of about 28 turns black
    // ((28 x 100) div 32 - 70 = 17). The earlier threshold of 43 at radius
    // 1.25 drew a cat as scattered dashes and a 2560-pixel flower as nothing;
    // 20 filled a crowd behind a footballer with black blots. Sharpening
    // (Sharper) only added specks.
    s.SketchSmooth = 40;
    s.Detail = 70;
    s.Darkness = 100;
    s.Sharper = 0;
    s.RemainDark = 0;
    s.DrawSketch = 1;
    s.DrawColor = 0;
    return s;
}

// Painterly colour with soft edges and a light line texture.
TEffectSettings Canvas()
{
    TEffectSettings s = DesignedSettings();
    // Pencil strokes a little stronger than the sketch preset's (white up to
    // an edge sum of 6): mixed in at a fifth they become a light texture of
    // lines over the paint, which the sketch's own values left fainter.
    s.SketchType = SketchTypeGrey;
    s.Detail = 30;
    s.Darkness = 140;
    s.SketchSmooth = 30;
    s.DrawColor = 1;
    s.ScaleType = ScaleTypeAverage;
    // About seven bands a channel: more tonal steps than a cartoon, as paint
    // strokes would give.
    s.ColorScale = 86;
    // A wide median turns the areas into blotches of paint.
    s.ColorSmooth = 6;
    s.SmoothType = SmoothTypeCircle;
    // Soft borders between the paint areas (radius 3).
    s.BorderBlur = 60;
    // Mixing instead of multiplying: the lines lie lightly on the paint and
    // the white paper lightens it a little, like canvas showing through.
    // At 35 % the picture looked washed out; multiplying instead made it dark
    // and hard-edged, a cartoon again. More saturation and a little contrast
    // keep the colours rich after the mix.
    s.BlendMode = EffectBlendOpacity;
    s.Opacity = 20;
    s.Saturation = 30;
    s.Contrast = 20;
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
    const TEffectSettings fresh = DesignedSettings();
    bool ok = Write(dir, DefaultSetName, fresh) && Write(dir, CartoonSetName, Cartoon()) &&
              Write(dir, SketchSetName, Sketch()) && Write(dir, LineDrawingSetName, LineDrawing()) &&
              Write(dir, CanvasSetName, Canvas());
    if (ok && !WriteColorTableFile(dir + "/" + DefaultCtbName, fresh.ColorTable)) {
        std::fprintf(stderr, "lq_make_presets: cannot write %s/%s\n", dir.c_str(), DefaultCtbName);
        ok = false;
    }
    return ok ? 0 : 1;
}
