#pragma once

#include "engine/ColorSmooth.h"
#include "engine/Progress.h"
#include "engine/Region.h"
#include "engine/WorkBuffer.h"

#include <cstdint>
#include <vector>

class TBitmap;
class TRowsReady;
class TWorkerPool;

// The bands of one row of the colours table. Pair i (0..n) is the pair of
// row bytes 1+i and 2+i; the last pairs reach into the bytes after the row's
// boundaries, and a byte beyond the end of the table counts as 0.
struct TBandRow {
    int Pairs = 0;
    std::uint8_t Low[257] = {};
    std::uint8_t High[257] = {};
    std::int16_t Match[256] = {}; // the last pair with Low <= c < High, or -1
    int Initial = 0; // the band a channel has before any match
};
// Row `scale` (1..) of a colours table of `tableSize` bytes.
void BuildBandRow(const std::uint8_t* table, int tableSize, int scale, TBandRow& row);

// Turns a region of a photo into the flat colouring layer: colour scaling,
// colour smoothing, border blur and the tone tables, in that order, each step
// reading the buffer the one before wrote.
//
// The picture given to LoadPicture is read in place (not copied) by the
// scaling step, so it must stay alive and unchanged until ScaleColors has run.
// Smoothing, border blur and the tone tables work in one result buffer in
// turn, which keeps a full-size computation at two region-sized buffers
// (four when the smoothed and blurred colours are kept, see SetKeepSmoothed).
class TColorStep {
public:
    void SetProgress(const TProgressSink& progress) { progress_ = TProgressReporter(progress); }
    void SetPool(TWorkerPool* pool) { pool_ = pool; }
    // The token of the render that the following steps belong to (none:
    // nothing cancels them); it must outlive them.
    void SetCancel(TCancelToken* cancel) { cancel_ = cancel; }

    // With the smoothed colours kept, smoothing writes a buffer of its own,
    // the border blur reads it into another and the tone tables read that
    // into the result, so that BlurBorders and AdjustTone can run again with
    // other settings; it costs two more region-sized buffers, and releases
    // them when switched off.
    void SetKeepSmoothed(bool keep);
    bool KeepsSmoothed() const { return keepSmoothed_; }

    // Which band fixed scaling carries into the first pixel of a region row
    // for a channel in no band (off by default): off, the band the region's
    // own scan brings there, as if the region were the picture; on, the band
    // the scan of the whole picture brings there, so that a region scales
    // exactly as its part of the whole picture does.
    void SetCarryFromPicture(bool on) { carryFromPicture_ = on; }

    // Stores the picture and the region (cut to the picture, see
    // ClampRegion) and sizes the buffers.
    void LoadPicture(const TBitmap* picture, int left, int top, int width, int height);
    // The same for the whole picture, sizing only the scaled colours: for
    // scaling alone.
    void LoadPictureToScale(const TBitmap* picture);

    // Each step returns false when the cancel token stopped it.
    //
    // Scaling may tell `ready` how many rows of its output are final as it
    // goes (average scaling does, see ColorStep_Scale.cpp), for
    // SmoothColorsFollowing on another thread; it does not call Finish().
    bool ScaleColors(int scaleType, int scanFromOrigin, int colorScale, const std::uint8_t* colorTable,
                     int colorTableSize, TRowsReady* ready = nullptr);
    // In place of ScaleColors: the region's part of the scaled colours of
    // the whole picture (packed rows of the picture's width), computed
    // before.
    bool CopyScaled(const std::uint8_t* wholeScaled);
    bool SmoothColors(int colorSmooth, int smoothType);
    // SmoothColors while ScaleColors still runs on another thread; with its
    // own progress and pool, since the scaling uses the step's.
    bool SmoothColorsFollowing(int colorSmooth, int smoothType, TRowsReady& ready, const TProgressReporter& progress,
                               TWorkerPool* pool);
    bool BlurBorders(double radius);
    bool AdjustTone(int brightness, int contrast, int saturation, int red, int green, int blue);

    // Table passes over region-sized buffers (source and destination may be
    // the same buffer), with their step name and progress.
    bool OffsetChannels(const std::uint8_t* source, std::uint8_t* destination, int red, int green, int blue);
    bool ApplyContrast(const std::uint8_t* source, std::uint8_t* destination, int contrast);
    bool ApplySaturation(const std::uint8_t* source, std::uint8_t* destination, int saturation);

    const TRegion& Region() const { return region_; }
    int Width() const { return region_.Width; }
    int Height() const { return region_.Height; }
    const std::uint8_t* Scaled() const { return scaled_.Data(); }
    // The result of the last step after scaling: smoothed, then blurred, then
    // the colouring layer (when the smoothed colours are kept, the colouring
    // layer once AdjustTone has run).
    const std::uint8_t* ColorResult() const { return result_.Data(); }
    std::uint8_t* ColorResult() { return result_.Data(); }

private:
    // Where smoothing writes, and where the border blur writes.
    std::uint8_t* Smoothed() { return keepSmoothed_ ? smoothed_.Data() : result_.Data(); }
    std::uint8_t* Blurred() { return keepSmoothed_ ? blurred_.Data() : result_.Data(); }
    void CopyRegion(std::uint8_t* destination) const;
    bool ScaleFixed(const TBandRow& bands);
    bool ScaleAverage(const TBandRow& bands, bool scanFromOrigin, TRowsReady* ready);
    template <class Table, class Map>
    bool TablePass(const char* name, const std::uint8_t* source, std::uint8_t* destination, bool identity,
                   const Table& table, Map map);

    static constexpr std::size_t LargeFillState = std::size_t(1) << 22; // pixels

    const TBitmap* picture_ = nullptr;
    TRegion region_;
    TWorkBuffer<std::uint8_t> scaled_;
    TWorkBuffer<std::uint8_t> result_;
    TWorkBuffer<std::uint8_t> smoothed_;
    TWorkBuffer<std::uint8_t> blurred_;
    bool keepSmoothed_ = false;
    bool carryFromPicture_ = false;
    // Flood-fill state of average scaling, kept between computations so that
    // a preview does not allocate it on every slider move.
    TWorkBuffer<std::uint8_t> visited_;
    TWorkBuffer<std::uint32_t> keys_;
    TWorkBuffer<std::uint8_t> smallKeys_;
    std::vector<std::uint32_t> regionColours_;
    TWorkBuffer<std::uint32_t> regionPoints_;
    TColorSmoother smoother_;
    TProgressReporter progress_;
    TWorkerPool* pool_ = nullptr;
    TCancelToken* cancel_ = nullptr;
};
