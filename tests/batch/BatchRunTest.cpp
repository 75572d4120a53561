// A batch run on worker threads: every output is what the editor saves for
// that photo, whatever the jobs and threads; the budget holds; a cancel
// leaves finished outputs and nothing half written.
#include "batch/BatchRun.h"
#include "batch/BatchMemory.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "engine/DrawEffect.h"
#include "picture/BmpFile.h"
#include "picture/MemoryBudget.h"
#include "picture/PictureFiles.h"
#include "settings/FitToPhoto.h"
#include "settings/SettingsFile.h"
#include "tests/app/CartoonFixture.h"
#include "tests/picture/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// The bytes the editor's Save writes after the cartoon command on the photo.
std::string SavedBytes(const TBitmap& photo, const TEffectSettings& settings, const std::string& name)
{
    TLayers layers = ExpectedLayers(settings, photo);
    TEffectSettings whole = settings;
    whole.Left = whole.Top = 0;
    whole.Width = photo.Width();
    whole.Height = photo.Height();
    TDocument document;
    document.SourceBitmap = photo;
    document.TakeEffectResult(std::move(layers.Sketch), std::move(layers.Color), whole);
    std::ostringstream out;
    SaveDocumentTo(out, name, document);
    return out.str();
}

template <class Condition>
bool Eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class BatchRunTest : public testing::Test {
protected:
    std::string At(const std::string& name) const { return folder_.File(name); }

    std::string PutPhoto(const std::string& name, const TBitmap& photo)
    {
        fs::create_directories(fs::path(At(name)).parent_path());
        WriteBmpFile(At(name), photo);
        return At(name);
    }

    TBatchSettings BatchSettings(const TEffectSettings& preset)
    {
        EXPECT_TRUE(WriteSettingsFile(At("preset.set"), preset));
        TBatchSettings settings;
        settings.OutputFolder = At("out");
        settings.PresetFile = At("preset.set");
        settings.Format = TFileKind::Png;
        return settings;
    }

    std::set<std::string> OutputFiles() const
    {
        std::set<std::string> names;
        if (fs::exists(At("out")))
            for (const auto& entry : fs::recursive_directory_iterator(At("out")))
                if (entry.is_regular_file())
                    names.insert(fs::relative(entry.path(), At("out")).string());
        return names;
    }

    TTempFolder folder_;
};

TEST_F(BatchRunTest, EveryOutputIsWhatTheEditorSavesForItsPhotoWhateverTheJobsAndThreads)
{
    const std::vector<std::pair<std::string, TBitmap>> photos = {
        {"p/a.bmp", Photo(90, 60, 1)}, {"p/b.bmp", Photo(45, 70, 2)}, {"p/sub/c.bmp", Photo(120, 33, 3)},
        {"p/d.bmp", Photo(1, 1, 4)},   {"p/e.bmp", Photo(64, 64, 5)},
    };
    for (const auto& [name, photo] : photos)
        PutPhoto(name, photo);
    PutFileBytes(At("p/broken.bmp"), "BM but not a bitmap");

    const struct {
        int Jobs, Threads;
        bool Fit;
    } cases[] = {{1, 1, false}, {3, 2, false}, {2, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Jobs) + " jobs, " + std::to_string(c.Threads) + " threads");
        fs::remove_all(At("out"));
        TBatchSettings settings = BatchSettings(Settings());
        settings.Recurse = true;
        settings.Jobs = c.Jobs;
        settings.Threads = c.Threads;
        settings.Fit = c.Fit;
        TBatchRun run(PlanBatch({At("p")}, settings), settings);
        EXPECT_EQ(run.Jobs(), c.Jobs);
        run.Start();
        run.Wait();

        const TBatchCounts counts = run.Counts();
        EXPECT_TRUE(counts.Finished);
        EXPECT_EQ(counts.Total, 6);
        EXPECT_EQ(counts.Done, 5);
        EXPECT_EQ(counts.Failed, 1);
        EXPECT_DOUBLE_EQ(counts.Fraction, 1.0);
        const std::vector<TPhotoResult> results = run.Results();
        ASSERT_EQ(results.size(), 6u);
        EXPECT_EQ(results[2].End, TPhotoEnd::Failed); // p/broken.bmp, in name order
        EXPECT_NE(results[2].Reason.find(At("p/broken.bmp")), std::string::npos) << results[2].Reason;
        for (const auto& [name, photo] : photos) {
            const std::string output =
                At("out/" + fs::path(name).lexically_relative("p").replace_extension(".png").string());
            const TEffectSettings preset = c.Fit ? FitToPhoto(Settings(), photo) : Settings();
            EXPECT_EQ(FileBytes(output), SavedBytes(photo, preset, output)) << name;
        }
        EXPECT_GT(run.MostMemoryHeld(), 0u);
        EXPECT_LE(run.MostMemoryHeld(), run.MemoryBudget());
    }
}

// A budget that holds one photo at a time: all are still done, one after
// another, and a photo larger than the whole budget fails on its own.
TEST_F(BatchRunTest, ABudgetForOnePhotoAtATimeDoesThemInTurnAndRefusesOneBeyondIt)
{
    for (int i = 0; i < 4; ++i)
        PutPhoto("p/" + std::to_string(i) + ".bmp", Photo(200, 150, std::uint32_t(i)));
    PutPhoto("p/z-large.bmp", Photo(1200, 800, 9));

    TBatchSettings settings = BatchSettings(Settings());
    settings.Jobs = 3;
    const std::uint64_t one = PhotoPeakBytes(200, 150, false);
    settings.MemoryBudget = ResidentInUse().value_or(0) + one + one / 2;
    TBatchRun run(PlanBatch({At("p")}, settings), settings);
    run.Start();
    run.Wait();
    const std::vector<TPhotoResult> results = run.Results();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(results[std::size_t(i)].End, TPhotoEnd::Done) << results[std::size_t(i)].Reason;
    EXPECT_EQ(results[4].End, TPhotoEnd::Failed);
    EXPECT_NE(results[4].Reason.find("not enough memory for a 1200 x 800 picture"), std::string::npos)
        << results[4].Reason;
    EXPECT_EQ(run.MostMemoryHeld(), one);
    EXPECT_EQ(OutputFiles(), (std::set<std::string>{"0.png", "1.png", "2.png", "3.png"}));
}

TEST_F(BatchRunTest, ACancelStopsEveryPhotoUnderWayAndLeavesOnlyWholeOutputs)
{
    // A wide median on noisy photos: each render takes a while.
    for (int i = 0; i < 6; ++i)
        PutPhoto("p/" + std::to_string(i) + ".bmp", Photo(900, 700, std::uint32_t(i)));
    TBatchSettings settings = BatchSettings(Settings(19));
    settings.Jobs = 2;
    settings.Threads = 1;
    TBatchRun run(PlanBatch({At("p")}, settings), settings);
    bool finished = false;
    run.Start([&] { finished = true; });
    ASSERT_TRUE(Eventually([&] { return run.Counts().Running == 2; }));
    run.Cancel();
    run.Wait();
    EXPECT_TRUE(finished);

    const TBatchCounts counts = run.Counts();
    EXPECT_TRUE(counts.Cancelled);
    EXPECT_EQ(counts.Failed, 0);
    EXPECT_LT(counts.Done, 6);
    std::set<std::string> done;
    const std::vector<TPhotoResult> results = run.Results();
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].End == TPhotoEnd::Done)
            done.insert(std::to_string(i) + ".png");
    // Nothing beside the finished outputs: no temporary file, nothing cut short.
    EXPECT_EQ(OutputFiles(), done);
    for (const std::string& name : done)
        EXPECT_EQ(FileBytes(At("out/" + name)),
                  SavedBytes(Photo(900, 700, std::uint32_t(std::stoi(name))), Settings(19), At("out/" + name)));
}

TEST_F(BatchRunTest, PhotosUpToDateOrUnreadableCountFromTheStartAndNeedNoWorkers)
{
    PutPhoto("p/a.bmp", Photo(20, 20, 1));
    TBatchSettings settings = BatchSettings(Settings());
    settings.SkipExisting = true;
    fs::create_directories(At("out"));
    PutFileBytes(At("out/a.png"), "done before");
    // Newer than the photo and the preset.
    const timespec later[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    const timespec earlier[2] = {{1000, 0}, {1000, 0}};
    ::utimensat(AT_FDCWD, At("p/a.bmp").c_str(), earlier, 0);
    ::utimensat(AT_FDCWD, At("preset.set").c_str(), earlier, 0);
    ::utimensat(AT_FDCWD, At("out/a.png").c_str(), later, 0);

    TBatchRun run(PlanBatch({At("p/a.bmp"), At("p/missing.bmp")}, settings), settings);
    EXPECT_EQ(run.PhotosToWork(), 0);
    const TBatchCounts before = run.Counts();
    EXPECT_EQ(before.Skipped, 1);
    EXPECT_EQ(before.Failed, 1);
    bool finished = false;
    run.Start([&] { finished = true; });
    EXPECT_TRUE(finished) << "nothing to do ends at once";
    EXPECT_EQ(FileBytes(At("out/a.png")), "done before");
}

} // namespace
