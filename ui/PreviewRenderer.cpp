#include "ui/PreviewRenderer.h"

#include "document/Composite.h"
#include "document/Document.h"
#include "engine/DrawEffect.h"
#include "engine/WholeScale.h"
#include "engine/WorkerPool.h"

#include <exception>
#include <utility>

namespace {

// What the document shows, and saves, once it takes these layers: both
// visible, blended as the settings say (a layer switched off is white, which
// the opacity mix does not pass through unchanged).
void Compose(const TDrawEffect& effect, const TEffectSettings& settings, TBitmap& out)
{
    // Multiplying by a white layer changes nothing: the effect's own blend
    // gives the same pixels in one pass.
    if (settings.BlendMode == EffectBlendMultiply) {
        effect.DrawBlended(out);
        return;
    }
    TBitmap sketch, color;
    if (!effect.GetLayers(sketch, color))
        return;
    out.SetSize(sketch.Width(), sketch.Height());
    ComposeRect(sketch, color, sketch, LayerStateForEffect(TLayerState{}, settings), out,
                WholeRect(out.Width(), out.Height()));
}

} // namespace

TPreviewRenderer::TPreviewRenderer(std::shared_ptr<const TBitmap> picture,
                                   std::shared_ptr<const TResampleSource> capture, TDeliver deliver, int threads)
    : picture_(std::move(picture))
    , capture_(std::move(capture))
    , deliver_(std::move(deliver))
    , threads_(threads)
{
    frameThread_ = std::thread([this] { FrameLoop(); });
    scaleThread_ = std::thread([this] { ScaleLoop(); });
}

TPreviewRenderer::~TPreviewRenderer()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        frameCancel_.Request();
        if (scaleCancel_)
            scaleCancel_->Request();
    }
    wake_.notify_all();
    frameThread_.join();
    scaleThread_.join();
}

void TPreviewRenderer::Request(const TPreviewRequest& request)
{
    {
        std::lock_guard lock(mutex_);
        pending_ = request;
    }
    wake_.notify_all();
}

bool TPreviewRenderer::RefinementReady() const
{
    return refine_ && scale_ && scale_->Serves(picture_.get(), refine_->Settings) && scale_->RowsFinal() >= rowsNeeded_;
}

void TPreviewRenderer::WantScale(const TEffectSettings& settings, int rowsNeeded)
{
    rowsNeeded_ = rowsNeeded;
    if (scale_ && scale_->Serves(picture_.get(), settings))
        return; // kept, or under way
    scaleWanted_ = settings;
    // A scaling for other settings would only serve settings no longer shown.
    if (scaleCancel_)
        scaleCancel_->Request();
    scale_.reset();
    wake_.notify_all();
}

std::shared_ptr<TPreviewFrame> TPreviewRenderer::Compute(const TPreviewRequest& request, TDrawEffect& actual,
                                                         TDrawEffect& fit, std::shared_ptr<const TBitmap>& reduced,
                                                         const std::shared_ptr<const TWholeScale>& scale,
                                                         int& rowsNeeded)
{
    auto frame = std::make_shared<TPreviewFrame>();
    frame->Number = request.Number;
    frame->Fit = request.Fit;
    TEffectSettings s = request.Settings;
    if (!request.Fit) {
        actual.SetWholeScale(scale);
        actual.SetSettings(s, picture_.get());
        if (!actual.Render(frameCancel_))
            return nullptr;
        Compose(actual, s, frame->Pixels);
        frame->Region = actual.LayerRegion();
        frame->Exact = actual.LayersExact();
        rowsNeeded = actual.ColorRegion().Top + actual.ColorRegion().Height;
        return frame;
    }
    const int w = request.FitWidth, h = request.FitHeight;
    if (!reduced || reduced->Width() != w || reduced->Height() != h) {
        if (w == picture_->Width() && h == picture_->Height()) {
            reduced = picture_;
        } else {
            auto copy = std::make_shared<TBitmap>();
            if (!capture_ || !ResampleTo(*capture_, w, h, *copy))
                return frame; // nothing to show: no pixels
            reduced = std::move(copy);
        }
        fit.SourceChanged();
    }
    frame->Reduced = reduced;
    frame->Region = {0, 0, reduced->Width(), reduced->Height()};
    // The whole reduced picture is computed, so it is exact only when it is
    // the picture itself.
    frame->Exact = reduced == picture_;
    if (!s.DrawSketch && !s.DrawColor) {
        frame->Pixels = *reduced;
        return frame;
    }
    s.Left = s.Top = 0;
    s.Width = reduced->Width();
    s.Height = reduced->Height();
    fit.SetSettings(s, reduced.get());
    if (!fit.Render(frameCancel_))
        return nullptr;
    Compose(fit, s, frame->Pixels);
    return frame;
}

void TPreviewRenderer::FrameLoop()
{
    TDrawEffect actual;
    actual.SetCaching(true);
    actual.SetPartOfWhole(true);
    actual.SetThreadCount(threads_);
    TDrawEffect fit;
    fit.SetCaching(true);
    fit.SetThreadCount(threads_);
    std::shared_ptr<const TBitmap> reduced;
    for (;;) {
        TPreviewRequest request;
        std::shared_ptr<const TWholeScale> scale;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_ || RefinementReady(); });
            if (stop_)
                return;
            if (pending_) {
                request = std::move(*pending_);
                pending_.reset();
            } else {
                request = std::move(*refine_);
            }
            // A frame for newer settings makes the last one's refinement moot.
            refine_.reset();
            scale = scale_;
        }
        int rowsNeeded = 0;
        std::shared_ptr<TPreviewFrame> frame;
        try {
            frame = Compute(request, actual, fit, reduced, scale, rowsNeeded);
        } catch (const std::exception&) {
            // Out of memory for this frame: the preview keeps the last one,
            // and the next request tries again.
            continue;
        }
        if (!frame)
            return; // cancelled: only the destructor cancels
        if (!frame->Exact && !frame->Fit) {
            std::lock_guard lock(mutex_);
            if (!pending_) {
                refine_ = request;
                WantScale(request.Settings, rowsNeeded);
            }
        }
        deliver_(std::move(frame));
    }
}

void TPreviewRenderer::ScaleLoop()
{
    // Builds the map of colour bands on every core; the walk itself is one
    // long loop on this thread.
    TWorkerPool pool(threads_);
    for (;;) {
        std::shared_ptr<TWholeScale> scale;
        std::shared_ptr<TCancelToken> cancel;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || scaleWanted_; });
            if (stop_)
                return;
            scale = std::make_shared<TWholeScale>(picture_, *scaleWanted_);
            scaleWanted_.reset();
            cancel = std::make_shared<TCancelToken>();
            // Readers may take its final rows while it runs.
            scale_ = scale;
            scaleCancel_ = cancel;
        }
        bool done = false;
        try {
            done = scale->Compute(*cancel, &pool, [this](int rows) {
                // Wakes the frame thread once the rows it waits for are
                // final; under the lock, so that the wake is not lost.
                std::lock_guard lock(mutex_);
                if (refine_ && rows >= rowsNeeded_)
                    wake_.notify_all();
            });
        } catch (const std::exception&) {
            // Out of memory for the whole picture: frames stay approximate.
        }
        std::lock_guard lock(mutex_);
        if (scaleCancel_ == cancel)
            scaleCancel_.reset();
        if (!done && scale_ == scale)
            scale_.reset();
        wake_.notify_all();
    }
}
