// lumenquilla-render: the effect of the editor without its windows, for
// batch conversion and for driving the engine from scripts and tests.
#include "Abort.h"
#include "Document.h"
#include "DrawEffect.h"
#include "FileError.h"
#include "Interrupt.h"
#include "P2CFile.h"
#include "PictureFiles.h"
#include "Presets.h"
#include "RenderOptions.h"
#include "TerminalProgress.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* ProgramName = "lumenquilla-render";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", ProgramName, message.c_str());
    return 1;
}

// 128 + the signal, as a shell reports a program that a signal ended.
int Interrupted()
{
    std::fprintf(stderr, "%s: interrupted\n", ProgramName);
    return 128 + InterruptSignal();
}

// The layers of the photo under the settings, or nothing when the
// computation was stopped.
std::optional<std::pair<TBitmap, TBitmap>> ComputeLayers(const TEffectSettings& settings, const TBitmap& photo,
                                                         const TRenderOptions& options)
{
    // The engine's buffers are several times the photo: they go as soon as
    // the layers are out.
    auto effect = std::make_unique<TDrawEffect>();
    effect->SetSettings(settings, &photo);
    effect->SetThreadCount(options.Threads);
    std::unique_ptr<TTerminalProgress> progress;
    if (!options.Quiet && TTerminalProgress::Wanted()) {
        progress = std::make_unique<TTerminalProgress>();
        effect->SetProgress(progress->Sink());
    }
    // The flag was cleared at start-up; keeping it lets a Ctrl-C during
    // decoding stop the run too.
    const bool complete = effect->Render(TDrawEffect::TAbortStart::Keep);
    if (progress)
        progress->Finish();
    std::pair<TBitmap, TBitmap> layers;
    if (!complete || !effect->GetLayers(layers.first, layers.second))
        return std::nullopt;
    return layers;
}

int Run(const TRenderOptions& options)
{
    // Every output is checked before the work starts; the writers still
    // report whatever goes wrong later.
    for (const std::string* out : {&options.Output, &options.SketchOut, &options.ColorOut, &options.ProjectOut}) {
        if (out->empty())
            continue;
        const std::string reason = CannotCreateReason(*out);
        if (!reason.empty())
            return Fail(reason);
    }
    std::optional<TEffectSettings> settings;
    if (!options.NoEffect)
        settings = ReadPresetRecord(PresetPath(options.Preset));

    std::string warning;
    TBitmap photo = ReadPicture(options.Input, &warning);
    if (!warning.empty())
        std::fprintf(stderr, "%s: warning: %s\n", ProgramName, warning.c_str());
    if (InterruptSignal() != 0)
        return Interrupted();

    if (options.NoEffect) {
        WritePicture(options.Output, photo);
        return InterruptSignal() != 0 ? Interrupted() : 0;
    }

    WidenToPicture(*settings, photo);
    auto layers = ComputeLayers(*settings, photo, options);
    if (!layers)
        return InterruptSignal() != 0 ? Interrupted() : Fail("the computation was stopped");

    // The editor's own path: the result becomes the document's layers with
    // the layer settings the effect chose, and the composite is what Save
    // would write.
    TDocument document;
    document.SourceBitmap = std::move(photo);
    document.TakeEffectResult(std::move(layers->first), std::move(layers->second), *settings);

    // Each file is written whole or not at all; after an interrupt no
    // further file is started.
    const std::pair<const std::string*, const TBitmap*> pictures[] = {
        {&options.Output, &document.ViewBitmap},
        {&options.SketchOut, &document.SketchLayer},
        {&options.ColorOut, &document.ColorLayer},
    };
    for (const auto& [path, picture] : pictures) {
        if (path->empty())
            continue;
        if (InterruptSignal() != 0)
            return Interrupted();
        WritePicture(*path, *picture);
    }
    if (!options.ProjectOut.empty()) {
        if (InterruptSignal() != 0)
            return Interrupted();
        WriteProjectFile(options.ProjectOut, document);
    }
    return InterruptSignal() != 0 ? Interrupted() : 0;
}

} // namespace

int main(int argc, char** argv)
{
    InstallInterruptHandler();
    ClearAbort();

    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<TRenderOptions> options = ParseRenderOptions(args, error);
    if (!options)
        return Fail(error + " (see --help)");
    if (options->Help) {
        std::fputs(RenderUsage().c_str(), stdout);
        return 0;
    }
    try {
        return Run(*options);
    } catch (const TFileError& e) {
        return Fail(e.what());
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for " + options->Input);
    } catch (const std::exception& e) {
        return Fail(options->Input + ": " + e.what());
    }
}
