#pragma once

#include "batch/BatchPlan.h"
#include "batch/BatchSettings.h"
#include "engine/CancelToken.h"
#include "engine/EffectSettings.h"
#include "engine/Progress.h"

#include "batch/BatchMemory.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TDrawEffect;

// How one photo of a batch ended.
enum class TPhotoEnd { NotStarted, Done, Skipped, Failed, Cancelled };

struct TPhotoResult {
    TPhotoEnd End = TPhotoEnd::NotStarted;
    // Failed: what went wrong, as a person reads it.
    std::string Reason;
    // Done: what the reader warned of (a damaged JPEG that still decoded).
    std::string Warning;
};

// Where the work on a photo stands, written by its worker and read by
// another thread for the progress display, without locks.
class TPhotoProgress {
public:
    enum class TPhase { Reading, Rendering, Writing };

    void Start();
    void SetPhase(TPhase phase) { phase_.store(int(phase), std::memory_order_relaxed); }
    TProgressSink Sink() { return render_.Sink(); }
    // The share of the photo's work done, 0..1, reckoned from its phase and
    // the render's own progress.
    double Fraction() const;

private:
    std::atomic<int> phase_{int(TPhase::Reading)};
    TProgressState render_;
};

// What one worker keeps from photo to photo: the token and the progress of
// the photo under way, and the effect, whose buffers serve the next photo too
// (fresh memory for every photo costs the system a tenth of the work), with
// the share of the budget that they and the photo hold.
class TPhotoWorker {
public:
    explicit TPhotoWorker(TBatchMemory& memory);
    ~TPhotoWorker();
    TPhotoWorker(const TPhotoWorker&) = delete;
    TPhotoWorker& operator=(const TPhotoWorker&) = delete;

    // Set for the photo under way; a failing render sets it too, which stops
    // only that photo.
    TCancelToken Cancel;
    TPhotoProgress Progress;

    // Makes the share hold `bytes` for the photo about to be read. When that
    // would mean waiting for room, or the share is larger than the photo
    // needs while another photo waits, the kept effect and its share go
    // first: a worker never waits while it holds memory, nor keeps memory
    // from a photo that waits. False when the bytes can never fit, or the
    // photo was cancelled while it waited.
    bool HoldFor(std::uint64_t bytes);
    // Gives the kept buffers and the share back, at the end of the batch.
    void Release();
    TDrawEffect& Effect();

private:
    std::unique_ptr<TDrawEffect> effect_;
    TMemoryShare share_;
};

// What every photo of one batch shares.
struct TPhotoJob {
    const TBatchSettings& Settings;
    // The preset's record; none with NoEffect.
    const std::optional<TEffectSettings>& Preset;
    // Threads of each render.
    int Threads = 1;
    TBatchMemory& Memory;
    // Set when the whole batch is cancelled, which alone makes a photo's end
    // a cancel rather than a failure.
    const TCancelToken& Batch;
};

// The most memory a photo of this size takes in a batch, from the moment its
// picture is allocated until its output is written: the effect's peak, or
// the picture and what its readers and writers need beside it.
std::uint64_t PhotoPeakBytes(std::int64_t width, std::int64_t height, bool noEffect);

// Reads the photo on the worker (taking its share of the memory budget as
// soon as its size is known, waiting for room), renders it as the preset says
// (fitted to it with Fit) and writes its output, which replaces an older file
// only once it is complete. The batch's Cancel sets the token of every
// worker's photo; a cancel stops the work at the next row of the effect or
// before the output is put in place, and leaves no file behind. Errors of the
// photo become its result; nothing is thrown.
TPhotoResult RenderBatchPhoto(const TBatchItem& item, const TPhotoJob& job, TPhotoWorker& worker);
