#include "engine/DrawThread.h"
#include "engine/CancelToken.h"
#include "engine/DrawEffect.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <functional>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

namespace {

TEffectSettings BothLayers(int w, int h)
{
    TEffectSettings s = EngineTest::FreshSettings(w, h);
    s.DrawColor = 1;
    return s;
}

TEST(DrawThread, RendersOnItsOwnThreadAndReportsCompletion)
{
    TBitmap p = EngineTest::PhotoLikePicture(120, 80);
    TDrawEffect effect, direct;
    effect.SetSettings(BothLayers(120, 80), &p);
    direct.SetSettings(BothLayers(120, 80), &p);
    TProgressState state;
    effect.SetProgress(state.Sink());

    std::thread::id worker;
    bool reported = false, completed = false;
    {
        TCancelToken cancel;
        TDrawThread thread(effect, cancel, [&](bool ok) {
            worker = std::this_thread::get_id();
            completed = ok;
            reported = true;
        });
        EXPECT_FALSE(thread.IsFinished());
        thread.Start();
        thread.Wait();
        EXPECT_TRUE(thread.IsFinished());
        EXPECT_TRUE(thread.Completed());
    }
    EXPECT_TRUE(reported);
    EXPECT_TRUE(completed);
    EXPECT_NE(worker, std::this_thread::get_id());

    TProgressState::TSnapshot snap = state.Read();
    EXPECT_STREQ(snap.StepName, "Brightness");
    EXPECT_EQ(snap.StepPercent, 100);
    EXPECT_EQ(snap.TotalMaximum, 10);
    EXPECT_EQ(snap.TotalPosition, 10);

    ASSERT_TRUE(direct.Render());
    TBitmap s1, c1, s2, c2;
    ASSERT_TRUE(effect.GetLayers(s1, c1));
    ASSERT_TRUE(direct.GetLayers(s2, c2));
    EXPECT_SAME_PICTURE(s1, s2);
    EXPECT_SAME_PICTURE(c1, c2);
}

// A receiver that acts when a step names itself: cancels, as a cancel button
// pressed during that step would.
class TOnStep final : public TStepLabel {
public:
    TOnStep(const char* step, std::function<void()> action)
        : step_(step)
        , action_(std::move(action))
    {
    }
    void SetStepName(const char* name) override
    {
        if (std::string(name) == step_)
            action_();
    }

private:
    std::string step_;
    std::function<void()> action_;
};

TEST(DrawThread, CancelDuringTheColouringLeavesNoLayers)
{
    TBitmap p = EngineTest::PhotoLikePicture(120, 80);
    TDrawEffect effect;
    effect.SetSettings(BothLayers(120, 80), &p);
    TCancelToken cancel;
    TOnStep cancelAt("Color Smooth", [&] { cancel.Request(); });
    effect.SetProgress({nullptr, nullptr, &cancelAt});
    TDrawThread thread(effect, cancel);
    thread.Start();
    thread.Wait();
    EXPECT_FALSE(thread.Completed());
    TBitmap sketch(2, 2), color(3, 3);
    EXPECT_FALSE(effect.GetLayers(sketch, color));
    EXPECT_EQ(sketch.Width(), 2);
    EXPECT_EQ(color.Width(), 3);
}

// Holds the worker at its first report until the test lets it go.
class TGate final : public TTotalBar {
public:
    void SetMaximum(int) override
    {
        std::unique_lock lock(mutex_);
        open_.wait(lock, [this] { return opened_; });
    }
    void StepIt() override {}
    void Open()
    {
        {
            std::lock_guard lock(mutex_);
            opened_ = true;
        }
        open_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable open_;
    bool opened_ = false;
};

TEST(DrawThread, CancelRightAfterTheStartIsNotLost)
{
    TBitmap p = EngineTest::PhotoLikePicture(60, 40);
    TDrawEffect effect;
    effect.SetSettings(BothLayers(60, 40), &p);
    TGate gate;
    effect.SetProgress({nullptr, &gate, nullptr});
    TCancelToken cancel;
    TDrawThread thread(effect, cancel);
    thread.Start();
    cancel.Request(); // the worker may not even have begun
    gate.Open();
    thread.Wait();
    EXPECT_FALSE(thread.Completed());
    EXPECT_FALSE(effect.HasLayers());
}

// A background preview and a full render at the same time: each answers to
// its own token, so cancelling one leaves the other to finish whole.
TEST(DrawThread, CancellingOneOfTwoConcurrentRendersLeavesTheOtherWhole)
{
    const TBitmap p = EngineTest::PhotoLikePicture(160, 120);
    const TEffectSettings s = BothLayers(160, 120);
    TDrawEffect direct;
    direct.SetSettings(s, &p);
    ASSERT_TRUE(direct.Render());
    TBitmap expectedSketch, expectedColor;
    ASSERT_TRUE(direct.GetLayers(expectedSketch, expectedColor));

    // The kept render is held at its start, under way, until the other one
    // has been cancelled half-way through its sketch.
    TDrawEffect kept, cancelled;
    kept.SetSettings(s, &p);
    cancelled.SetSettings(s, &p);
    TGate keptGate;
    kept.SetProgress({nullptr, &keptGate, nullptr});
    TCancelToken keptCancel, cancelledCancel;
    TOnStep cancelAt("Draw Sketch", [&] {
        cancelledCancel.Request();
        keptGate.Open();
    });
    cancelled.SetProgress({nullptr, nullptr, &cancelAt});
    TDrawThread keptThread(kept, keptCancel), cancelledThread(cancelled, cancelledCancel);
    keptThread.Start();
    cancelledThread.Start();
    cancelledThread.Wait();
    keptThread.Wait();

    EXPECT_FALSE(cancelledThread.Completed());
    EXPECT_FALSE(cancelled.HasLayers());
    EXPECT_FALSE(keptCancel.Requested());
    ASSERT_TRUE(keptThread.Completed());
    TBitmap sketch, color;
    ASSERT_TRUE(kept.GetLayers(sketch, color));
    EXPECT_SAME_PICTURE(sketch, expectedSketch);
    EXPECT_SAME_PICTURE(color, expectedColor);
}

TEST(DrawThread, DestroyingARunningThreadStopsIt)
{
    // A render of seconds, held at its start until the thread object is
    // about to go: its destructor must cancel it rather than sit it out.
    TBitmap p = EngineTest::PhotoLikePicture(600, 400);
    TDrawEffect effect;
    TEffectSettings s = BothLayers(600, 400);
    s.ColorSmooth = 19;
    effect.SetSettings(s, &p);
    TGate gate;
    effect.SetProgress({nullptr, &gate, nullptr});
    bool completed = true;
    TCancelToken cancel;
    {
        TDrawThread thread(effect, cancel, [&](bool ok) { completed = ok; });
        thread.Start();
        gate.Open();
    }
    EXPECT_FALSE(completed);
    EXPECT_TRUE(cancel.Requested());
    EXPECT_FALSE(effect.HasLayers());
}

// Memory that runs out during the render (here under an address-space limit,
// in a child process) ends it without layers and with the failure kept for
// the window to report; the program and the user's work live on.
TEST(DrawThread, AFailedAllocationEndsTheRenderWithoutEndingTheProgram)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space limit";
#endif
    auto renderUnderLimit = []() -> int {
        TBitmap p = EngineTest::PhotoLikePicture(4000, 3000);
        TDrawEffect effect;
        effect.SetSettings(BothLayers(4000, 3000), &p);
        effect.SetThreadCount(1);
        std::ifstream statm("/proc/self/statm");
        std::uint64_t pages = 0;
        statm >> pages;
        const rlim_t limit = rlim_t(pages * std::uint64_t(::sysconf(_SC_PAGESIZE)) + (40u << 20));
        const rlimit as{limit, limit};
        ::setrlimit(RLIMIT_AS, &as);
        TCancelToken cancel;
        TDrawThread thread(effect, cancel);
        thread.Start();
        thread.Wait();
        if (thread.Completed() || effect.HasLayers())
            return 1;
        try {
            if (thread.Failure())
                std::rethrow_exception(thread.Failure());
        } catch (const std::bad_alloc&) {
            return 0;
        } catch (...) {
            return 2;
        }
        return 3;
    };
    EXPECT_EXIT(std::_Exit(renderUnderLimit()), testing::ExitedWithCode(0), "");
}

} // namespace
