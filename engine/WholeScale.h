#pragma once

#include "engine/CancelToken.h"
#include "engine/ColorStep.h"
#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class TWorkerPool;

// The scaled colours of a whole picture, as a render of the whole picture
// scales them. Average scaling grows every colour region from its seed across
// the picture, so no apron around a part is wide enough: a part that is to
// equal its place in the whole takes its scaled colours from here (see
// TDrawEffect::SetWholeScale). Computed once for a picture and the settings
// the scaling reads, and kept while they stay the same.
//
// Compute runs on one thread while others read the rows it has finished:
// RowsFinal() says how many rows from the top no longer change (average
// scaling finishes rows as its walk passes them where it can tell, otherwise
// all at the end).
class TWholeScale {
public:
    TWholeScale(std::shared_ptr<const TBitmap> picture, const TEffectSettings& settings);
    TWholeScale(const TWholeScale&) = delete;
    TWholeScale& operator=(const TWholeScale&) = delete;

    // Scales the picture; false when `cancel` stopped it. `rowsFinal` is
    // told, on this thread, each new count of final rows.
    bool Compute(TCancelToken& cancel, TWorkerPool* pool, const std::function<void(int rows)>& rowsFinal = {});

    // Whether these are the scaled colours of `picture` for these settings
    // (their ScaleType, ColorScale and colours table, held to their ranges).
    bool Serves(const TBitmap* picture, const TEffectSettings& settings) const;
    int RowsFinal() const { return rowsFinal_.load(std::memory_order_acquire); }
    // Different for every object made in this run, so that a kept result
    // can tell which one it came from.
    std::uint64_t Serial() const { return serial_; }

    int Width() const { return picture_->Width(); }
    int Height() const { return picture_->Height(); }
    // Packed rows of the picture's width; rows below RowsFinal() may still change.
    const std::uint8_t* Pixels() const { return step_.Scaled(); }

private:
    std::shared_ptr<const TBitmap> picture_;
    std::int32_t scaleType_ = 0;
    std::int32_t colorScale_ = 0;
    std::array<std::uint8_t, ColorTableSize> table_{};
    TColorStep step_;
    std::atomic<int> rowsFinal_{0};
    std::uint64_t serial_ = 0;
};
