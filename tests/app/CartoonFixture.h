#pragma once

// A photo, a whole settings record and the layers the editor's cartoon
// command computes from them: what the renderer's and the batch's tests
// check their output against.
#include "engine/DrawEffect.h"
#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

// A photo-like picture: smooth gradients for the colouring, hard-edged
// shapes for the lines, and a little deterministic noise.
inline TBitmap Photo(int width, int height, std::uint32_t seed = 12345)
{
    TBitmap picture(width, height);
    std::uint32_t noise = seed;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = int(noise >> 28) - 8;
            const bool disc =
                (x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2) < (height / 4) * (height / 4);
            const bool bar = x > width * 2 / 3 && x < width * 5 / 6;
            int b = 60 + 120 * y / height, g = 90 + 100 * x / width, r = 200 - 80 * x / width;
            if (disc)
                b = 30, g = 40, r = 220;
            if (bar)
                b = 240, g = 230, r = 40;
            row[x * 3] = std::uint8_t(std::clamp(b + n, 0, 255));
            row[x * 3 + 1] = std::uint8_t(std::clamp(g + n, 0, 255));
            row[x * 3 + 2] = std::uint8_t(std::clamp(r + n, 0, 255));
        }
    }
    return picture;
}

// A whole settings record: grey lines and average colours over a table
// whose row v splits each channel into v + 1 even bands.
inline TEffectSettings Settings(int colorSmooth = 2)
{
    TEffectSettings s;
    std::memset(&s, 0, sizeof s);
    s.SketchType = 2;
    s.Detail = 40;
    s.Darkness = 60;
    s.SketchSmooth = 15;
    s.ScaleType = 2;
    s.ScanFromOrigin = 1;
    s.ColorScale = 3;
    s.ColorSmooth = colorSmooth;
    s.BorderBlur = 25;
    s.Saturation = 10;
    s.DrawSketch = 1;
    s.DrawColor = 1;
    s.BlendMode = 1;
    s.Opacity = 50;
    for (int v = 1; v <= ColorTableRows; ++v) {
        std::uint8_t* row = s.ColorTable + (v - 1) * ColorTableRowSize;
        const int bands = std::min(v + 1, 127);
        row[0] = std::uint8_t(bands + 1);
        for (int k = 0; k <= bands; ++k)
            row[1 + k] = std::uint8_t(k * 255 / bands);
    }
    s.WhiteLevel = 255;
    return s;
}

struct TLayers {
    TBitmap Sketch, Color;
};

// What the editor's cartoon command computes for the whole photo.
inline TLayers ExpectedLayers(TEffectSettings settings, const TBitmap& photo)
{
    settings.Left = settings.Top = 0;
    settings.Width = photo.Width();
    settings.Height = photo.Height();
    TDrawEffect effect;
    effect.SetSettings(settings, &photo);
    effect.SetThreadCount(1);
    TLayers layers;
    if (!effect.Render() || !effect.GetLayers(layers.Sketch, layers.Color))
        throw std::runtime_error("the reference render failed");
    return layers;
}
