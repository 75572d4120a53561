#include "app/render/RenderOptions.h"

#include "batch/BatchPlan.h"
#include "document/DocumentFiles.h"
#include "picture/FileFormats.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

namespace {

bool ParseCount(const std::string& text, int most, int& count)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > most)
        return false;
    count = value;
    return true;
}

// The most photos --jobs takes at once; memory holds the real number down.
constexpr int MaxRenderJobs = 256;

// "jpg, jpeg, bmp, png or webp": what --format takes, from the table.
std::string FormatNamesText()
{
    std::vector<std::string> names;
    for (const std::string& extension : PictureExtensions(TFormatUse::Written))
        names.push_back(extension.substr(1));
    return ListText(names, "or");
}

// Every file named on the command line must be one the editor would open as
// a picture (by its name or its content) or save as the kind asked for (by
// its name), checked before any work starts.
bool CheckInputName(const std::string& path, std::string& error)
{
    if (OpenKindOf(path) == TDocumentFileKind::Picture)
        return true;
    error = "INPUT '" + path + "' is not a picture (" + ListText(PictureExtensions(TFormatUse::Read), "or") + ")";
    return false;
}

bool CheckPictureName(const std::string& path, const char* what, std::string& error)
{
    if (SaveKindOf(path) == TDocumentFileKind::Picture)
        return true;
    error = std::string(what) + " '" + path + "' is neither " + ListText(PictureExtensions(TFormatUse::Written), "nor");
    return false;
}

std::string ProjectExtension() { return std::string(FormatOfKind(TFileKind::Project)->Extensions[0]); }

// The usage's option column, and the width its entries are wrapped within.
constexpr std::size_t UsageIndent = 22;
constexpr std::size_t UsageWidth = 86;

std::string UsageEntry(const std::string& name, const std::string& text)
{
    std::string entry = "  " + name;
    entry.resize(UsageIndent, ' ');
    std::size_t column = UsageIndent;
    bool lineStart = true;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lineStart && column + 1 + word.size() > UsageWidth) {
            entry += '\n';
            entry.append(UsageIndent, ' ');
            column = UsageIndent;
            lineStart = true;
        }
        if (!lineStart) {
            entry += ' ';
            ++column;
        }
        entry += word;
        column += word.size();
        lineStart = false;
    }
    return entry + "\n";
}

// ".jpg/.jpeg (baseline, quality 90), .bmp (24-bit), ... or .webp (quality 90)"
std::string WrittenPicturesText()
{
    std::vector<std::string> kinds;
    for (const TFileFormat& format : FileFormats()) {
        if (!format.IsPicture() || !format.Writes)
            continue;
        std::string kind;
        for (std::string_view extension : format.Extensions)
            kind.append(kind.empty() ? "" : "/").append(extension);
        kinds.push_back(kind.append(" (").append(format.WrittenAs).append(")"));
    }
    return ListText(kinds, "or");
}

std::string LosslessExtensions()
{
    std::vector<std::string> extensions;
    for (const TFileFormat& format : FileFormats())
        if (!format.LosslessLabel.empty())
            extensions.emplace_back(format.Extensions[0]);
    return ListText(extensions, "and");
}

} // namespace

std::optional<std::uint64_t> ParseMemorySize(const std::string& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && (std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.'))
        ++digits;
    if (digits == 0 || std::count(text.begin(), text.begin() + std::ptrdiff_t(digits), '.') > 1)
        return std::nullopt;
    std::string unit = text.substr(digits);
    for (char& c : unit)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (unit.ends_with("IB"))
        unit.resize(unit.size() - 2);
    else if (unit.size() > 1 && unit.ends_with("B"))
        unit.pop_back();
    int shift = 0;
    if (unit.empty() || unit == "M")
        shift = 20;
    else if (unit == "B")
        shift = 0;
    else if (unit == "K")
        shift = 10;
    else if (unit == "G")
        shift = 30;
    else if (unit == "T")
        shift = 40;
    else
        return std::nullopt;
    const double value = std::stod(text.substr(0, digits)) * std::ldexp(1.0, shift);
    if (!(value >= 1) || value > 1e18)
        return std::nullopt;
    return std::uint64_t(value);
}

std::optional<TRenderOptions> ParseRenderOptions(const std::vector<std::string>& args, std::string& error)
{
    TRenderOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    // The first option of each form that the other form does not take.
    std::string batchOnly, singleOnly;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name=value" and "-xvalue" carry their value inline.
        std::string name = arg, inlineValue;
        bool hasInline = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
                hasInline = true;
            }
        } else if (arg.size() > 2) {
            name = arg.substr(0, 2);
            inlineValue = arg.substr(2);
            hasInline = true;
        }

        auto flag = [&](bool& target) {
            if (hasInline) {
                error = "option " + name + " takes no value";
                return false;
            }
            target = true;
            return true;
        };
        auto value = [&](std::string& target) {
            if (hasInline) {
                target = inlineValue;
            } else if (i + 1 < args.size()) {
                target = args[++i];
            } else {
                error = "option " + name + " needs a value";
                return false;
            }
            if (target.empty()) {
                error = "option " + name + " needs a value";
                return false;
            }
            return true;
        };

        bool ok;
        if (name == "-h" || name == "--help") {
            TRenderOptions help;
            help.Help = true;
            return help;
        } else if (name == "-p" || name == "--preset") {
            ok = value(options.Preset);
        } else if (name == "--sketch-out" || name == "--color-out" || name == "--project-out") {
            ok = value(name == "--sketch-out"  ? options.SketchOut
                       : name == "--color-out" ? options.ColorOut
                                               : options.ProjectOut);
            if (singleOnly.empty())
                singleOnly = name;
        } else if (name == "-o" || name == "--output-folder") {
            ok = value(options.OutputFolder);
        } else if (name == "-r" || name == "--recursive" || name == "--skip-existing") {
            ok = flag(name == "--skip-existing" ? options.SkipExisting : options.Recurse);
        } else if (name == "--format") {
            std::string text;
            ok = value(text);
            options.Format = BatchFormatNamed(text);
            if (ok && options.Format == TFileKind::None) {
                error = "the format '" + text + "' is none of " + FormatNamesText();
                ok = false;
            }
        } else if (name == "--suffix") {
            ok = value(options.Suffix);
            if (ok && options.Suffix.find('/') != std::string::npos) {
                error = "the suffix '" + options.Suffix + "' holds a /";
                ok = false;
            }
        } else if (name == "--jobs") {
            std::string text;
            ok = value(text);
            if (ok && text != "auto" && !ParseCount(text, MaxRenderJobs, options.Jobs)) {
                error = "the job count '" + text + "' is neither auto nor a whole number from 1 to " +
                        std::to_string(MaxRenderJobs);
                ok = false;
            }
        } else if (name == "--memory") {
            std::string text;
            ok = value(text);
            const std::optional<std::uint64_t> bytes = ok ? ParseMemorySize(text) : std::nullopt;
            if (ok && !bytes) {
                error = "the memory size '" + text + "' is no size (such as 4G or 512M)";
                ok = false;
            }
            options.Memory = bytes.value_or(0);
        } else if (name == "--lossless") {
            ok = flag(options.Lossless);
        } else if (name == "--fit") {
            ok = flag(options.Fit);
        } else if (name == "--no-effect") {
            ok = flag(options.NoEffect);
        } else if (name == "-q" || name == "--quiet") {
            ok = flag(options.Quiet);
        } else if (name == "-j" || name == "--threads") {
            std::string text;
            ok = value(text);
            if (ok && !ParseCount(text, MaxRenderThreads, options.Threads)) {
                error = "the thread count '" + text + "' is not a whole number from 1 to " +
                        std::to_string(MaxRenderThreads);
                ok = false;
            }
        } else {
            error = "unknown option " + name;
            ok = false;
        }
        if (!ok)
            return std::nullopt;
        const bool batch = name == "-r" || name == "--recursive" || name == "--skip-existing" || name == "--format" ||
                           name == "--suffix" || name == "--jobs" || name == "--memory";
        if (batch && batchOnly.empty())
            batchOnly = name;
    }

    // "auto" is no file: it is the cartoon preset fitted to the photo.
    if (options.Preset == AutoPresetName) {
        options.Preset = "cartoon";
        options.Fit = true;
    }
    if (options.IsBatch()) {
        if (positional.empty()) {
            error = "-o " + options.OutputFolder + " needs an INPUT photo or folder";
            return std::nullopt;
        }
        if (!singleOnly.empty()) {
            error = singleOnly + " names one file: it does not go with -o";
            return std::nullopt;
        }
        options.Inputs = positional;
        return options;
    }
    if (!batchOnly.empty()) {
        error = batchOnly + " goes with -o FOLDER only";
        return std::nullopt;
    }
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "an INPUT and an OUTPUT picture are needed"
                                      : "too many pictures: '" + positional[2] + "'";
        return std::nullopt;
    }
    options.Input = positional[0];
    options.Output = positional[1];
    if (!CheckInputName(options.Input, error) || !CheckPictureName(options.Output, "OUTPUT", error))
        return std::nullopt;
    if (!options.SketchOut.empty() && !CheckPictureName(options.SketchOut, "--sketch-out", error))
        return std::nullopt;
    if (!options.ColorOut.empty() && !CheckPictureName(options.ColorOut, "--color-out", error))
        return std::nullopt;
    if (!options.ProjectOut.empty() && SaveKindOf(options.ProjectOut) != TDocumentFileKind::Project) {
        error = "--project-out '" + options.ProjectOut + "' does not end in " + ProjectExtension();
        return std::nullopt;
    }
    if (options.NoEffect && !(options.SketchOut.empty() && options.ColorOut.empty() && options.ProjectOut.empty())) {
        error = "--no-effect makes no layers for --sketch-out, --color-out or --project-out";
        return std::nullopt;
    }
    return options;
}

std::string RenderUsage()
{
    return "Usage: lumenquilla-render [OPTIONS] INPUT OUTPUT\n"
           "       lumenquilla-render [OPTIONS] INPUT... -o FOLDER\n"
           "Turns a photo into a cartoon, pencil sketch, line drawing or canvas-like picture,\n"
           "or a whole batch of photos into a folder.\n"
           "\n" +
           UsageEntry("INPUT",
                      "a " + ListText(PictureNames(TFormatUse::Read), "or") + " picture, told by its content") +
           UsageEntry("OUTPUT", WrittenPicturesText() + ", by extension, any case") +
           "  -p, --preset P      cartoon | sketch | linedrawing | canvas | default | last:\n"
           "                      the .set file of that name beside the program; or the path\n"
           "                      of any .set file; or auto, the cartoon preset with --fit.\n"
           "                      Default: default\n"
           "  --fit               fit the preset to each photo first: where its colour bands\n"
           "                      lie, how strong an edge must be to draw, how far the\n"
           "                      smoothing reaches (for night, fog, stars, large photos)\n"
           "  --sketch-out FILE   also write the sketch layer (white when the settings switch it off)\n"
           "  --color-out FILE    also write the colouring layer (white when switched off)\n"
           "  --project-out FILE  also write a project (FILE must end in " +
           ProjectExtension() +
           ") with both\n"
           "                      layers, the photo and the layer settings, for the editor to open\n"
           "  --no-effect         write INPUT decoded and unchanged (format conversion)\n"
           "  --lossless          write " +
           LosslessExtensions() +
           " outputs lossless\n"
           "  -j, --threads N     worker threads for the computation, 1 to 64 (default: all cores)\n"
           "  -q, --quiet         no progress display\n"
           "  -h, --help          show this text\n"
           "\n"
           "No output may name the input or another output. All outputs are written in full\n"
           "before any replaces an older file: an error or Ctrl-C before that keeps them all.\n"
           "\n"
           "Batch, with -o:\n" +
           UsageEntry("INPUT...", "photos, and folders whose pictures (by extension) are all taken") +
           UsageEntry("-o FOLDER", "(or --output-folder) write each photo's output into FOLDER, named after the "
                                   "photo, below the same subfolders as the photo lies in its folder") +
           UsageEntry("-r, --recursive", "take the pictures in the folders' subfolders too") +
           UsageEntry("--format F", FormatNamesText() + ": what the outputs are written as. Default: jpg") +
           UsageEntry("--suffix TEXT", "added to each output's name before its extension") +
           UsageEntry("--skip-existing", "leave the outputs that are newer than both their photo and the preset, "
                                         "so that an interrupted batch resumes where it stopped") +
           UsageEntry("--jobs N", "photos at once, or auto: one per core, fewer while the memory budget cannot "
                                  "hold more. Default: auto") +
           UsageEntry("--memory SIZE", "the most memory the batch fills (4G, 512M; MiB without a unit). Default: "
                                       "three quarters of what the machine, or the batch system, leaves it") +
           "  -j sets each photo's threads (default: the cores shared among the jobs); -q\n"
           "  leaves out the progress line, and the summary unless a photo failed.\n"
           "A summary ends the batch: the photos done, skipped and failed, and each failure.\n"
           "Ctrl-C stops it at once, leaves every output finished and no partial one.\n"
           "\n"
           "Exit status: 0 on success, 1 for an unreadable input, an unwritable output, bad\n"
           "options or too little memory, and for a batch in which any photo failed; 130\n"
           "when interrupted.\n";
}
