#include "app/render/RenderOptions.h"

#include "document/DocumentFiles.h"
#include "picture/FileFormats.h"

#include <charconv>
#include <sstream>

namespace {

bool ParseThreads(const std::string& text, int& threads)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > MaxRenderThreads)
        return false;
    threads = value;
    return true;
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

std::optional<TRenderOptions> ParseRenderOptions(const std::vector<std::string>& args, std::string& error)
{
    TRenderOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;

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
        } else if (name == "--sketch-out") {
            ok = value(options.SketchOut);
        } else if (name == "--color-out") {
            ok = value(options.ColorOut);
        } else if (name == "--project-out") {
            ok = value(options.ProjectOut);
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
            if (ok && !ParseThreads(text, options.Threads)) {
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
    }

    if (positional.size() != 2) {
        error = positional.size() < 2 ? "an INPUT and an OUTPUT picture are needed"
                                      : "too many pictures: '" + positional[2] + "'";
        return std::nullopt;
    }
    options.Input = positional[0];
    options.Output = positional[1];
    // "auto" is no file: it is the cartoon preset fitted to the photo.
    if (options.Preset == AutoPresetName) {
        options.Preset = "cartoon";
        options.Fit = true;
    }
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
           "Turns a photo into a cartoon, pencil sketch, line drawing or canvas-like picture.\n"
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
           "Exit status: 0 on success, 1 for an unreadable input, an unwritable output, bad\n"
           "options or too little memory, 130 when interrupted.\n";
}
