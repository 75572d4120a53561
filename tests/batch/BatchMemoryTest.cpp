// The memory budget a batch's photos share: taken in turn, never beyond the
// budget, given back, and left by a photo that is stopped while it waits.
#include "batch/BatchMemory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Waits for a condition another thread brings about, without a fixed sleep.
template <class Condition>
bool Eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(BatchMemory, SharesAreTakenInTurnAndNeverBeyondTheBudget)
{
    TBatchMemory memory(100);
    EXPECT_FALSE(memory.Take(101, {})) << "more than the whole budget can never fit";
    ASSERT_TRUE(memory.Take(60, {}));

    // 50 must wait for room; 10 would fit now but must not pass it, so both
    // wait. (Once room is given both fit, so the order they then return in
    // is the scheduler's, not the budget's.)
    auto take = [&](std::uint64_t bytes) { return std::thread([&, bytes] { EXPECT_TRUE(memory.Take(bytes, {})); }); };
    std::thread big = take(50);
    ASSERT_TRUE(Eventually([&] { return memory.Waiting() == 1; }));
    EXPECT_FALSE(memory.TryTake(10)) << "a share that does not wait must not pass one that does";
    std::thread small = take(10);
    ASSERT_TRUE(Eventually([&] { return memory.Waiting() == 2; }));
    EXPECT_EQ(memory.Held(), 60u);

    memory.Give(60);
    big.join();
    small.join();
    EXPECT_EQ(memory.Waiting(), 0);
    EXPECT_EQ(memory.Held(), 60u);
    EXPECT_EQ(memory.MostHeld(), 60u);
    memory.Give(60);
    EXPECT_EQ(memory.Held(), 0u);
    EXPECT_TRUE(memory.TryTake(100));
    EXPECT_FALSE(memory.TryTake(1));
}

TEST(BatchMemory, AShareStoppedWhileWaitingGivesItsTurnToTheNext)
{
    TBatchMemory memory(100);
    ASSERT_TRUE(memory.Take(90, {}));
    std::atomic<bool> stop{false};
    std::atomic<int> stopped{0}, taken{0};
    // The first waits for room it will not get; the second waits behind it.
    std::thread first([&] { stopped += !memory.Take(50, [&] { return stop.load(); }); });
    ASSERT_TRUE(Eventually([&] { return memory.Waiting() == 1; }));
    std::thread second([&] { taken += memory.Take(10, {}); });
    ASSERT_TRUE(Eventually([&] { return memory.Waiting() == 2; }));
    stop = true;
    first.join();
    second.join();
    EXPECT_EQ(stopped.load(), 1);
    EXPECT_EQ(taken.load(), 1);
    EXPECT_EQ(memory.Held(), 100u);
}

TEST(BatchMemory, AShareGrowsToWhatItHoldsAndGivesAllBack)
{
    TBatchMemory memory(100);
    {
        TMemoryShare share(memory, {});
        EXPECT_TRUE(share.Hold(30));
        EXPECT_TRUE(share.Hold(20)) << "a share already large enough takes nothing";
        EXPECT_EQ(memory.Held(), 30u);
        EXPECT_TRUE(share.Hold(80));
        EXPECT_EQ(memory.Held(), 80u);
        EXPECT_FALSE(share.Hold(101));
        EXPECT_EQ(share.Held(), 80u);
    }
    EXPECT_EQ(memory.Held(), 0u);
    EXPECT_EQ(memory.MostHeld(), 80u);
}

TEST(BatchMemory, TheChosenBudgetLeavesAQuarterAndEachThreadsReservation)
{
    const std::uint64_t MiB = 1 << 20;
    struct TCase {
        std::optional<std::uint64_t> Resident, Address;
        int Jobs, Threads;
        std::uint64_t Budget;
    };
    const TCase cases[] = {
        {4000 * MiB, std::nullopt, 2, 1, 3000 * MiB},
        {std::nullopt, std::nullopt, 2, 1, 6000 * MiB}, // the machine's 8000 MiB
        // Two workers alone reserve 200 MiB of address space; with two
        // helpers each, 600 MiB.
        {4000 * MiB, 1000 * MiB, 2, 1, 800 * MiB},
        {4000 * MiB, 1000 * MiB, 2, 2, 400 * MiB},
        {4000 * MiB, 100 * MiB, 2, 1, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ChooseBatchBudget(c.Resident, c.Address, 8000 * MiB, c.Jobs, c.Threads), c.Budget)
            << c.Jobs << " " << c.Threads;
}

} // namespace
