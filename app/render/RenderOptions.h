#pragma once

#include "picture/FileFormats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What one run of the headless renderer is asked to do: one photo into one
// OUTPUT, or, with an output folder (-o), a batch of every INPUT.
struct TRenderOptions {
    std::string Input;
    std::string Output;
    // The batch form: the photos and folders, and where their outputs go.
    std::vector<std::string> Inputs;
    std::string OutputFolder;
    bool Recurse = false;
    TFileKind Format = TFileKind::Jpeg;
    std::string Suffix;
    bool SkipExisting = false;
    // Photos at once (0: one per core).
    int Jobs = 0;
    // Bytes the batch may fill (0: chosen from the memory at hand).
    std::uint64_t Memory = 0;
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

    bool IsBatch() const { return !OutputFolder.empty(); }
};

// The preset name that means the cartoon preset with --fit.
inline constexpr const char* AutoPresetName = "auto";

// The most worker threads -j accepts; more than there are cores only costs.
inline constexpr int MaxRenderThreads = 64;

// "4G", "512M", "1.5g", "300MiB": bytes in binary units; a plain number is
// MiB, as batch systems count. Nothing for anything else, or 0.
std::optional<std::uint64_t> ParseMemorySize(const std::string& text);

// Parses the arguments after the program name. On a fault returns nothing and
// sets `error` to a one-line message (without the program name). With --help
// anywhere, only Help is set and the rest is not checked.
std::optional<TRenderOptions> ParseRenderOptions(const std::vector<std::string>& args, std::string& error);

// The text --help prints.
std::string RenderUsage();
