#pragma once

#include "engine/CancelToken.h"
#include "engine/EffectSettings.h"
#include "engine/Region.h"
#include "picture/Bitmap.h"
#include "settings/Resample.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class TDrawEffect;
class TWholeScale;

// What the preview asks for: the effect of the settings' region at actual
// size, or (Fit) of the whole picture reduced to FitWidth x FitHeight.
struct TPreviewRequest {
    std::uint64_t Number = 0;
    TEffectSettings Settings{};
    bool Fit = false;
    int FitWidth = 0;
    int FitHeight = 0;
};

// One computed frame. At actual size, Exact says that the pixels equal the
// region's part of the effect of the whole picture; until then they are the
// region computed from its own neighbourhood alone.
struct TPreviewFrame {
    std::uint64_t Number = 0;
    bool Fit = false;
    bool Exact = false;
    // At actual size: where the pixels lie in the picture. Fit: the reduced
    // size, at 0, 0.
    TRegion Region;
    TBitmap Pixels;
    // Fit: the reduced copy of the picture the effect was computed on.
    std::shared_ptr<const TBitmap> Reduced;
};

// Computes the preview's frames away from the window's thread, so that the
// window never waits for them.
//
// Each request is first computed as fast as it can be: the region with the
// aprons of its steps (TDrawEffect's part of the whole). Where average colour
// scaling makes that an approximation, the whole picture is scaled once on a
// second thread (TWholeScale) and kept while the picture and the scaling
// settings stay the same; as soon as the rows the region needs are final,
// the newest request is computed again and delivered exact. A newer request
// replaces one not yet started and a scaling for other settings is
// cancelled, so the newest settings always win; a frame under way is
// finished, so that a moving slider still shows frames. Frames are
// delivered in increasing numbers, on the frame thread.
//
// The picture and the capture are shared and never changed; a window that
// changes its picture makes a new renderer. Destroying it cancels what runs
// and waits only for the threads to see it (a row of work).
class TPreviewRenderer {
public:
    using TDeliver = std::function<void(std::shared_ptr<TPreviewFrame>)>;

    // `capture` is what fit views are reduced from (the picture itself is
    // used when the fit size is its size). `threads` as for TDrawEffect.
    TPreviewRenderer(std::shared_ptr<const TBitmap> picture, std::shared_ptr<const TResampleSource> capture,
                     TDeliver deliver, int threads = 0);
    ~TPreviewRenderer();
    TPreviewRenderer(const TPreviewRenderer&) = delete;
    TPreviewRenderer& operator=(const TPreviewRenderer&) = delete;

    // Never waits for a computation.
    void Request(const TPreviewRequest& request);

    const std::shared_ptr<const TBitmap>& Picture() const { return picture_; }

private:
    void FrameLoop();
    void ScaleLoop();
    // Under the lock: whether the whole picture's scaling can now make the
    // last inexact frame exact.
    bool RefinementReady() const;
    // Under the lock: asks for the whole picture's scaling for these settings.
    void WantScale(const TEffectSettings& settings, int rowsNeeded);
    std::shared_ptr<TPreviewFrame> Compute(const TPreviewRequest& request, TDrawEffect& actual, TDrawEffect& fit,
                                           std::shared_ptr<const TBitmap>& reduced,
                                           const std::shared_ptr<const TWholeScale>& scale, int& rowsNeeded);

    const std::shared_ptr<const TBitmap> picture_;
    const std::shared_ptr<const TResampleSource> capture_;
    const TDeliver deliver_;
    const int threads_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::optional<TPreviewRequest> pending_;
    // The last frame delivered inexact, and the rows of the whole picture's
    // scaling that would make it exact.
    std::optional<TPreviewRequest> refine_;
    int rowsNeeded_ = 0;
    // The whole picture's scaling: the one kept or being computed, and the
    // settings one is wanted for.
    std::shared_ptr<const TWholeScale> scale_;
    std::shared_ptr<TCancelToken> scaleCancel_;
    std::optional<TEffectSettings> scaleWanted_;
    TCancelToken frameCancel_;

    std::thread frameThread_;
    std::thread scaleThread_;
};
