#pragma once

#include "engine/CancelToken.h"
#include "engine/Progress.h"
#include "engine/Region.h"
#include "engine/WorkBuffer.h"

#include <cstdint>

class TBitmap;
class TWorkerPool;

// Turns a region of a photo into the grey sketch layer: lines (0) on white
// paper (255), one signed 32-bit value per pixel, row-major.
class TSketch {
public:
    void SetProgress(const TProgressSink& progress) { progress_ = TProgressReporter(progress); }
    void SetPool(TWorkerPool* pool) { pool_ = pool; }
    // The token of the render that the following steps belong to (none:
    // nothing cancels them); it must outlive them.
    void SetCancel(TCancelToken* cancel) { cancel_ = cancel; }

    // With the edge credits kept, the tone mapping writes the sketch values
    // into a buffer of their own, so that RenderTone can map the same credits
    // again with other settings; it costs one more region-sized buffer, and
    // releases it when switched off.
    void SetKeepEdges(bool keep);
    bool KeepsEdges() const { return keepEdges_; }

    // Copies the region, inverted, and sets every edge credit to 0. The
    // region is cut to the picture (see ClampRegion); a cancel leaves an
    // empty (0 x 0) sketch.
    void LoadPicture(const TBitmap* picture, int left, int top, int width, int height);

    // Smoothing (a blur of `smoothRadius` when it is above 0), the edge pass
    // with the sharpen factor, and the tone mapping. Returns false when the
    // cancel token stopped it; the values are then partly computed.
    bool Render(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold, int remainDarkness,
                bool remainDark, double smoothRadius, double sharpen);
    // The two halves of Render: the smoothing and the edge pass, then the
    // tone mapping with the end of the step.
    bool RenderEdges(double smoothRadius, double sharpen);
    bool RenderTone(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold, int remainDarkness,
                    bool remainDark);

    // The edge pass alone: adds every edge credit to the sketch values.
    bool DrawEdges(double sharpen);
    // Adds an amount to the edge credit of pixel (x, y).
    void AddEdge(int x, int y, int amount) { Credits()[std::size_t(y) * width_ + x] += amount; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::int32_t* Values() const { return values_.Data(); }
    const std::uint8_t* Inverted() const { return inverted_.Data(); }

private:
    // Where the edge pass adds its credits: the values themselves, unless
    // they are kept.
    std::int32_t* Credits() { return keepEdges_ ? edges_.Data() : values_.Data(); }
    bool ToneMap(int sketchType, int detail, int darkness, int whiteLevel, int remainThreshold, int remainDarkness,
                 bool remainDark);

    int width_ = 0;
    int height_ = 0;
    TWorkBuffer<std::uint8_t> inverted_;
    TWorkBuffer<std::int32_t> values_;
    TWorkBuffer<std::int32_t> edges_;
    bool keepEdges_ = false;
    TProgressReporter progress_;
    TWorkerPool* pool_ = nullptr;
    TCancelToken* cancel_ = nullptr;
};
