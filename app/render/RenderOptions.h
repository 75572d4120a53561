#pragma once

#include <optional>
#include <string>
#include <vector>

// What one run of the headless renderer is asked to do.
struct TRenderOptions {
    std::string Input;
    std::string Output;
    // A preset name (see PresetPath) or the path of a .set file.
    std::string Preset = "default";
    std::string SketchOut;
    std::string ColorOut;
    std::string ProjectOut;
    bool NoEffect = false;
    // Fit the preset to each photo before rendering.
    bool Fit = false;
    // WebP outputs lossless rather than at quality 90.
    bool Lossless = false;
    // 0: one per core.
    int Threads = 0;
    bool Quiet = false;
    bool Help = false;
};

// The preset name that means the cartoon preset with --fit.
inline constexpr const char* AutoPresetName = "auto";

// The most worker threads -j accepts; more than there are cores only costs.
inline constexpr int MaxRenderThreads = 64;

// Parses the arguments after the program name. On a fault returns nothing and
// sets `error` to a one-line message (without the program name). With --help
// anywhere, only Help is set and the rest is not checked.
std::optional<TRenderOptions> ParseRenderOptions(const std::vector<std::string>& args, std::string& error);

// The text --help prints.
std::string RenderUsage();
