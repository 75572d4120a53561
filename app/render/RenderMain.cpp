// lumenquilla-render: the effect of the editor without its windows, for
// batch conversion and for driving the engine from scripts and tests.
#include "app/render/DistinctFiles.h"
#include "app/render/Interrupt.h"
#include "app/render/RenderBatch.h"
#include "app/render/RenderOptions.h"
#include "app/render/TerminalProgress.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"
#include "engine/EffectMemory.h"
#include "picture/FileError.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureFiles.h"
#include "picture/SafeFile.h"
#include "settings/FitToPhoto.h"
#include "settings/Presets.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
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
                                                         const TRenderOptions& options, TCancelToken& cancel)
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
    // The token is the run's: a Ctrl-C that came before the render starts
    // stops it too. A render that throws ends the progress line through its
    // destructor.
    const bool complete = effect->Render(cancel);
    if (progress)
        progress->Finish();
    std::pair<TBitmap, TBitmap> layers;
    if (!complete || !effect->GetLayers(layers.first, layers.second))
        return std::nullopt;
    return layers;
}

// One output, written beside its old file until all are complete.
struct TOutput {
    std::unique_ptr<TStagedFile> File;
};

// The size of the photo once it is known, for the message when memory runs out.
struct TPictureSize {
    std::int64_t Width = 0, Height = 0;
};

int Run(const TRenderOptions& options, TPictureSize& size, TCancelToken& cancel)
{
    std::vector<TNamedFile> named = {{"INPUT", options.Input}, {"OUTPUT", options.Output}};
    if (!options.SketchOut.empty())
        named.push_back({"--sketch-out", options.SketchOut});
    if (!options.ColorOut.empty())
        named.push_back({"--color-out", options.ColorOut});
    if (!options.ProjectOut.empty())
        named.push_back({"--project-out", options.ProjectOut});
    const std::string same = SameFileReason(named);
    if (!same.empty())
        return Fail(same);

    // Every output is checked before the work starts; the writers still
    // report whatever goes wrong later.
    std::vector<TOutput> outputs;
    for (std::size_t i = 1; i < named.size(); ++i) {
        const std::string reason = CannotCreateReason(named[i].Path);
        if (!reason.empty())
            return Fail(reason);
        outputs.push_back({std::make_unique<TStagedFile>(named[i].Path)});
    }
    std::optional<TEffectSettings> settings;
    if (!options.NoEffect)
        settings = ReadPresetRecord(PresetPath(options.Preset));

    std::string warning;
    TBitmap photo = ReadPicture(options.Input, &warning);
    size = {photo.Width(), photo.Height()};
    if (!warning.empty())
        std::fprintf(stderr, "%s: warning: %s\n", ProgramName, warning.c_str());
    if (!options.NoEffect && !EffectFitsInMemory(photo.Width(), photo.Height(), options.Threads))
        return Fail(NotEnoughMemoryText(photo.Width(), photo.Height()));
    // From here a Ctrl-C stops the work and keeps every old file.
    SetRunPhase(TRunPhase::Working);

    TDocument document;
    std::vector<std::function<void(std::ostream&)>> contents;
    if (options.NoEffect) {
        contents.push_back([&](std::ostream& out) { WritePictureTo(out, options.Output, photo, {options.Lossless}); });
    } else {
        if (options.Fit)
            settings = FitToPhoto(*settings, photo);
        WidenToPicture(*settings, photo);
        auto layers = ComputeLayers(*settings, photo, options, cancel);
        if (!layers)
            return InterruptSignal() != 0 ? Interrupted() : Fail("the computation was stopped");

        // The editor's own path: the result becomes the document's layers
        // with the layer settings the effect chose, and OUTPUT and the project
        // are what its Save writes under those names.
        document.SourceBitmap = std::move(photo);
        document.TakeEffectResult(std::move(layers->first), std::move(layers->second), *settings);
        contents.push_back(
            [&](std::ostream& out) { SaveDocumentTo(out, options.Output, document, {options.Lossless}); });
        const std::pair<const std::string*, const TBitmap*> layerFiles[] = {
            {&options.SketchOut, &document.SketchLayer},
            {&options.ColorOut, &document.ColorLayer},
        };
        for (const auto& [path, picture] : layerFiles)
            if (!path->empty())
                contents.push_back([path = path, picture = picture, lossless = options.Lossless](std::ostream& out) {
                    WritePictureTo(out, *path, *picture, {lossless});
                });
        if (!options.ProjectOut.empty())
            contents.push_back([&](std::ostream& out) { SaveDocumentTo(out, options.ProjectOut, document); });
    }

    // Every output is written whole beside its old file first; only when all
    // are complete do they replace the old ones, so a failure or a Ctrl-C
    // before that leaves every old file, and one after it changes nothing.
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (InterruptSignal() != 0)
            return Interrupted();
        outputs[i].File->Write(contents[i]);
    }
    TInterruptsHeld held;
    if (InterruptSignal() != 0)
        return Interrupted();
    for (TOutput& output : outputs)
        output.File->Commit();
    held.UntilExit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // What a Ctrl-C cancels: the one render of this run.
    TCancelToken cancel;
    const TInterruptHandler interrupts(cancel);

    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<TRenderOptions> options = ParseRenderOptions(args, error);
    if (!options)
        return Fail(error + " (see --help)");
    if (options->Help) {
        std::fputs(RenderUsage().c_str(), stdout);
        return 0;
    }
    if (options->IsBatch())
        return RenderBatch(*options);
    TPictureSize size;
    try {
        return Run(*options, size, cancel);
    } catch (const TFileError& e) {
        return Fail(e.what());
    } catch (const std::bad_alloc&) {
        if (size.Width > 0)
            return Fail(NotEnoughMemoryText(size.Width, size.Height));
        return Fail("not enough memory for " + options->Input);
    } catch (const std::exception& e) {
        return Fail(options->Input + ": " + e.what());
    }
}
