// The preview's computation away from the window: the order frames come in,
// the exact frame after the approximate one, fit views, and stopping.
#include "ui/PreviewRenderer.h"
#include "engine/DrawEffect.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Collects the frames as the renderer's thread delivers them.
struct TFrames {
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::vector<std::shared_ptr<TPreviewFrame>> All;

    TPreviewRenderer::TDeliver Deliver()
    {
        return [this](std::shared_ptr<TPreviewFrame> frame) {
            std::lock_guard lock(Mutex);
            All.push_back(std::move(frame));
            Arrived.notify_all();
        };
    }
    // Waits for an exact frame of the request numbered `number`.
    bool WaitForExact(std::uint64_t number)
    {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, std::chrono::seconds(60),
                                [&] { return !All.empty() && All.back()->Number == number && All.back()->Exact; });
    }
    bool WaitForAny(std::uint64_t number)
    {
        std::unique_lock lock(Mutex);
        return Arrived.wait_for(lock, std::chrono::seconds(60),
                                [&] { return !All.empty() && All.back()->Number == number; });
    }
};

TBitmap WholeEffect(const TBitmap& picture, TEffectSettings s)
{
    s.Left = s.Top = 0;
    s.Width = picture.Width();
    s.Height = picture.Height();
    TDrawEffect effect;
    effect.SetSettings(s, &picture);
    EXPECT_TRUE(effect.Render());
    TBitmap blended;
    effect.DrawBlended(blended);
    return blended;
}

TBitmap Cut(const TBitmap& picture, const TRegion& r)
{
    TBitmap part(r.Width, r.Height);
    part.CopyRect(picture, r.Left, r.Top, r.Width, r.Height, 0, 0);
    return part;
}

TEffectSettings ColourSettings(int left, int top, int width, int height)
{
    TEffectSettings s = EngineTest::FreshSettings(width, height);
    s.Left = left;
    s.Top = top;
    s.DrawColor = 1;
    s.ColorSmooth = 4;
    return s;
}

// Requests overlap: each new one arrives while the one before is computed.
// Frames come in increasing numbers, none older after a newer one (a
// request's exact frame after its approximate one), and the last is the
// newest request's, exact.
TEST(PreviewRenderer, FramesComeInOrderAndTheNewestEndsExact)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(900, 700, 12));
    TFrames frames;
    TEffectSettings last;
    {
        TPreviewRenderer renderer(picture, nullptr, frames.Deliver(), 2);
        for (std::uint64_t n = 1; n <= 12; ++n) {
            TPreviewRequest request;
            request.Number = n;
            request.Settings = ColourSettings(int(n * 20), int(n * 15), 300, 200);
            request.Settings.ColorScale = int(4 + n); // a whole-picture scaling for each
            request.Settings.Brightness = int(n);
            last = request.Settings;
            renderer.Request(request);
        }
        ASSERT_TRUE(frames.WaitForExact(12));
    }
    std::lock_guard lock(frames.Mutex);
    for (std::size_t i = 1; i < frames.All.size(); ++i) {
        const TPreviewFrame &before = *frames.All[i - 1], &after = *frames.All[i];
        EXPECT_TRUE(before.Number < after.Number || (before.Number == after.Number && !before.Exact && after.Exact))
            << "frame " << i;
    }
    const TPreviewFrame& frame = *frames.All.back();
    EXPECT_EQ(frame.Region, (TRegion{240, 180, 300, 200}));
    EXPECT_SAME_PICTURE(frame.Pixels, Cut(WholeEffect(*picture, last), frame.Region));
}

// Average scaling: the fast frame walks the region alone and is marked
// approximate; the exact one follows once the whole picture is scaled, and
// that scaling is kept for the next region.
TEST(PreviewRenderer, AnApproximateFrameIsFollowedByTheExactOneAndTheScalingIsKept)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(500, 400, 3));
    TFrames frames;
    TPreviewRenderer renderer(picture, nullptr, frames.Deliver(), 1);
    TPreviewRequest request;
    request.Number = 1;
    request.Settings = ColourSettings(200, 150, 120, 100);
    renderer.Request(request);
    ASSERT_TRUE(frames.WaitForExact(1));
    {
        std::lock_guard lock(frames.Mutex);
        ASSERT_EQ(frames.All.size(), 2u);
        EXPECT_FALSE(frames.All[0]->Exact);
        EXPECT_FALSE(frames.All[0]->Pixels == frames.All[1]->Pixels) << "the approximation is not the result";
        EXPECT_SAME_PICTURE(frames.All[1]->Pixels, Cut(WholeEffect(*picture, request.Settings), {200, 150, 120, 100}));
    }
    // Another place with the same scaling: exact at once.
    request.Number = 2;
    request.Settings.Left = 10;
    request.Settings.Top = 280;
    renderer.Request(request);
    ASSERT_TRUE(frames.WaitForAny(2));
    std::lock_guard lock(frames.Mutex);
    EXPECT_EQ(frames.All.size(), 3u);
    EXPECT_TRUE(frames.All.back()->Exact);
}

// The fit view: the effect of the whole picture reduced from the capture,
// with the reduced copy beside it; the picture's own size is exact.
TEST(PreviewRenderer, FitFramesAreTheEffectOfTheReducedCopy)
{
    const TBitmap photo = EngineTest::PhotoLikePicture(400, 300, 5);
    const auto picture = std::make_shared<const TBitmap>(photo);
    const auto capture = std::make_shared<const TResampleSource>(CaptureResampleSource(photo));
    TFrames frames;
    TPreviewRenderer renderer(picture, capture, frames.Deliver(), 2);
    struct TCase {
        int Width, Height;
        bool Exact;
    };
    std::uint64_t number = 0;
    for (const TCase& c : {TCase{200, 150, false}, TCase{97, 73, false}, TCase{400, 300, true}}) {
        TPreviewRequest request;
        request.Number = ++number;
        request.Settings = ColourSettings(0, 0, 100, 100);
        request.Fit = true;
        request.FitWidth = c.Width;
        request.FitHeight = c.Height;
        renderer.Request(request);
        ASSERT_TRUE(frames.WaitForAny(number));
        std::lock_guard lock(frames.Mutex);
        const TPreviewFrame& frame = *frames.All.back();
        EXPECT_TRUE(frame.Fit);
        EXPECT_EQ(frame.Exact, c.Exact) << c.Width;
        ASSERT_TRUE(frame.Reduced);
        TBitmap reduced;
        ASSERT_TRUE(ResampleTo(*capture, c.Width, c.Height, reduced));
        EXPECT_SAME_PICTURE(*frame.Reduced, reduced) << c.Width;
        EXPECT_SAME_PICTURE(frame.Pixels, WholeEffect(reduced, request.Settings)) << c.Width;
    }
}

// Destroyed while the whole picture is scaled (its first frame is always
// approximate, and the scaling starts after it): it cancels and returns.
TEST(PreviewRenderer, DestroyingItStopsTheBackgroundScaling)
{
    const auto picture = std::make_shared<const TBitmap>(EngineTest::PhotoLikePicture(2400, 1800, 2));
    TFrames frames;
    {
        TPreviewRenderer renderer(picture, nullptr, frames.Deliver(), 2);
        TPreviewRequest request;
        request.Number = 1;
        request.Settings = ColourSettings(1800, 1500, 300, 200);
        renderer.Request(request);
        ASSERT_TRUE(frames.WaitForAny(1));
    }
    std::lock_guard lock(frames.Mutex);
    EXPECT_FALSE(frames.All.front()->Exact);
}

} // namespace
