#pragma once

#include "batch/BatchPhoto.h"
#include "batch/BatchPlan.h"
#include "batch/BatchSettings.h"
#include "engine/CancelToken.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class TBatchMemory;

// Where a batch stands, as its progress line and window show it.
struct TBatchCounts {
    int Total = 0;
    int Done = 0;
    int Skipped = 0;
    int Failed = 0;
    // Photos being worked on now.
    int Running = 0;
    // The share of the work done, 0..1, by the photos' file sizes, the
    // running photos' progress counted.
    double Fraction = 0;
    double Seconds = 0;
    // Once enough is done to tell.
    std::optional<double> SecondsLeft;
    bool Finished = false;
    bool Cancelled = false;
};

// Runs a batch: its photos on worker threads, as many at once as the jobs
// and the memory budget allow, each reading, rendering and writing its own
// photo, so that one photo's reading and writing overlap the others' effect.
// The caller's thread only starts it and reads its state; the renderer waits
// for it, the editor polls it from a timer. No Qt.
class TBatchRun {
public:
    // Reads the preset and makes the output folder (TFileError when either
    // cannot be done), and chooses the jobs, the
    // threads of each render and the memory budget. Photos that are up to
    // date count as skipped and photos the plan found faults with as failed
    // from the start.
    TBatchRun(TBatchPlan plan, TBatchSettings settings);
    // Cancels what is still running and waits for it.
    ~TBatchRun();
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    // Starts the workers, at most once. `finished` is called once when the
    // last photo has ended, on the thread that ended it (or on this one when
    // there is nothing to do).
    void Start(std::function<void()> finished = {});
    // Waits until every worker has ended.
    void Wait();
    // Stops every photo under way at its next row and starts no other; from
    // any thread but a signal handler's.
    void Cancel();

    TBatchCounts Counts() const;
    const TBatchPlan& Plan() const { return plan_; }
    // Each photo's ending so far, in the plan's order.
    std::vector<TPhotoResult> Results() const;

    // The photos that are neither skipped nor failed before they start.
    int PhotosToWork() const { return int(work_.size()); }
    int Jobs() const { return jobs_; }
    int ThreadsPerPhoto() const { return threads_; }
    std::uint64_t MemoryBudget() const;
    // The most the photos' shares of the budget held at once.
    std::uint64_t MostMemoryHeld() const;

private:
    struct TWorker;
    void Work(TWorker& worker);
    void Finish(std::size_t item, TPhotoResult result);

    TBatchPlan plan_;
    TBatchSettings settings_;
    std::optional<TEffectSettings> preset_;
    int jobs_ = 1;
    int threads_ = 1;
    std::uint64_t budget_ = 0;
    std::unique_ptr<TBatchMemory> memory_;
    // The batch's own, which stops it taking photos; each photo under way has
    // a token of its own besides (in its worker), which Cancel sets too.
    TCancelToken cancel_;
    std::mutex cancelMutex_;

    // The photos to work on, as plan indexes, and the next one to take.
    std::vector<std::size_t> work_;
    std::atomic<std::size_t> next_{0};
    std::uint64_t workBytes_ = 0;

    mutable std::mutex mutex_;
    std::vector<TPhotoResult> results_;
    std::uint64_t bytesEnded_ = 0;
    int done_ = 0, skipped_ = 0, failed_ = 0;

    std::vector<std::unique_ptr<TWorker>> workers_;
    std::atomic<int> workersLeft_{0};
    std::atomic<bool> finished_{false};
    std::function<void()> onFinished_;
    std::chrono::steady_clock::time_point started_;
    bool startedOnce_ = false;
};
