#include "engine/CancelToken.h"
#include "engine/Progress.h"
#include "engine/WorkerPool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <new>
#include <thread>

namespace {

TEST(ProgressPercent, DivisionAndItsEdges)
{
    EXPECT_EQ(ProgressPercent(1, 3), 33);
    EXPECT_EQ(ProgressPercent(0, 0), 100); // a single row
    EXPECT_EQ(ProgressPercent(-2, 5), 0); // rows above the region
    EXPECT_EQ(ProgressPercent(7, 5), 100);
    EXPECT_EQ(ProgressPercent(INT_MAX, 1), 100);
}

TEST(ProgressState, TotalBarStaysFull)
{
    TProgressState state;
    EXPECT_EQ(state.Read().StepName, nullptr);
    TProgressSink sink = state.Sink();
    sink.Total->SetMaximum(2);
    for (int i = 0; i < 4; ++i)
        sink.Total->StepIt();
    EXPECT_EQ(state.Read().TotalPosition, 2);
    sink.Total->SetMaximum(0);
    sink.Total->StepIt();
    EXPECT_EQ(state.Read().TotalPosition, 0);
    sink.Label->SetStepName(StepNames::ColorScale);
    sink.Current->SetPosition(42);
    EXPECT_EQ(state.Read().StepName, StepNames::ColorScale);
    EXPECT_EQ(state.Read().StepPercent, 42);
    state.Reset();
    EXPECT_EQ(state.Read().StepName, nullptr);
}

TEST(ForEachUnit, EveryUnitOnceAndReportsInOrder)
{
    for (int threads : {1, 2, 4}) {
        TWorkerPool pool(threads);
        std::vector<std::atomic<int>> runs(1000);
        std::vector<int> reports;
        bool done = ForEachUnit(
            &pool, nullptr, 1000,
            [&](int unit, int worker) {
                ASSERT_LT(worker, threads);
                runs[unit].fetch_add(1);
            },
            [&](int unit) { reports.push_back(unit); });
        EXPECT_TRUE(done);
        for (auto& r : runs)
            ASSERT_EQ(r.load(), 1);
        ASSERT_EQ(reports.size(), 1000u);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(reports[i], i);
    }
}

TEST(ForEachUnit, CancelStopsAndReportsOnlyAPrefixOfDoneUnits)
{
    TWorkerPool pool(3);
    std::vector<std::atomic<int>> runs(5000);
    std::vector<int> reports;
    TCancelToken cancel;
    bool done = ForEachUnit(
        &pool, &cancel, 5000,
        [&](int unit, int) {
            runs[unit].fetch_add(1);
            if (unit == 700)
                cancel.Request();
        },
        [&](int unit) { reports.push_back(unit); });
    EXPECT_FALSE(done);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        ASSERT_EQ(reports[i], int(i));
        ASSERT_EQ(runs[i].load(), 1);
    }
    EXPECT_LT(reports.size(), 5000u);
}

// Memory that runs out on any thread ends the computation with the
// exception on the calling thread, never the process; the others stop at
// the cancel token that the failure sets, and the pool stays usable.
TEST(WorkerPool, AFailureOnAnyThreadStopsTheOthersAndReachesTheCaller)
{
    TWorkerPool pool(3);
    for (int failing : {0, 1, 2}) {
        SCOPED_TRACE(failing);
        TCancelToken cancel;
        std::atomic<int> started{0}, stopped{0};
        // Three units that each hold their thread: one goes to each worker,
        // and the failure comes once the other two are under way.
        EXPECT_THROW(ForEachUnit(
                         &pool, &cancel, 3,
                         [&](int, int worker) {
                             if (worker == failing) {
                                 for (int i = 0; i < 10000 && started.load() < 2; ++i)
                                     std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                 throw std::bad_alloc();
                             }
                             started.fetch_add(1);
                             // The others work on until told to stop (or give up after a while).
                             for (int i = 0; i < 10000 && !cancel.Requested(); ++i)
                                 std::this_thread::sleep_for(std::chrono::milliseconds(1));
                             stopped.fetch_add(cancel.Requested() ? 1 : 0);
                         },
                         [](int) {}),
                     std::bad_alloc);
        EXPECT_EQ(stopped.load(), 2);
        std::atomic<int> after{0};
        EXPECT_TRUE(ForEachUnit(
            &pool, nullptr, 1000, [&](int, int) { after.fetch_add(1); }, [](int) {}));
        EXPECT_EQ(after.load(), 1000);
    }
}

} // namespace
