#include "engine/WorkerPool.h"

#include <sched.h>

TWorkerPool::TWorkerPool(int threads)
{
    if (threads <= 0)
        threads = HardwareThreads();
    for (int w = 1; w < threads; ++w)
        helpers_.emplace_back([this, w] { HelperLoop(w); });
}

TWorkerPool::~TWorkerPool()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : helpers_)
        t.join();
}

int TWorkerPool::HardwareThreads()
{
    // The processors this process may run on: a batch system (Slurm's
    // --cpus-per-task) or taskset may give it fewer than the machine has.
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
        return std::min(CPU_COUNT(&allowed), 64);
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int(std::min(n, 64u));
}

void TWorkerPool::Run(const std::function<void(int)>& job)
{
    if (helpers_.empty()) {
        job(0);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        failure_ = nullptr;
        pending_ = int(helpers_.size());
        ++generation_;
    }
    wake_.notify_all();
    // The helpers use the job and the caller's data until they are done, so
    // the caller waits for them even when its own share fails.
    std::exception_ptr own;
    try {
        job(0);
    } catch (...) {
        own = std::current_exception();
    }
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return pending_ == 0; });
    job_ = nullptr;
    std::exception_ptr failure = own ? own : failure_;
    failure_ = nullptr;
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}

void TWorkerPool::HelperLoop(int worker)
{
    std::uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_)
                return;
            seen = generation_;
            job = job_;
        }
        // An exception must not end the thread (and the process with it):
        // it is handed back to the caller of Run.
        std::exception_ptr failure;
        try {
            (*job)(worker);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            if (failure && !failure_)
                failure_ = failure;
            --pending_;
        }
        finished_.notify_one();
    }
}
