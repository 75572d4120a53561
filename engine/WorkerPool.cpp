#include "WorkerPool.h"

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
        pending_ = int(helpers_.size());
        ++generation_;
    }
    wake_.notify_all();
    job(0);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return pending_ == 0; });
    job_ = nullptr;
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
        (*job)(worker);
        {
            std::lock_guard lock(mutex_);
            --pending_;
        }
        finished_.notify_one();
    }
}
