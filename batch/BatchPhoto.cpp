#include "batch/BatchPhoto.h"

#include "batch/BatchMemory.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "engine/DrawEffect.h"
#include "engine/EffectMemory.h"
#include "picture/FileError.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureFiles.h"
#include "picture/SafeFile.h"
#include "settings/FitToPhoto.h"
#include "settings/Presets.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <new>
#include <utility>

namespace {

// The share of a photo's work that reading it and writing its output take,
// around the render, for the time left.
constexpr double ReadShare = 0.1;
constexpr double WriteShare = 0.1;

struct TPhotoSize {
    std::int64_t Width = 0, Height = 0;
};

// The photo as the preset renders it into a document, whose Save is what the
// output holds; nothing when the render was cancelled.
std::unique_ptr<TDocument> RenderDocument(TBitmap photo, const TPhotoJob& job, TPhotoWorker& worker)
{
    TEffectSettings settings = job.Settings.Fit ? FitToPhoto(*job.Preset, photo) : *job.Preset;
    WidenToPicture(settings, photo);
    TBitmap sketch, color;
    TDrawEffect& effect = worker.Effect();
    effect.SetSettings(settings, &photo);
    // A new count makes new helper threads: only when it changes.
    if (effect.ThreadCount() != job.Threads)
        effect.SetThreadCount(job.Threads);
    effect.SetProgress(worker.Progress.Sink());
    worker.Progress.SetPhase(TPhotoProgress::TPhase::Rendering);
    if (!effect.Render(worker.Cancel) || !effect.GetLayers(sketch, color))
        return nullptr;
    auto document = std::make_unique<TDocument>();
    document->SourceBitmap = std::move(photo);
    document->TakeEffectResult(std::move(sketch), std::move(color), settings);
    return document;
}

TPhotoResult Render(const TBatchItem& item, const TPhotoJob& job, TPhotoWorker& worker, TPhotoSize& size)
{
    const bool noEffect = job.Settings.NoEffect;
    TPhotoProgress& progress = worker.Progress;
    TPhotoResult result;
    TBitmap photo;
    {
        // The readers ask before they allocate the picture: its share is
        // taken then, and the photo waits there while the budget is full.
        const TPictureMemoryGate gate([&](std::int64_t width, std::int64_t height) {
            size = {width, height};
            return worker.HoldFor(PhotoPeakBytes(width, height, noEffect));
        });
        photo = ReadPicture(item.Input, &result.Warning);
    }
    size = {photo.Width(), photo.Height()};
    // For a reader that did not ask.
    const bool fits = worker.HoldFor(PhotoPeakBytes(size.Width, size.Height, noEffect));
    if (job.Batch.Requested())
        return {TPhotoEnd::Cancelled, {}, {}};
    if (!fits)
        throw TFileError(item.Input + " cannot be opened: " + NotEnoughMemoryText(size.Width, size.Height));

    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(item.Output).parent_path();
    if (!folder.empty() && !std::filesystem::create_directories(folder, error) && error)
        throw TFileError("the folder " + folder.string() + " cannot be created: " + error.message());
    TStagedFile output(item.Output);
    const TWriteOptions options{job.Settings.Lossless};
    if (noEffect) {
        progress.SetPhase(TPhotoProgress::TPhase::Writing);
        output.Write([&](std::ostream& out) { WritePictureTo(out, item.Output, photo, options); });
    } else {
        const std::unique_ptr<TDocument> document = RenderDocument(std::move(photo), job, worker);
        if (!document) {
            if (job.Batch.Requested())
                return {TPhotoEnd::Cancelled, {}, {}};
            throw TFileError(item.Input + ": the computation was stopped");
        }
        progress.SetPhase(TPhotoProgress::TPhase::Writing);
        output.Write([&](std::ostream& out) { SaveDocumentTo(out, item.Output, *document, options); });
    }
    // A cancel that came while the file was written still leaves no new file.
    if (job.Batch.Requested())
        return {TPhotoEnd::Cancelled, {}, {}};
    output.Commit();
    result.End = TPhotoEnd::Done;
    return result;
}

std::string WithPhotoName(const std::string& input, const std::string& text)
{
    return text.find(input) != std::string::npos ? text : input + ": " + text;
}

} // namespace

void TPhotoProgress::Start()
{
    render_.Reset();
    SetPhase(TPhase::Reading);
}

double TPhotoProgress::Fraction() const
{
    switch (TPhase(phase_.load(std::memory_order_relaxed))) {
    case TPhase::Reading: return 0;
    case TPhase::Writing: return 1 - WriteShare;
    case TPhase::Rendering: break;
    }
    const TProgressState::TSnapshot render = render_.Read();
    double done = 0;
    if (render.TotalMaximum > 0)
        done = std::clamp((render.TotalPosition + std::clamp(render.StepPercent, 0, 99) / 100.0) / render.TotalMaximum,
                          0.0, 1.0);
    return ReadShare + done * (1 - ReadShare - WriteShare);
}

std::uint64_t PhotoPeakBytes(std::int64_t width, std::int64_t height, bool noEffect)
{
    if (!noEffect)
        return EffectPeakBytes(width, height);
    // The picture, and beside it the heaviest reader's planes (a HEIF's) or
    // a writer's buffers.
    constexpr std::uint64_t ConversionBytesPerPixel = 12;
    constexpr std::uint64_t FixedBytes = std::uint64_t(16) << 20;
    return std::uint64_t(std::max<std::int64_t>(width, 0)) * std::uint64_t(std::max<std::int64_t>(height, 0)) *
               ConversionBytesPerPixel +
           FixedBytes;
}

TPhotoWorker::TPhotoWorker(TBatchMemory& memory)
    : share_(memory, [this] { return Cancel.Requested(); })
{
}

TPhotoWorker::~TPhotoWorker() = default;

bool TPhotoWorker::HoldFor(std::uint64_t bytes)
{
    // Buffers kept from a larger photo are kept only while no other photo
    // waits for the memory they hold.
    const std::uint64_t held = share_.Held();
    if (held >= bytes && (held == bytes || share_.Memory().Waiting() == 0))
        return true;
    if (held < bytes && share_.TryHold(bytes))
        return true;
    Release();
    return share_.Hold(bytes);
}

void TPhotoWorker::Release()
{
    effect_.reset();
    share_.Release();
}

TDrawEffect& TPhotoWorker::Effect()
{
    if (!effect_)
        effect_ = std::make_unique<TDrawEffect>();
    return *effect_;
}

TPhotoResult RenderBatchPhoto(const TBatchItem& item, const TPhotoJob& job, TPhotoWorker& worker)
{
    worker.Progress.Start();
    TPhotoSize size;
    try {
        return Render(item, job, worker, size);
    } catch (const std::bad_alloc&) {
        if (job.Batch.Requested())
            return {TPhotoEnd::Cancelled, {}, {}};
        const std::string text = size.Width > 0 ? NotEnoughMemoryText(size.Width, size.Height) : "not enough memory";
        return {TPhotoEnd::Failed, WithPhotoName(item.Input, text), {}};
    } catch (const std::exception& e) {
        // A reader refused by a cancel while it waited for memory says so
        // as a lack of memory; the cancel is what happened.
        if (job.Batch.Requested())
            return {TPhotoEnd::Cancelled, {}, {}};
        return {TPhotoEnd::Failed, WithPhotoName(item.Input, e.what()), {}};
    }
}
