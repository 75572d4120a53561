// Which photos a batch takes from the inputs, what their outputs are called,
// which plans are refused before anything is written, and when an output
// counts as up to date.
#include "batch/BatchPlan.h"
#include "picture/FileError.h"
#include "tests/picture/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

class BatchPlanTest : public testing::Test {
protected:
    std::string At(const std::string& name) const { return folder_.File(name); }

    // Files with any content: the plan reads names, and content only of a
    // file named without a picture's extension.
    void Put(const std::string& name, const std::string& content = "x")
    {
        fs::create_directories(fs::path(At(name)).parent_path());
        PutFileBytes(At(name), content);
    }

    TBatchSettings Settings(const std::string& output = "out") const
    {
        TBatchSettings settings;
        settings.OutputFolder = At(output);
        return settings;
    }

    // Each item as "input -> output" below the folder, or "input: problem".
    std::vector<std::string> Lines(const TBatchPlan& plan) const
    {
        std::vector<std::string> lines;
        const std::string base = folder_.Path() + "/";
        auto local = [&](std::string path) { return path.rfind(base, 0) == 0 ? path.substr(base.size()) : path; };
        for (const TBatchItem& item : plan.Items)
            lines.push_back(item.Problem.empty() ? local(item.Input) + " -> " + local(item.Output)
                                                 : local(item.Input) + ": " + local(item.Problem));
        return lines;
    }

    TTempFolder folder_;
};

TEST_F(BatchPlanTest, FoldersGiveTheirPicturesByNameAndOutputsFollowTheSubfolders)
{
    Put("photos/b.JPG");
    Put("photos/a.png");
    Put("photos/notes.txt");
    Put("photos/.hidden.jpg");
    Put("photos/.lumenquilla-tmp/c.jpg");
    Put("photos/trip/day1/c.tiff");
    Put("photos/trip/d.heic");
    Put("loose/e.webp");
    Put("loose/photo-without-extension", std::string("\xFF\xD8\xFF\xE0", 4));
    Put("loose/p.p2c", "p2c");

    TBatchSettings flat = Settings();
    flat.Format = TFileKind::Png;
    flat.Suffix = "-cartoon";
    EXPECT_EQ(Lines(PlanBatch({At("photos"), At("loose/e.webp")}, flat)),
              (std::vector<std::string>{"photos/a.png -> out/a-cartoon.png", "photos/b.JPG -> out/b-cartoon.png",
                                        "loose/e.webp -> out/e-cartoon.png"}));

    TBatchSettings deep = Settings();
    deep.Recurse = true;
    EXPECT_EQ(Lines(PlanBatch({At("photos")}, deep)),
              (std::vector<std::string>{"photos/a.png -> out/a.jpg", "photos/b.JPG -> out/b.jpg",
                                        "photos/trip/d.heic -> out/trip/d.jpg",
                                        "photos/trip/day1/c.tiff -> out/trip/day1/c.jpg"}));

    // A file named is taken by its content too; one of no kind, or one that
    // is missing, is a photo that fails, not a reason to stop the batch.
    EXPECT_EQ(Lines(PlanBatch(
                  {At("loose/photo-without-extension"), At("photos/notes.txt"), At("gone.jpg"), At("loose/p.p2c")},
                  Settings())),
              (std::vector<std::string>{
                  "loose/photo-without-extension -> out/photo-without-extension.jpg",
                  "photos/notes.txt: photos/notes.txt is not a picture this program can read (JPEG, bitmap, PNG, "
                  "WebP, TIFF, HEIC or AVIF)",
                  "gone.jpg: gone.jpg does not exist",
                  "loose/p.p2c: loose/p.p2c is not a picture this program can read (JPEG, bitmap, PNG, WebP, TIFF, "
                  "HEIC or AVIF)"}));
}

TEST_F(BatchPlanTest, APhotoNamedTwiceCountsOnceAndTheOutputFolderIsNeverSearched)
{
    Put("photos/a.jpg");
    Put("photos/out/earlier.jpg");
    fs::create_symlink(At("photos/a.jpg"), At("link.jpg"));
    // A link back up the tree does not make the walk endless.
    fs::create_directory_symlink(At("photos"), At("photos/loop"));
    TBatchSettings settings = Settings("photos/out");
    settings.Recurse = true;
    EXPECT_EQ(
        Lines(PlanBatch({At("photos"), At("photos/a.jpg"), At("link.jpg"), At("./photos/../photos/a.jpg")}, settings)),
        (std::vector<std::string>{"photos/a.jpg -> photos/out/a.jpg"}));
}

TEST_F(BatchPlanTest, PlansThatWouldLoseAPhotoOrAnOutputAreRefused)
{
    Put("photos/a.jpg");
    Put("photos/a.png");
    Put("other/a.jpg");
    Put("photos/b.jpg");
    fs::create_symlink(At("photos/b.jpg"), At("b-x.jpg"));
    struct TCase {
        std::vector<std::string> Inputs;
        std::string Output, Suffix;
        TFileKind Format;
        std::string Error;
    };
    const TCase cases[] = {
        {{"photos/a.jpg"}, "photos", "", TFileKind::Jpeg, "the output of $/photos/a.jpg would be the photo itself"},
        {{"photos/a.png", "photos/a.jpg"},
         "photos",
         "",
         TFileKind::Jpeg,
         "the output of $/photos/a.png would replace the photo $/photos/a.jpg"},
        {{"photos/a.jpg", "other/a.jpg"},
         "out",
         "",
         TFileKind::Png,
         "$/photos/a.jpg and $/other/a.jpg would both be "
         "written to $/out/a.png"},
        {{"photos"},
         "out",
         "",
         TFileKind::Jpeg,
         "$/photos/a.jpg and $/photos/a.png would both be written to "
         "$/out/a.jpg"},
        // Through a link: the output would replace the photo it names.
        {{"photos/b.jpg"}, ".", "-x", TFileKind::Jpeg, "the output of $/photos/b.jpg would be the photo itself"},
        {{"nothing-here"}, "out", "", TFileKind::Jpeg, "no photos in"},
    };
    Put("nothing-here/notes.txt");
    for (const TCase& c : cases) {
        std::vector<std::string> inputs;
        for (const std::string& input : c.Inputs)
            inputs.push_back(At(input));
        SCOPED_TRACE(inputs.front() + " -> " + c.Output);
        TBatchSettings settings = Settings(c.Output);
        settings.Suffix = c.Suffix;
        settings.Format = c.Format;
        try {
            PlanBatch(inputs, settings);
            ADD_FAILURE() << "the plan was taken";
        } catch (const TFileError& e) {
            std::string expected = c.Error;
            for (std::size_t at; (at = expected.find('$')) != std::string::npos;)
                expected.replace(at, 1, folder_.Path());
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
            if (c.Error != "no photos in") {
                EXPECT_NE(std::string(e.what()).find("nothing was written"), std::string::npos);
            }
        }
    }
}

// With a suffix, files beside the photos that are the outputs of other photos
// are an earlier run's results; without one they may be photos, and the plan
// is refused rather than overwrite them.
TEST_F(BatchPlanTest, EarlierResultsBesideThePhotosAreNoPhotosWhenTheyCarryASuffix)
{
    Put("photos/a.jpg");
    Put("photos/a-c.jpg");
    Put("photos/b.png");
    TBatchSettings settings = Settings("photos");
    settings.Suffix = "-c";
    EXPECT_EQ(Lines(PlanBatch({At("photos")}, settings)),
              (std::vector<std::string>{"photos/a.jpg -> photos/a-c.jpg", "photos/b.png -> photos/b-c.jpg"}));
    // Named, it is a photo the user asked for, and another's output.
    EXPECT_THROW(PlanBatch({At("photos/a.jpg"), At("photos/a-c.jpg")}, settings), TFileError);
}

TEST_F(BatchPlanTest, AnOutputIsUpToDateWhenNewerThanItsPhotoAndThePreset)
{
    Put("a.jpg");
    Put("preset.set");
    Put("out/a.jpg");
    TBatchSettings settings = Settings();
    settings.PresetFile = At("preset.set");
    settings.SkipExisting = true;
    auto touch = [&](const std::string& name, long seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, At(name).c_str(), times, 0), 0);
    };
    struct TCase {
        long Photo, Preset, Output;
        bool NoEffect;
        bool UpToDate;
    };
    const TCase cases[] = {
        {100, 100, 200, false, true},  {100, 300, 200, false, false}, {300, 100, 200, false, false},
        {200, 100, 200, false, false}, {100, 300, 200, true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Photo) + " " + std::to_string(c.Preset) + " " + std::to_string(c.Output));
        touch("a.jpg", c.Photo);
        touch("preset.set", c.Preset);
        touch("out/a.jpg", c.Output);
        settings.NoEffect = c.NoEffect;
        const TBatchPlan plan = PlanBatch({At("a.jpg")}, settings);
        ASSERT_EQ(plan.Items.size(), 1u);
        EXPECT_EQ(plan.Items[0].UpToDate, c.UpToDate);
    }
    // A missing preset or output is never up to date.
    settings.NoEffect = false;
    fs::remove(At("preset.set"));
    EXPECT_FALSE(PlanBatch({At("a.jpg")}, settings).Items[0].UpToDate);
    settings.SkipExisting = false;
    PutFileBytes(At("preset.set"), "x");
    touch("preset.set", 1);
    EXPECT_FALSE(PlanBatch({At("a.jpg")}, settings).Items[0].UpToDate);
}

TEST(BatchFormat, OnlyPictureKindsWrittenAreFormats)
{
    const std::pair<const char*, TFileKind> cases[] = {
        {"jpg", TFileKind::Jpeg},   {"JPEG", TFileKind::Jpeg}, {"png", TFileKind::Png},    {"webp", TFileKind::WebP},
        {"bmp", TFileKind::Bitmap}, {"tif", TFileKind::None},  {"heic", TFileKind::None},  {"p2c", TFileKind::None},
        {".jpg", TFileKind::None},  {"", TFileKind::None},     {"x/jpg", TFileKind::None},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(BatchFormatNamed(name), kind) << name;
}

} // namespace
