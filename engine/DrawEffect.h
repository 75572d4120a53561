#pragma once

#include "engine/CancelToken.h"
#include "engine/ColorStep.h"
#include "engine/EffectSettings.h"
#include "engine/EffectStages.h"
#include "engine/Progress.h"
#include "engine/Region.h"
#include "engine/Sketch.h"
#include "picture/Bitmap.h"

#include <cstdint>
#include <memory>

class TWholeScale;
class TWorkerPool;

// The single entry point of the effect engine: computes the sketch layer and
// the colouring layer that a settings record asks for, for the record's
// region of a picture, and hands them out blended or as two layers.
class TDrawEffect {
public:
    TDrawEffect();
    ~TDrawEffect();
    TDrawEffect(const TDrawEffect&) = delete;
    TDrawEffect& operator=(const TDrawEffect&) = delete;

    // Keeps a copy of the record, every number held to the range of its
    // control (LimitedSettings), and the picture the effect is computed
    // from; the picture must stay alive and unchanged while Render runs.
    void SetSettings(const TEffectSettings& settings, const TBitmap* source);
    const TEffectSettings& Settings() const { return settings_; }

    void SetProgress(const TProgressSink& progress) { progress_ = progress; }

    // Keeping the results of the steps between two renders (off by default):
    // a render then runs only the steps whose settings, region or picture
    // changed since the step last completed, and gives the same layers, bit
    // for bit, as a render from scratch. It suits a preview that recomputes
    // one region on every slider move; it costs two more region-sized
    // buffers, so a renderer of the whole picture leaves it off. Switching
    // it off frees them and forgets what was kept.
    void SetCaching(bool on);
    bool Caching() const { return cache_ != nullptr; }
    // Tells a caching effect that a picture it rendered from changed its
    // pixels or size (edited or resampled in place, or another picture made
    // at the same address): nothing kept so far is reused. Kept results are
    // matched to the picture's address and size, so this call is the only
    // way to say that the same address now holds other pixels.
    void SourceChanged() { ++sourceGeneration_; }

    // Computing the region as a part of the whole picture (off by default):
    // each chain works on the region grown by the reach of its steps (see
    // Apron.h), fixed colour scaling carries its bands in from the rows
    // above, and the layers handed out are the region's part, so that they
    // equal the region's part of a render of the whole picture, bit for bit.
    // Average colour scaling reaches further than any apron: it takes the
    // whole picture's scaled colours from SetWholeScale when they serve this
    // picture and settings and their rows are final there, and otherwise
    // scales the grown region as a picture of its own, which only comes
    // close (LayersExact says which). Switching forgets what was kept.
    void SetPartOfWhole(bool on);
    bool PartOfWhole() const { return partOfWhole_; }
    // The whole picture's scaled colours for average scaling of a part; the
    // object is read, never changed, and may still be computing.
    void SetWholeScale(std::shared_ptr<const TWholeScale> scale) { wholeScale_ = std::move(scale); }
    // True after a complete render of a part that equals its place in the
    // whole picture.
    bool LayersExact() const { return complete_ && exact_; }
    // The grown region the colouring chain computed (the region itself
    // unless computing a part): its bottom row is the last row of the whole
    // picture's scaled colours that the part reads.
    const TRegion& ColorRegion() const { return colorRegion_; }

    // Threads that share the work of one computation: 1 keeps it on the
    // calling thread, 0 (the default) takes one per core. The result is the
    // same for every count.
    void SetThreadCount(int threads);
    int ThreadCount() const { return threads_; }

    // Computes the layers, stopping at the next row once `cancel` is set by
    // whoever holds it (or by this render, when one of its threads fails).
    // The token is not cleared here: a cancel that came before the start
    // counts. Returns true when it ran to its end; after a cancel there are no
    // layers until the next complete render.
    bool Render(TCancelToken& cancel);
    // A render that nothing cancels.
    bool Render();

    // True when the last render ran to its end. A caller that lets a cancel
    // after the end count too (a progress dialog still open) asks its token.
    bool HasLayers() const { return complete_; }
    // The region the layers cover (the settings' region cut to the picture).
    const TRegion& LayerRegion() const { return layerRegion_; }

    // Resizes the target to the region and writes the blended layers:
    // multiply for BlendMode 1, the opacity mix for 2. Without layers, with
    // neither layer switched on or with another BlendMode the target is white.
    void DrawBlended(TBitmap& target) const;
    // Writes the sketch layer and the colouring layer (white for a layer that
    // is switched off). Without layers (cancelled, or never rendered) both
    // pictures stay as they were, size included, and it returns false.
    bool GetLayers(TBitmap& sketch, TBitmap& color) const;

    const TSketch& SketchGenerator() const { return sketch_; }
    const TColorStep& ColorGenerator() const { return color_; }

private:
    struct TCache;
    // Whether the kept result of a stage can stand for this render's. The
    // region is the one the stage's chain computes.
    bool Reusable(TEffectStage stage, const TEffectSettings& s, const TRegion& region) const;
    // Forgets the stage and every stage that depends on it, before it is
    // computed again: a cancel half-way leaves nothing to reuse.
    void Forget(TEffectStage stage);
    void Keep(TEffectStage stage, const TEffectSettings& s, const TRegion& region);
    // Row y of the layers in the chains' buffers.
    const std::int32_t* SketchRow(int y) const;
    const std::uint8_t* ColorRow(int y) const;
    // Runs a stage unless its kept result can stand; false on a cancel.
    template <class Compute>
    bool RunStage(TEffectStage stage, const TEffectSettings& s, const TRegion& region, Compute compute);

    TEffectSettings settings_{};
    const TBitmap* source_ = nullptr;
    TProgressSink progress_;
    // The token of the render under way; null between renders.
    TCancelToken* cancel_ = nullptr;
    TSketch sketch_;
    TColorStep color_;
    int threads_ = 0;
    std::unique_ptr<TWorkerPool> pool_;
    // One thread fewer, for the sketch while average scaling has a core.
    std::unique_ptr<TWorkerPool> besidePool_;
    std::unique_ptr<TCache> cache_;
    std::uint64_t sourceGeneration_ = 0;

    bool partOfWhole_ = false;
    std::shared_ptr<const TWholeScale> wholeScale_;
    // What the colour scaling of this render reads besides the settings: 0
    // the picture, else the serial of a whole-picture scaling, or
    // OwnPictureBasis for a part scaled as a picture of its own.
    std::uint64_t scaleBasis_ = 0;
    // The grown region of a part, copied: what its approximate average
    // scaling walks.
    TBitmap partPicture_;

    // What the last complete render produced; the blend reads only these.
    bool complete_ = false;
    bool hasSketch_ = false;
    bool hasColor_ = false;
    bool exact_ = false;
    TRegion layerRegion_;
    // The regions the two chains' buffers cover.
    TRegion sketchRegion_;
    TRegion colorRegion_;
};
