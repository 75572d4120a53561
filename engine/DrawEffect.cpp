#include "engine/DrawEffect.h"

#include "engine/Apron.h"
#include "engine/RowsReady.h"
#include "engine/SettingsLimits.h"
#include "engine/WholeScale.h"
#include "engine/WorkerPool.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Average colour scaling is one long walk that cannot be shared out, and it
// does not depend on the sketch; with two or more threads it runs on a thread
// of its own while the sketch takes the other cores, and then the colour
// smoothing follows it down the picture on those cores (TRowsReady). Their
// percentages are kept here and handed on when the computation reaches
// their steps, so that the progress reads as if the steps had run one after
// the other.
class TDeferredPercents final : public TStepBar {
public:
    void SetPosition(int percent) override
    {
        std::lock_guard lock(mutex_);
        percents_.push_back(percent);
        changed_.notify_one();
    }
    void Finish(bool completed)
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        completed_ = completed;
        changed_.notify_one();
    }
    // Passes every percentage on as it comes, until the step has ended;
    // returns whether it completed.
    bool HandOn(const TProgressReporter& report)
    {
        std::size_t next = 0;
        std::vector<int> batch;
        for (;;) {
            bool finished;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return percents_.size() > next || finished_; });
                batch.assign(percents_.begin() + std::ptrdiff_t(next), percents_.end());
                next = percents_.size();
                finished = finished_;
            }
            for (int percent : batch)
                report.Position(percent);
            if (finished && batch.empty())
                return completed_;
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> percents_;
    bool finished_ = false;
    bool completed_ = false;
};

// The basis of a part's colour scaling when it walks its own grown region;
// no whole-picture scaling has this serial.
constexpr std::uint64_t OwnPictureBasis = ~std::uint64_t(0);

} // namespace

// What each stage's kept result was computed from.
struct TDrawEffect::TCache {
    struct TKept {
        bool Valid = false;
        TEffectSettings Settings{};
        const TBitmap* Source = nullptr;
        std::uint64_t Generation = 0;
        int SourceWidth = 0;
        int SourceHeight = 0;
        TRegion Region;
        std::uint64_t Basis = 0;
    };
    std::array<TKept, std::size_t(TEffectStage::Blend) + 1> Stages;
};

TDrawEffect::TDrawEffect() = default;
TDrawEffect::~TDrawEffect() = default;

void TDrawEffect::SetSettings(const TEffectSettings& settings, const TBitmap* source)
{
    settings_ = LimitedSettings(settings);
    source_ = source;
}

void TDrawEffect::SetThreadCount(int threads)
{
    threads_ = std::max(threads, 0);
    pool_.reset();
    besidePool_.reset();
}

void TDrawEffect::SetPartOfWhole(bool on)
{
    if (on == partOfWhole_)
        return;
    partOfWhole_ = on;
    color_.SetCarryFromPicture(on);
    if (cache_)
        for (TCache::TKept& kept : cache_->Stages)
            kept.Valid = false;
}

void TDrawEffect::SetCaching(bool on)
{
    if (on == Caching())
        return;
    cache_ = on ? std::make_unique<TCache>() : nullptr;
    sketch_.SetKeepEdges(on);
    color_.SetKeepSmoothed(on);
}

bool TDrawEffect::Reusable(TEffectStage stage, const TEffectSettings& s, const TRegion& region) const
{
    if (!cache_ || !source_)
        return false;
    const TCache::TKept& kept = cache_->Stages[std::size_t(stage)];
    // The region fields count through the region they give on this picture.
    const TStageSet fields = StageInputs(stage) & ~StageBit(TEffectStage::Region);
    const std::uint64_t basis = stage == TEffectStage::ColorScale ? scaleBasis_ : 0;
    return kept.Valid && kept.Source == source_ && kept.Generation == sourceGeneration_ &&
           kept.SourceWidth == source_->Width() && kept.SourceHeight == source_->Height() && kept.Region == region &&
           kept.Basis == basis && (ChangedStages(kept.Settings, s) & fields) == 0;
}

void TDrawEffect::Forget(TEffectStage stage)
{
    if (!cache_)
        return;
    for (std::size_t i = 0; i < cache_->Stages.size(); ++i)
        if (StageInputs(TEffectStage(i)) & StageBit(stage))
            cache_->Stages[i].Valid = false;
}

void TDrawEffect::Keep(TEffectStage stage, const TEffectSettings& s, const TRegion& region)
{
    if (!cache_ || !source_)
        return;
    const std::uint64_t basis = stage == TEffectStage::ColorScale ? scaleBasis_ : 0;
    cache_->Stages[std::size_t(stage)] = {true,   s,    source_, sourceGeneration_, source_->Width(), source_->Height(),
                                          region, basis};
}

template <class Compute>
bool TDrawEffect::RunStage(TEffectStage stage, const TEffectSettings& s, const TRegion& region, Compute compute)
{
    if (Reusable(stage, s, region))
        return true;
    Forget(stage);
    // A step may finish its last row just as a cancel comes: kept only when
    // none stands, so that nothing half-written is ever reused.
    if (!compute() || cancel_->Requested())
        return false;
    Keep(stage, s, region);
    return true;
}

bool TDrawEffect::Render()
{
    TCancelToken never;
    return Render(never);
}

bool TDrawEffect::Render(TCancelToken& cancel)
{
    complete_ = false;
    // Every step answers to this render's token, and none keeps it after.
    struct TAnswerTo {
        TDrawEffect& Effect;
        void Use(TCancelToken* token)
        {
            Effect.cancel_ = token;
            Effect.sketch_.SetCancel(token);
            Effect.color_.SetCancel(token);
        }
        ~TAnswerTo() { Use(nullptr); }
    } answerTo{*this};
    answerTo.Use(&cancel);

    const int threads = threads_ > 0 ? threads_ : TWorkerPool::HardwareThreads();
    if (threads > 1 && !pool_)
        pool_ = std::make_unique<TWorkerPool>(threads);
    TWorkerPool* pool = threads > 1 ? pool_.get() : nullptr;

    const TEffectSettings s = settings_;
    const bool drawSketch = s.DrawSketch != 0, drawColor = s.DrawColor != 0;
    const TRegion region = ClampRegion(source_, s.Left, s.Top, s.Width, s.Height);
    // A part is computed with the apron of each chain around it.
    const TRegion sketchRegion = partOfWhole_ && source_ ? WithApron(region, SketchApron(s), *source_) : region;
    const TRegion colorRegion = partOfWhole_ && source_ ? WithApron(region, ColorApron(s), *source_) : region;
    const bool averagePart = partOfWhole_ && drawColor && s.ScaleType == ScaleTypeAverage && s.ColorScale > 0;
    const TWholeScale* whole = averagePart && wholeScale_ && wholeScale_->Serves(source_, s) &&
                                       wholeScale_->RowsFinal() >= colorRegion.Top + colorRegion.Height
                                   ? wholeScale_.get()
                                   : nullptr;
    scaleBasis_ = whole ? whole->Serial() : averagePart ? OwnPictureBasis : 0;
    TProgressReporter report(progress_);
    report.SetTotalMaximum((drawSketch ? 3 : 0) + (drawColor ? 7 : 0));

    // A kept sketch layer implies its edges: forgetting the edges forgets it.
    const bool sketchRuns = drawSketch && !Reusable(TEffectStage::SketchTone, s, sketchRegion);
    const bool scaleRuns = drawColor && !Reusable(TEffectStage::ColorScale, s, colorRegion);
    if (drawColor) {
        color_.SetProgress(progress_);
        color_.SetPool(pool);
        if (averagePart && !whole) {
            // The walk stays inside the grown region: a picture of its own.
            if (scaleRuns) {
                partPicture_.SetSize(colorRegion.Width, colorRegion.Height);
                partPicture_.CopyRect(*source_, colorRegion.Left, colorRegion.Top, colorRegion.Width,
                                      colorRegion.Height, 0, 0);
            }
            color_.LoadPicture(&partPicture_, 0, 0, colorRegion.Width, colorRegion.Height);
        } else {
            color_.LoadPicture(source_, colorRegion.Left, colorRegion.Top, colorRegion.Width, colorRegion.Height);
        }
    }
    const bool scaleBeside =
        sketchRuns && scaleRuns && pool && s.ScaleType == ScaleTypeAverage && s.ColorScale > 0 && !whole;
    TDeferredPercents scalePercents;
    std::thread scaler;
    std::exception_ptr scalerFailure;
    // Once the sketch is done, the colour smoothing follows the scaling row
    // by row on a thread of its own; its percentages wait like the scaling's.
    TRowsReady scaledRows(threads, &cancel);
    TDeferredPercents smoothPercents;
    std::thread smoother;
    std::exception_ptr smootherFailure;
    // A helper thread's failure (above all std::bad_alloc) stops the other
    // steps through the cancel token and is thrown here once it has ended.
    struct TJoin {
        std::thread& Thread;
        std::exception_ptr& Failure;
        ~TJoin() noexcept(false)
        {
            if (Thread.joinable())
                Thread.join();
            if (Failure && std::uncaught_exceptions() == 0)
                std::rethrow_exception(Failure);
        }
    } joinScaler{scaler, scalerFailure}, joinSmoother{smoother, smootherFailure};
    if (scaleBeside) {
        Forget(TEffectStage::ColorScale);
        color_.SetPool(nullptr); // the pool serves the sketch meanwhile
        color_.SetProgress({&scalePercents, nullptr, nullptr});
        scaler = std::thread([&] {
            try {
                const bool scaled = color_.ScaleColors(s.ScaleType, s.ScanFromOrigin, s.ColorScale, s.ColorTable,
                                                       ColorTableSize, &scaledRows);
                scaledRows.Finish();
                scalePercents.Finish(scaled);
            } catch (...) {
                scalerFailure = std::current_exception();
                cancel.Request();
                scaledRows.Finish();
                scalePercents.Finish(false);
            }
        });
    }

    if (drawSketch) {
        sketch_.SetProgress(progress_);
        // The scaling thread keeps a core to itself: it is the longer of the
        // two, and sharing its core with the sketch only makes it end later.
        TWorkerPool* sketchPool = pool;
        if (scaleBeside) {
            if (threads > 2 && !besidePool_)
                besidePool_ = std::make_unique<TWorkerPool>(threads - 1);
            sketchPool = threads > 2 ? besidePool_.get() : nullptr;
        }
        sketch_.SetPool(sketchPool);
        const bool sketched =
            RunStage(TEffectStage::SketchEdges, s, sketchRegion,
                     [&] {
                         sketch_.LoadPicture(source_, sketchRegion.Left, sketchRegion.Top, sketchRegion.Width,
                                             sketchRegion.Height);
                         return !cancel.Requested() && sketch_.RenderEdges(s.SketchSmooth / 20.0, s.Sharper / 5.0);
                     }) &&
            RunStage(TEffectStage::SketchTone, s, sketchRegion, [&] {
                return sketch_.RenderTone(s.SketchType, s.Detail, s.Darkness, s.WhiteLevel, s.RemainThreshold,
                                          s.RemainDarkness, s.RemainDark != 0);
            });
        if (!sketched)
            return false;
    }
    if (scaleBeside) {
        smoother = std::thread([&] {
            try {
                smoothPercents.Finish(
                    color_.SmoothColorsFollowing(s.ColorSmooth, s.SmoothType, scaledRows,
                                                 TProgressReporter({&smoothPercents, nullptr, nullptr}), pool));
            } catch (...) {
                smootherFailure = std::current_exception();
                cancel.Request();
                smoothPercents.Finish(false);
            }
        });
    }
    if (drawColor) {
        if (scaleBeside) {
            report.BeginStep(StepNames::ColorScale);
            bool scaled = scalePercents.HandOn(report);
            scaler.join();
            if (scalerFailure)
                std::rethrow_exception(std::exchange(scalerFailure, nullptr));
            if (!scaled || cancel.Requested())
                return false;
            Keep(TEffectStage::ColorScale, s, colorRegion);
            report.EndStep();
            color_.SetProgress(progress_);
            color_.SetPool(pool);
        } else if (!RunStage(TEffectStage::ColorScale, s, colorRegion, [&] {
                       if (whole)
                           return color_.CopyScaled(whole->Pixels());
                       return color_.ScaleColors(s.ScaleType, s.ScanFromOrigin, s.ColorScale, s.ColorTable,
                                                 ColorTableSize);
                   })) {
            return false;
        }
        const bool colored =
            RunStage(TEffectStage::ColorSmooth, s, colorRegion,
                     [&] {
                         if (!smoother.joinable())
                             return color_.SmoothColors(s.ColorSmooth, s.SmoothType);
                         report.BeginStep(StepNames::ColorSmooth);
                         const bool smoothed = smoothPercents.HandOn(report);
                         smoother.join();
                         if (smootherFailure)
                             std::rethrow_exception(std::exchange(smootherFailure, nullptr));
                         if (smoothed)
                             report.EndStep();
                         return smoothed;
                     }) &&
            RunStage(TEffectStage::ColorBlur, s, colorRegion,
                     [&] { return color_.BlurBorders(s.BorderBlur / 20.0); }) &&
            RunStage(TEffectStage::ColorTone, s, colorRegion,
                     [&] { return color_.AdjustTone(s.Brightness, s.Contrast, s.Saturation, s.Red, s.Green, s.Blue); });
        if (!colored)
            return false;
    }
    if (cancel.Requested())
        return false;
    complete_ = true;
    hasSketch_ = drawSketch;
    hasColor_ = drawColor;
    exact_ = partOfWhole_ && !(averagePart && !whole);
    layerRegion_ = region;
    sketchRegion_ = sketchRegion;
    colorRegion_ = colorRegion;
    return true;
}

const std::int32_t* TDrawEffect::SketchRow(int y) const
{
    // The buffer covers the grown region of a part, or just the region.
    const int dx = layerRegion_.Left - sketchRegion_.Left, dy = layerRegion_.Top - sketchRegion_.Top;
    return sketch_.Values() + std::size_t(y + dy) * sketch_.Width() + dx;
}

const std::uint8_t* TDrawEffect::ColorRow(int y) const
{
    const int dx = layerRegion_.Left - colorRegion_.Left, dy = layerRegion_.Top - colorRegion_.Top;
    return color_.ColorResult() + (std::size_t(y + dy) * color_.Width() + dx) * 3;
}

void TDrawEffect::DrawBlended(TBitmap& target) const
{
    const TRegion region = complete_
                               ? layerRegion_
                               : ClampRegion(source_, settings_.Left, settings_.Top, settings_.Width, settings_.Height);
    target.SetSize(region.Width, region.Height);
    const int blendMode = settings_.BlendMode;
    if (!HasLayers() || (!hasSketch_ && !hasColor_) ||
        (hasSketch_ && hasColor_ && blendMode != EffectBlendMultiply && blendMode != EffectBlendOpacity)) {
        target.FillWhite();
        return;
    }
    const int width = region.Width;
    // The opacity is a percentage; held to 0..100 so that a stored value out
    // of range cannot push a channel outside a byte.
    const int storedOpacity = settings_.Opacity; // by value: the member is packed
    const int opacity = std::clamp(storedOpacity, 0, 100);
    for (int y = 0; y < region.Height; ++y) {
        std::uint8_t* out = target.ScanLine(y);
        const std::int32_t* s = hasSketch_ ? SketchRow(y) : nullptr;
        const std::uint8_t* c = hasColor_ ? ColorRow(y) : nullptr;
        if (s && c) {
            for (int x = 0; x < width; ++x) {
                int v = s[x];
                for (int k = 0; k < 3; ++k) {
                    int cv = c[x * 3 + k];
                    out[x * 3 + k] = std::uint8_t(
                        blendMode == EffectBlendMultiply ? cv * v / 255 : (cv * (100 - opacity) + v * opacity) / 100);
                }
            }
        } else if (c) {
            std::memcpy(out, c, std::size_t(width) * 3);
        } else {
            for (int x = 0; x < width; ++x)
                out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = std::uint8_t(s[x]);
        }
    }
}

bool TDrawEffect::GetLayers(TBitmap& sketch, TBitmap& color) const
{
    if (!HasLayers())
        return false;
    const TRegion& region = layerRegion_;
    sketch.SetSize(region.Width, region.Height);
    color.SetSize(region.Width, region.Height);
    // Both layers are a full picture each: the rows are shared out like any
    // other step's (a pool exists once a render has run with two threads).
    const std::size_t rowBytes = std::size_t(region.Width) * 3;
    if (!hasSketch_)
        sketch.FillWhite();
    if (!hasColor_)
        color.FillWhite();
    if (hasSketch_ || hasColor_)
        ForEachRowToTheEnd(pool_.get(), region.Height, [&](int y) {
            if (hasSketch_) {
                std::uint8_t* out = sketch.ScanLine(y);
                const std::int32_t* v = SketchRow(y);
                for (int x = 0; x < region.Width; ++x)
                    out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = std::uint8_t(v[x]);
            }
            if (hasColor_)
                std::memcpy(color.ScanLine(y), ColorRow(y), rowBytes);
        });
    return true;
}
