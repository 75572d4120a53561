// The renderer's batch form (INPUT... -o FOLDER) as a user and a cluster
// drive it: outputs identical to the single-photo form whatever the jobs and
// threads, so that a batch split over machines equals one run; an interrupted
// batch leaves only whole outputs and resumes; failures are listed.
#include "tests/app/RenderFixture.h"

#include "picture/PictureFiles.h"

#include <chrono>
#include <csignal>
#include <map>
#include <thread>

namespace {

namespace fs = std::filesystem;

class RenderBatchTest : public RenderTest {
protected:
    // Photos of their own sizes and noise, as bitmaps and JPEGs, in photos/.
    std::vector<std::string> PutPhotos(int count, int width, int height)
    {
        fs::create_directories(File("photos"));
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            const std::string name = "photos/p" + std::to_string(i) + (i % 2 ? ".jpg" : ".bmp");
            const TBitmap photo = Photo(width + 7 * i, height + 3 * i, std::uint32_t(100 + i));
            if (i % 2)
                WritePicture(File(name), photo);
            else
                WriteBmpFile(File(name), photo);
            names.push_back(File(name));
        }
        return names;
    }

    // The files below a folder and their bytes.
    std::map<std::string, std::string> Contents(const std::string& folder) const
    {
        std::map<std::string, std::string> contents;
        for (const auto& entry : fs::recursive_directory_iterator(File(folder)))
            if (entry.is_regular_file())
                contents[fs::relative(entry.path(), File(folder)).string()] = FileBytes(entry.path().string());
        return contents;
    }
};

// Renders do not depend on the machine, the jobs or the threads, so a batch
// shared out among workers (GNU parallel, a Slurm job array) writes the same
// files as one run of the whole batch.
TEST_F(RenderBatchTest, TwoHalvesRunApartGiveTheSameFilesAsOneRun)
{
    const std::vector<std::string> photos = PutPhotos(6, 150, 100);
    const std::string preset = PutSettings("s.set", Settings());

    TRun run = Run({"-q", "-p", preset, "--format", "png", "--jobs", "2", File("photos"), "-o", File("whole")});
    EXPECT_SUCCESS(run);
    run = Run({"-q", "-p", preset, "--format=png", "--jobs", "1", "-j", "2", photos[0], photos[1], photos[2], "-o",
               File("split")});
    EXPECT_SUCCESS(run);
    run = Run({"-q", "-p", preset, "--format", "PNG", "--jobs=3", "-j", "1", photos[3], photos[4], photos[5], "-o",
               File("split")});
    EXPECT_SUCCESS(run);

    const auto whole = Contents("whole");
    EXPECT_EQ(whole.size(), 6u);
    EXPECT_EQ(Contents("split"), whole);
    // And each is what the single-photo form writes.
    run = Run({"-p", preset, photos[3], File("single.png")});
    EXPECT_SUCCESS(run);
    EXPECT_EQ(FileBytes(File("single.png")), whole.at("p3.png"));
}

TEST_F(RenderBatchTest, AnInterruptedBatchLeavesOnlyWholeOutputsAndResumesWhereItStopped)
{
    PutPhotos(6, 600, 400);
    TEffectSettings slow = Settings();
    slow.ColorSmooth = 10;
    const std::string preset = PutSettings("slow.set", slow);
    const std::vector<std::string> args = {"-p", preset, "--jobs", "2", "-j", "1", File("photos"), "-o", File("out")};
    ASSERT_EQ(Run({"-q", "-p", preset, File("photos"), "-o", File("reference")}).Status, 0);
    const auto reference = Contents("reference");

    // Stopped once two outputs are in place.
    {
        TChildProcess child(Renderer, args, dir_ + ".stopped");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        auto finished = [&] {
            int count = 0;
            if (fs::exists(File("out")))
                for (const auto& entry : fs::directory_iterator(File("out")))
                    count += entry.path().extension() == ".jpg";
            return count;
        };
        while (finished() < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        child.Signal(SIGINT);
        EXPECT_EQ(child.Wait(), 128 + SIGINT);
        EXPECT_NE(child.Error().find("not done: stopped"), std::string::npos) << child.Error();
        fs::remove(dir_ + ".stopped.out");
        fs::remove(dir_ + ".stopped.err");
    }
    const auto stopped = Contents("out");
    EXPECT_GE(stopped.size(), 2u);
    EXPECT_LT(stopped.size(), 6u);
    for (const auto& [name, bytes] : stopped)
        EXPECT_EQ(bytes, reference.at(name)) << name << " is not whole";
    std::map<std::string, fs::file_time_type> times;
    for (const auto& [name, bytes] : stopped)
        times[name] = fs::last_write_time(File("out/" + name));

    std::vector<std::string> resume = args;
    resume.insert(resume.begin(), "--skip-existing");
    const TRun resumed = Run(resume);
    EXPECT_EQ(resumed.Status, 0) << resumed.Err;
    EXPECT_NE(resumed.Err.find("6 photos: " + std::to_string(6 - stopped.size()) + " done, " +
                               std::to_string(stopped.size()) + " skipped, 0 failed"),
              std::string::npos)
        << resumed.Err;
    EXPECT_EQ(Contents("out"), reference);
    for (const auto& [name, time] : times)
        EXPECT_EQ(fs::last_write_time(File("out/" + name)), time) << name << " was written again";
}

TEST_F(RenderBatchTest, EachFailureIsListedWithItsReasonAndTheOthersAreDone)
{
    PutPhotos(3, 40, 30);
    PutFileBytes(File("photos/broken.jpg"), "no JPEG at all");
    PutFileBytes(File("notes.txt"), "no picture");
    const std::string preset = PutSettings("s.set", Settings());
    for (const char* quiet : {"", "-q"}) {
        SCOPED_TRACE(quiet);
        fs::remove_all(File("out"));
        std::vector<std::string> args = {
            "-p",        preset,     File("photos"), File("notes.txt"), File("gone.jpg"), "-o",
            File("out"), "--suffix", "-c",           "--format",        "webp",           "--lossless"};
        if (*quiet)
            args.push_back(quiet);
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 1);
        EXPECT_NE(run.Err.find("lumenquilla-render: 6 photos: 3 done, 0 skipped, 3 failed, in "), std::string::npos)
            << run.Err;
        for (const std::string& failure :
             {"lumenquilla-render: failed: Cannot read " + File("photos/broken.jpg") + ": Not a JPEG file",
              "lumenquilla-render: failed: " + File("notes.txt") + " is not a picture",
              "lumenquilla-render: failed: " + File("gone.jpg") + " does not exist"})
            EXPECT_NE(run.Err.find(failure), std::string::npos) << failure << "\nnot in\n" << run.Err;
        std::set<std::string> written;
        for (const auto& [name, bytes] : Contents("out"))
            written.insert(name);
        EXPECT_EQ(written, (std::set<std::string>{"p0-c.webp", "p1-c.webp", "p2-c.webp"}));
        std::string warning;
        EXPECT_EQ(ReadPicture(File("out/p2-c.webp"), &warning).Width(), 54);
    }
    // With nothing failed, -q says nothing at all.
    const TRun quiet = Run({"-q", "-p", preset, File("photos/p0.bmp"), "-o", File("out2")});
    EXPECT_SUCCESS(quiet);
}

TEST_F(RenderBatchTest, ABatchThatWouldLoseAPhotoOrCannotStartWritesNothing)
{
    PutPhotos(2, 30, 20);
    const std::string preset = PutSettings("s.set", Settings());
    const std::set<std::string> before = Files();
    const std::vector<std::vector<std::string>> cases = {
        {"-p", preset, File("photos"), "-o", File("photos"), "--format", "bmp"},
        {"-p", preset, File("photos/p0.bmp"), File("p0.jpg"), "-o", File("out")},
        {"-p", File("missing.set"), File("photos"), "-o", File("out")},
        {"-p", preset, File("empty"), "-o", File("out")},
        {"-p", preset, File("photos"), "-o", File("photos/p1.jpg")},
        {"-p", preset, File("photos"), "-o", File("out"), "--format", "tif"},
        {"-p", preset, File("photos"), "-o", File("out"), "--sketch-out", File("s.bmp")},
        {"-p", preset, File("photos"), "--skip-existing", File("x.jpg")},
        {"-p", preset, File("photos"), "-o", File("out"), "--jobs", "0"},
        {"-p", preset, File("photos"), "-o", File("out"), "--memory", "lots"},
    };
    PutFileBytes(File("p0.jpg"), "");
    fs::copy_file(File("photos/p1.jpg"), File("p0.jpg"), fs::copy_options::overwrite_existing);
    fs::create_directory(File("empty"));
    for (const auto& args : cases) {
        SCOPED_TRACE(CommandLine(args));
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
        EXPECT_EQ(run.Err.rfind("lumenquilla-render: ", 0), 0u) << run.Err;
    }
    std::set<std::string> after = before;
    after.insert({"p0.jpg", "empty"});
    EXPECT_EQ(Files(), after);
}

} // namespace
