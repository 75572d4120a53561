#pragma once

// Pictures, a colours table and settings records for the engine's tests and
// benchmarks.

#include "engine/CpuFeatures.h"
#include "engine/EffectSettings.h"
#include "engine/Progress.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace EngineTest {

// Row v (1..142) of a colours table: n = min(v + 1, 128) boundaries spread
// evenly from 0 to 255, so that a larger scale gives narrower bands.
inline void FillColorTable(std::uint8_t* table)
{
    std::memset(table, 0, ColorTableSize);
    for (int v = 1; v <= ColorTableRows; ++v) {
        std::uint8_t* row = table + (v - 1) * ColorTableRowSize;
        int n = v + 1 < 128 ? v + 1 : 128;
        row[0] = std::uint8_t(n);
        for (int i = 0; i < n; ++i)
            row[1 + i] = std::uint8_t((i * 255 + (n - 1) / 2) / (n - 1));
    }
}

// The values of a newly opened preview dialog, for the whole picture.
inline TEffectSettings FreshSettings(int width, int height)
{
    TEffectSettings s;
    std::memset(&s, 0, sizeof s);
    s.Width = width;
    s.Height = height;
    s.SketchType = 2;
    s.Detail = 115;
    s.Darkness = 68;
    s.SketchSmooth = 15;
    s.ScaleType = 2;
    s.ScanFromOrigin = 1;
    s.ColorScale = 10;
    s.ColorSmooth = 2;
    s.BorderBlur = 25;
    s.DrawSketch = 1;
    s.BlendMode = 1;
    s.Opacity = 50;
    s.WhiteLevel = 255;
    FillColorTable(s.ColorTable);
    return s;
}

inline TBitmap RandomPicture(int width, int height, std::uint32_t seed, int levels = 256)
{
    TBitmap p(width, height);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            p.ScanLine(y)[x] = std::uint8_t(rng() % levels * (255 / std::max(levels - 1, 1)));
    return p;
}

// Smooth shapes and gradients with a little noise: flat areas, edges and
// texture, like a photo, and the same on every machine.
inline TBitmap PhotoLikePicture(int width, int height, std::uint32_t seed = 7)
{
    TBitmap p(width, height);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width, v = double(y) / height;
            double sky = 150 + 90 * v;
            bool hill = v > 0.55 + 0.12 * std::sin(u * 9.0);
            bool disc = (u - 0.3) * (u - 0.3) + (v - 0.3) * (v - 0.3) < 0.02;
            int noise = int(rng() % 9) - 4;
            int b = hill ? 40 + int(60 * u) : disc ? 60 : int(sky);
            int g = hill ? 110 + int(50 * std::sin(u * 40.0)) : disc ? 200 : int(sky - 30);
            int r = hill ? 60 : disc ? 240 : int(sky - 90 * v);
            row[x * 3] = std::uint8_t(std::clamp(b + noise, 0, 255));
            row[x * 3 + 1] = std::uint8_t(std::clamp(g + noise, 0, 255));
            row[x * 3 + 2] = std::uint8_t(std::clamp(r + noise, 0, 255));
        }
    }
    return p;
}

// Runs a check once with the wide vector paths (where the processor has them)
// and once with the narrow ones only.
template <class Check>
void WithEachVectorWidth(Check check)
{
    for (bool wide : {true, false}) {
        AllowWideVectors(wide);
        check(wide ? "wide vectors" : "narrow vectors");
    }
    AllowWideVectors(true);
}

// Records every progress report as text ("Blur Row", "50%", "max 10",
// "step"); `OnReport` runs after each one, for example to cancel.
class TProgressLog final : public TStepBar, public TTotalBar, public TStepLabel {
public:
    std::vector<std::string> Events;
    std::function<void(const std::string&)> OnReport;

    TProgressSink Sink() { return {this, this, this}; }
    void SetPosition(int percent) override { Add(std::to_string(percent) + "%"); }
    void SetMaximum(int steps) override { Add("max " + std::to_string(steps)); }
    void StepIt() override { Add("step"); }
    void SetStepName(const char* name) override { Add(name); }

    int Count(const std::string& event) const { return int(std::count(Events.begin(), Events.end(), event)); }
    // The percentages reported while the step of that name ran (the first time).
    std::vector<std::string> PercentsOf(const std::string& step) const
    {
        std::vector<std::string> out;
        auto it = std::find(Events.begin(), Events.end(), step);
        if (it == Events.end())
            return out;
        for (++it; it < Events.end() && !it->empty() && it->back() == '%'; ++it)
            out.push_back(*it);
        return out;
    }

private:
    void Add(std::string event)
    {
        Events.push_back(event);
        if (OnReport)
            OnReport(event);
    }
};

} // namespace EngineTest
