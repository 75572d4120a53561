#include "batch/BatchMemory.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// How often a waiting share looks at its stop request.
constexpr std::chrono::milliseconds StopPoll{50};

} // namespace

TBatchMemory::TBatchMemory(std::uint64_t budget)
    : budget_(budget)
{
}

bool TBatchMemory::Take(std::uint64_t bytes, const std::function<bool()>& stop)
{
    if (bytes > budget_)
        return false;
    std::unique_lock lock(mutex_);
    const std::uint64_t turn = nextTurn_++;
    ++waiting_;
    while (!(serving_ == turn && held_ + bytes <= budget_)) {
        if (stop && stop()) {
            --waiting_;
            if (serving_ == turn)
                NextTurn();
            else
                abandoned_.insert(turn);
            changed_.notify_all();
            return false;
        }
        changed_.wait_for(lock, StopPoll);
    }
    --waiting_;
    held_ += bytes;
    most_ = std::max(most_, held_);
    NextTurn();
    changed_.notify_all();
    return true;
}

bool TBatchMemory::TryTake(std::uint64_t bytes)
{
    std::lock_guard lock(mutex_);
    if (serving_ != nextTurn_ || held_ + bytes > budget_)
        return false;
    held_ += bytes;
    most_ = std::max(most_, held_);
    return true;
}

void TBatchMemory::Give(std::uint64_t bytes)
{
    {
        std::lock_guard lock(mutex_);
        held_ -= std::min(bytes, held_);
    }
    changed_.notify_all();
}

std::uint64_t TBatchMemory::MostHeld() const
{
    std::lock_guard lock(mutex_);
    return most_;
}

std::uint64_t TBatchMemory::Held() const
{
    std::lock_guard lock(mutex_);
    return held_;
}

int TBatchMemory::Waiting() const
{
    std::lock_guard lock(mutex_);
    return waiting_;
}

void TBatchMemory::NextTurn()
{
    ++serving_;
    while (abandoned_.erase(serving_) > 0)
        ++serving_;
}

TMemoryShare::TMemoryShare(TBatchMemory& memory, std::function<bool()> stop)
    : memory_(memory)
    , stop_(std::move(stop))
{
}

TMemoryShare::~TMemoryShare() { Release(); }

void TMemoryShare::Release()
{
    memory_.Give(held_);
    held_ = 0;
}

bool TMemoryShare::TryHold(std::uint64_t bytes)
{
    if (bytes <= held_)
        return true;
    if (!memory_.TryTake(bytes - held_))
        return false;
    held_ = bytes;
    return true;
}

bool TMemoryShare::Hold(std::uint64_t bytes)
{
    if (bytes <= held_)
        return true;
    // What it holds already would wait for ever for the rest.
    if (bytes > memory_.Budget())
        return false;
    if (!memory_.Take(bytes - held_, stop_))
        return false;
    held_ = bytes;
    return true;
}

std::uint64_t ChooseBatchBudget(std::optional<std::uint64_t> residentRoom, std::optional<std::uint64_t> addressRoom,
                                std::uint64_t physical, int jobs, int threads)
{
    std::uint64_t budget = residentRoom.value_or(physical) / 4 * 3;
    if (addressRoom) {
        // Each worker and each of its render's helpers keeps an allocator
        // arena and a stack, as EffectAddressBytes reckons them.
        constexpr std::uint64_t BytesPerThread = std::uint64_t(100) << 20;
        const std::uint64_t helpers = threads > 1 ? std::uint64_t(threads) : 0;
        const std::uint64_t reserved = std::uint64_t(std::max(jobs, 1)) * (1 + helpers) * BytesPerThread;
        budget = std::min(budget, *addressRoom > reserved ? *addressRoom - reserved : 0);
    }
    return budget;
}
