#include "batch/BatchRun.h"

#include "batch/BatchMemory.h"
#include "engine/WorkerPool.h"
#include "picture/MemoryBudget.h"
#include "settings/Presets.h"

#include <algorithm>
#include <utility>

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// The time left is told once this share of the work is done.
constexpr double ShareBeforeTimeLeft = 0.02;

std::uint64_t PhysicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? std::uint64_t(pages) * std::uint64_t(size) : std::uint64_t(1) << 30;
}

// An empty file still takes its turn.
std::uint64_t WorkBytes(const TBatchItem& item) { return std::max<std::uint64_t>(item.InputBytes, 1); }

} // namespace

struct TBatchRun::TWorker {
    explicit TWorker(TBatchMemory& memory)
        : Photo(memory)
    {
    }
    std::thread Thread;
    TPhotoWorker Photo;
    // The plan index of the photo under way, or -1.
    std::atomic<long> Item{-1};
};

TBatchRun::TBatchRun(TBatchPlan plan, TBatchSettings settings)
    : plan_(std::move(plan))
    , settings_(std::move(settings))
    , results_(plan_.Items.size())
{
    if (!settings_.NoEffect)
        preset_ = ReadPresetRecord(settings_.PresetFile);
    PrepareOutputFolder(settings_);

    for (std::size_t i = 0; i < plan_.Items.size(); ++i) {
        const TBatchItem& item = plan_.Items[i];
        if (!item.Problem.empty()) {
            results_[i] = {TPhotoEnd::Failed, item.Problem, {}};
            ++failed_;
        } else if (item.UpToDate) {
            results_[i].End = TPhotoEnd::Skipped;
            ++skipped_;
        } else {
            work_.push_back(i);
            workBytes_ += WorkBytes(item);
        }
    }

    const int cores = TWorkerPool::HardwareThreads();
    jobs_ = std::clamp(settings_.Jobs > 0 ? settings_.Jobs : cores, 1, std::max<int>(int(work_.size()), 1));
    threads_ = settings_.Threads > 0 ? settings_.Threads : std::max(1, cores / jobs_);
    budget_ = settings_.MemoryBudget > 0
                  ? settings_.MemoryBudget
                  : ChooseBatchBudget(ResidentRoom(), AddressSpaceRoom(), PhysicalMemory(), jobs_, threads_);
    // The budget is for the whole process: what it holds already is spent.
    const std::uint64_t inUse = ResidentInUse().value_or(0);
    memory_ = std::make_unique<TBatchMemory>(budget_ > inUse ? budget_ - inUse : 0);
}

TBatchRun::~TBatchRun()
{
    Cancel();
    Wait();
}

void TBatchRun::Start(std::function<void()> finished)
{
    if (startedOnce_)
        return;
    startedOnce_ = true;
#if defined(__GLIBC__)
    // glibc raises its threshold for giving freed blocks back to the system
    // up to 32 MiB as large blocks come and go; a batch of photos of many
    // sizes would then keep most of the photos' buffers in its heaps long
    // after they were freed, nearly doubling its peak. A fixed threshold maps
    // every block of a megabyte or more on its own and unmaps it when freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    onFinished_ = std::move(finished);
    started_ = std::chrono::steady_clock::now();
    const int count = std::min<int>(jobs_, int(work_.size()));
    if (count == 0) {
        finished_ = true;
        if (onFinished_)
            onFinished_();
        return;
    }
    workersLeft_ = count;
    std::scoped_lock lock(mutex_, cancelMutex_);
    for (int i = 0; i < count; ++i)
        workers_.push_back(std::make_unique<TWorker>(*memory_));
    // They wait for the locks until this returns.
    for (auto& worker : workers_)
        worker->Thread = std::thread([this, w = worker.get()] { Work(*w); });
}

void TBatchRun::Wait()
{
    for (auto& worker : workers_)
        if (worker->Thread.joinable())
            worker->Thread.join();
}

void TBatchRun::Cancel()
{
    std::lock_guard lock(cancelMutex_);
    cancel_.Request();
    for (auto& worker : workers_)
        worker->Photo.Cancel.Request();
}

void TBatchRun::Work(TWorker& worker)
{
    const TPhotoJob job{settings_, preset_, threads_, *memory_, cancel_};
    while (!cancel_.Requested()) {
        const std::size_t k = next_.fetch_add(1);
        if (k >= work_.size())
            break;
        {
            // A fresh token, unless Cancel came since the loop looked.
            std::lock_guard lock(cancelMutex_);
            worker.Photo.Cancel.Clear();
            if (cancel_.Requested())
                break;
        }
        const std::size_t item = work_[k];
        worker.Item.store(long(item));
        TPhotoResult result = RenderBatchPhoto(plan_.Items[item], job, worker.Photo);
        std::lock_guard lock(mutex_);
        Finish(item, std::move(result));
        worker.Item.store(-1);
    }
    worker.Photo.Release();
    if (workersLeft_.fetch_sub(1) == 1) {
        finished_ = true;
        if (onFinished_)
            onFinished_();
    }
}

void TBatchRun::Finish(std::size_t item, TPhotoResult result)
{
    if (result.End == TPhotoEnd::Done)
        ++done_;
    else if (result.End == TPhotoEnd::Failed)
        ++failed_;
    if (result.End != TPhotoEnd::Cancelled)
        bytesEnded_ += WorkBytes(plan_.Items[item]);
    results_[item] = std::move(result);
}

TBatchCounts TBatchRun::Counts() const
{
    std::lock_guard lock(mutex_);
    TBatchCounts counts;
    counts.Total = int(plan_.Items.size());
    counts.Done = done_;
    counts.Skipped = skipped_;
    counts.Failed = failed_;
    double under = 0;
    for (const auto& worker : workers_) {
        const long item = worker->Item.load();
        if (item < 0)
            continue;
        ++counts.Running;
        under += double(WorkBytes(plan_.Items[std::size_t(item)])) * worker->Photo.Progress.Fraction();
    }
    counts.Fraction = workBytes_ > 0 ? std::clamp((double(bytesEnded_) + under) / double(workBytes_), 0.0, 1.0) : 1.0;
    counts.Finished = finished_;
    counts.Cancelled = cancel_.Requested();
    if (startedOnce_)
        counts.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    if (!counts.Finished && !counts.Cancelled && counts.Fraction >= ShareBeforeTimeLeft)
        counts.SecondsLeft = counts.Seconds * (1 - counts.Fraction) / counts.Fraction;
    return counts;
}

std::vector<TPhotoResult> TBatchRun::Results() const
{
    std::lock_guard lock(mutex_);
    return results_;
}

std::uint64_t TBatchRun::MemoryBudget() const { return budget_; }

std::uint64_t TBatchRun::MostMemoryHeld() const { return memory_->MostHeld(); }
