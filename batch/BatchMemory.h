#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>

// The memory budget of a batch, shared by the photos it works on at once.
// Each photo takes its share before it allocates its picture, waiting until
// the share fits beside those the others hold, and gives it back when it is
// done. Turns go in the order asked, so that a large photo is never passed
// over for ever by smaller ones.
class TBatchMemory {
public:
    explicit TBatchMemory(std::uint64_t budget);
    TBatchMemory(const TBatchMemory&) = delete;
    TBatchMemory& operator=(const TBatchMemory&) = delete;

    std::uint64_t Budget() const { return budget_; }

    // False at once when `bytes` exceed the whole budget; otherwise waits its
    // turn and room, and false when `stop` says so meanwhile (it is polled a
    // few times a second, so it may be a flag set from anywhere).
    bool Take(std::uint64_t bytes, const std::function<bool()>& stop);
    // Takes `bytes` only when that needs no wait: they fit now and no share
    // is waiting before.
    bool TryTake(std::uint64_t bytes);
    void Give(std::uint64_t bytes);

    // The most that was held at once.
    std::uint64_t MostHeld() const;
    std::uint64_t Held() const;
    // Shares waiting for their turn or for room.
    int Waiting() const;

private:
    // Moves the turn on, past turns whose askers stopped waiting.
    void NextTurn();

    const std::uint64_t budget_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t held_ = 0;
    std::uint64_t most_ = 0;
    std::uint64_t nextTurn_ = 0;
    std::uint64_t serving_ = 0;
    int waiting_ = 0;
    std::set<std::uint64_t> abandoned_;
};

// One photo's share of the budget, given back when the object goes.
class TMemoryShare {
public:
    TMemoryShare(TBatchMemory& memory, std::function<bool()> stop);
    ~TMemoryShare();
    TMemoryShare(const TMemoryShare&) = delete;
    TMemoryShare& operator=(const TMemoryShare&) = delete;

    // Makes the share at least `bytes`, taking what is missing (see Take).
    bool Hold(std::uint64_t bytes);
    // The same, only when that needs no wait (see TryTake).
    bool TryHold(std::uint64_t bytes);
    // Gives the whole share back.
    void Release();
    std::uint64_t Held() const { return held_; }
    const TBatchMemory& Memory() const { return memory_; }

private:
    TBatchMemory& memory_;
    std::function<bool()> stop_;
    std::uint64_t held_ = 0;
};

// The budget a batch chooses when none is given: three quarters of the
// resident memory the process can still fill (the rest stays for the page
// cache and the other programs), held to the address space it may still
// take, less each thread's reservation, for `jobs` photos at once of
// `threads` each. What cannot be found out counts as `physical`, the
// machine's memory.
std::uint64_t ChooseBatchBudget(std::optional<std::uint64_t> residentRoom, std::optional<std::uint64_t> addressRoom,
                                std::uint64_t physical, int jobs, int threads);
