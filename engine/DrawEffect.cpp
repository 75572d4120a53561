#include "DrawEffect.h"

#include "Abort.h"
#include "WorkerPool.h"

#include <algorithm>
#include <cstring>

TDrawEffect::TDrawEffect() = default;
TDrawEffect::~TDrawEffect() = default;

void TDrawEffect::SetSettings(const TEffectSettings& settings, const TBitmap* source)
{
    settings_ = settings;
    source_ = source;
}

void TDrawEffect::SetThreadCount(int threads)
{
    threads_ = std::max(threads, 0);
    pool_.reset();
}

bool TDrawEffect::Render(TAbortStart start)
{
    if (start == TAbortStart::Clear)
        ClearAbort();
    complete_ = false;

    const int threads = threads_ > 0 ? threads_ : TWorkerPool::HardwareThreads();
    if (threads > 1 && !pool_)
        pool_ = std::make_unique<TWorkerPool>(threads);
    TWorkerPool* pool = threads > 1 ? pool_.get() : nullptr;

    const TEffectSettings s = settings_;
    const bool drawSketch = s.DrawSketch != 0, drawColor = s.DrawColor != 0;
    const TRegion region = ClampRegion(source_, s.Left, s.Top, s.Width, s.Height);
    TProgressReporter report(progress_);
    report.SetTotalMaximum((drawSketch ? 3 : 0) + (drawColor ? 7 : 0));

    if (drawSketch) {
        sketch_.SetProgress(progress_);
        sketch_.SetPool(pool);
        sketch_.LoadPicture(source_, region.Left, region.Top, region.Width, region.Height);
        if (AbortRequested())
            return false;
        if (!sketch_.Render(s.SketchType, s.Detail, s.Darkness, s.WhiteLevel, s.RemainThreshold, s.RemainDarkness,
                            s.RemainDark != 0, s.SketchSmooth / 20.0, s.Sharper / 5.0))
            return false;
    }
    if (drawColor) {
        color_.SetProgress(progress_);
        color_.SetPool(pool);
        color_.LoadPicture(source_, region.Left, region.Top, region.Width, region.Height);
        if (!color_.ScaleColors(s.ScaleType, s.ScanFromOrigin, s.ColorScale, s.ColorTable, ColorTableSize) ||
            !color_.SmoothColors(s.ColorSmooth, s.SmoothType) || !color_.BlurBorders(s.BorderBlur / 20.0) ||
            !color_.AdjustTone(s.Brightness, s.Contrast, s.Saturation, s.Red, s.Green, s.Blue))
            return false;
    }
    if (AbortRequested())
        return false;
    complete_ = true;
    hasSketch_ = drawSketch;
    hasColor_ = drawColor;
    layerRegion_ = region;
    return true;
}

bool TDrawEffect::HasLayers() const { return complete_ && !AbortRequested(); }

void TDrawEffect::DrawBlended(TBitmap& target) const
{
    const TRegion region =
        complete_ ? layerRegion_ : ClampRegion(source_, settings_.Left, settings_.Top, settings_.Width, settings_.Height);
    target.SetSize(region.Width, region.Height);
    const int blendMode = settings_.BlendMode;
    if (!HasLayers() || (!hasSketch_ && !hasColor_) || (hasSketch_ && hasColor_ && blendMode != 1 && blendMode != 2)) {
        target.FillWhite();
        return;
    }
    const int width = region.Width;
    // The opacity is a percentage; held to 0..100 so that a stored value out
    // of range cannot push a channel outside a byte.
    const int storedOpacity = settings_.Opacity; // by value: the member is packed
    const int opacity = std::clamp(storedOpacity, 0, 100);
    const std::int32_t* sketch = sketch_.Values();
    const std::uint8_t* color = color_.ColorResult();
    for (int y = 0; y < region.Height; ++y) {
        std::uint8_t* out = target.ScanLine(y);
        const std::int32_t* s = hasSketch_ ? sketch + std::size_t(y) * width : nullptr;
        const std::uint8_t* c = hasColor_ ? color + std::size_t(y) * width * 3 : nullptr;
        if (s && c) {
            for (int x = 0; x < width; ++x) {
                int v = s[x];
                for (int k = 0; k < 3; ++k) {
                    int cv = c[x * 3 + k];
                    out[x * 3 + k] = std::uint8_t(blendMode == 1 ? cv * v / 255
                                                                 : (cv * (100 - opacity) + v * opacity) / 100);
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
    if (hasSketch_) {
        const std::int32_t* values = sketch_.Values();
        for (int y = 0; y < region.Height; ++y) {
            std::uint8_t* out = sketch.ScanLine(y);
            const std::int32_t* v = values + std::size_t(y) * region.Width;
            for (int x = 0; x < region.Width; ++x)
                out[x * 3] = out[x * 3 + 1] = out[x * 3 + 2] = std::uint8_t(v[x]);
        }
    } else {
        sketch.FillWhite();
    }
    if (hasColor_) {
        const std::size_t rowBytes = std::size_t(region.Width) * 3;
        for (int y = 0; y < region.Height; ++y)
            std::memcpy(color.ScanLine(y), color_.ColorResult() + std::size_t(y) * rowBytes, rowBytes);
    } else {
        color.FillWhite();
    }
    return true;
}
