#pragma once

#include "engine/CancelToken.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of helper threads that the kernels share out their rows to.
// Created once by whoever runs computations (the compositor) and reused, so a
// preview pays no thread start per step.
class TWorkerPool {
public:
    // `threads` counts the calling thread too; 0 or less means one per core.
    explicit TWorkerPool(int threads);
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    int Threads() const { return int(helpers_.size()) + 1; }

    // Calls job(w) once for every w in [0, Threads()) at the same time, w = 0
    // on the calling thread, and returns when all calls have returned. An
    // exception in any call (above all std::bad_alloc) is thrown again here
    // on the calling thread once all have returned; stopping the other calls
    // early is the job's part (ForEachUnit does it through the cancel token).
    void Run(const std::function<void(int worker)>& job);

    static int HardwareThreads();

private:
    void HelperLoop(int worker);

    std::vector<std::thread> helpers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(int)>* job_ = nullptr;
    std::exception_ptr failure_;
    std::uint64_t generation_ = 0;
    int pending_ = 0;
    bool stop_ = false;
};

inline int WorkerCount(const TWorkerPool* pool) { return pool ? pool->Threads() : 1; }

// Runs body(unit, worker) for every unit of [0, count), in increasing order on
// one thread or shared out in chunks over the pool, and calls report(unit) on
// the calling thread for every finished unit in increasing order (so a
// progress bar sees the same sequence whatever the thread count). The cancel
// token (none: nothing cancels) is tested before and after every unit (a
// unit may stop half-way and is then not reported); returns false when it
// stopped the work. A unit that throws sets the token, so that the units
// under way on other threads stop at their next row.
// `worker` lies in [0, WorkerCount(pool)) and lets a body use its own scratch.
template <class Body, class Report>
bool ForEachUnit(TWorkerPool* pool, TCancelToken* cancel, int count, Body&& body, Report&& report)
{
    int threads = WorkerCount(pool);
    if (threads <= 1 || count <= 1) {
        for (int unit = 0; unit < count; ++unit) {
            if (CancelRequested(cancel))
                return false;
            body(unit, 0);
            if (CancelRequested(cancel)) // the unit may have stopped half-way
                return false;
            report(unit);
        }
        return true;
    }

    // Small chunks keep both the load balance and the progress reports even.
    int chunk = std::clamp(count / (threads * 8), 1, 64);
    int chunks = (count + chunk - 1) / chunk;
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[chunks]);
    for (int c = 0; c < chunks; ++c)
        done[c].store(false, std::memory_order_relaxed);
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    int reported = 0; // chunks whose units were reported; touched by the caller only

    auto flush = [&] {
        while (reported < chunks && done[reported].load(std::memory_order_acquire)) {
            int last = std::min(count, (reported + 1) * chunk);
            for (int unit = reported * chunk; unit < last; ++unit)
                report(unit);
            ++reported;
        }
    };

    pool->Run([&](int worker) {
        for (;;) {
            int c = next.fetch_add(1, std::memory_order_relaxed);
            if (c >= chunks || stopped.load(std::memory_order_relaxed))
                return;
            int last = std::min(count, (c + 1) * chunk);
            for (int unit = c * chunk; unit < last; ++unit) {
                if (CancelRequested(cancel)) {
                    stopped.store(true, std::memory_order_relaxed);
                    return;
                }
                try {
                    body(unit, worker);
                } catch (...) {
                    stopped.store(true, std::memory_order_relaxed);
                    if (cancel)
                        cancel->Request();
                    throw;
                }
            }
            if (CancelRequested(cancel)) {
                stopped.store(true, std::memory_order_relaxed);
                return;
            }
            done[c].store(true, std::memory_order_release);
            if (worker == 0)
                flush();
        }
    });
    flush();
    return !stopped.load(std::memory_order_relaxed);
}

// Runs body(row) for every row of [0, count), shared out over the pool,
// without a cancel token: for work that must not stop half-way, such
// as handing out finished layers.
template <class Body>
void ForEachRowToTheEnd(TWorkerPool* pool, int count, Body&& body)
{
    if (WorkerCount(pool) <= 1 || count <= 1) {
        for (int row = 0; row < count; ++row)
            body(row);
        return;
    }
    constexpr int chunk = 16;
    std::atomic<int> next{0};
    pool->Run([&](int) {
        for (int first; (first = next.fetch_add(chunk, std::memory_order_relaxed)) < count;)
            for (int row = first; row < std::min(count, first + chunk); ++row)
                body(row);
    });
}
