#include "settings/ProgramOptions.h"

#include "tests/settings/TempDir.h"

#include <cstring>

namespace {

// Fields of packed records are compared as values (unary +): the test
// macros take references, which a packed field cannot safely bind.

using ProgramOptions = TempDirTest;

TProgramOptions Chosen() { return {2, 800, 600, 7, 10, 20, 700, 500}; }

TEST_F(ProgramOptions, WithoutAFileTheDefaultsApplyAndTheLastRectangleStays)
{
    TProgramOptions o = Chosen();
    EXPECT_FALSE(LoadOptions(PathOf("options.dat"), o));
    EXPECT_EQ(+o.PreviewSizeMode, 0);
    EXPECT_EQ(+o.CustomWidth, 459);
    EXPECT_EQ(+o.CustomHeight, 451);
    EXPECT_EQ(+o.HistoryStates, 50);
    EXPECT_EQ(+o.LastTop, 10);
    EXPECT_EQ(+o.LastHeight, 500);
}

TEST_F(ProgramOptions, TheFileIsAlwaysThirtyTwoLittleEndianBytes)
{
    WriteBytes(PathOf("options.dat"), std::vector<unsigned char>(100, 0xEE));
    ASSERT_TRUE(SaveOptions(PathOf("options.dat"), Chosen()));
    std::vector<unsigned char> file = Bytes(PathOf("options.dat"));
    ASSERT_EQ(file.size(), 32u);
    const std::int32_t expected[8] = {2, 800, 600, 7, 10, 20, 700, 500};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Int32At(file, std::size_t(i) * 4), expected[i]) << "offset " << i * 4;

    TProgramOptions back{};
    ASSERT_TRUE(LoadOptions(PathOf("options.dat"), back));
    EXPECT_EQ(+back.LastWidth, 700);
    EXPECT_FALSE(SaveOptions(PathOf("missing/options.dat"), Chosen()));
}

TEST_F(ProgramOptions, AShortFileReplacesOnlyTheWholeFieldsItHolds)
{
    // 14 bytes: three fields and half of HistoryStates.
    std::vector<unsigned char> file(14, 0);
    file[0] = 1;
    file[4] = 0x20, file[5] = 0x03; // 800
    file[12] = 0xFF, file[13] = 0xFF;
    WriteBytes(PathOf("options.dat"), file);
    TProgramOptions o = Chosen();
    ASSERT_TRUE(LoadOptions(PathOf("options.dat"), o));
    EXPECT_EQ(+o.PreviewSizeMode, 1);
    EXPECT_EQ(+o.CustomWidth, 800);
    EXPECT_EQ(+o.CustomHeight, 0);
    EXPECT_EQ(+o.HistoryStates, 7) << "a field cut off by the end of the file keeps its value";
    EXPECT_EQ(+o.LastWidth, 700);
}

} // namespace

namespace {

TEST_F(ProgramOptions, TheEditorsOwnOptionsFollowTheRecordOnlyWhenSet)
{
    const std::string path = PathOf("options.dat");
    // All default: the file stays the plain 32 bytes.
    ASSERT_TRUE(SaveOptions(path, Chosen(), TProgramOptionsExtra{}));
    EXPECT_EQ(Bytes(path).size(), 32u);
    TProgramOptionsExtra extra{true, "/home/ana/Photos/été"};
    EXPECT_FALSE(LoadOptionsExtra(path, extra));
    EXPECT_EQ(extra, TProgramOptionsExtra{});

    const TProgramOptionsExtra chosen{true, "/home/ana/Photos/été"};
    ASSERT_TRUE(SaveOptions(path, Chosen(), chosen));
    EXPECT_EQ(Bytes(path).size(), 32u + 8 + chosen.LastOpenDirectory.size());
    TProgramOptions o;
    ASSERT_TRUE(LoadOptions(path, o));
    EXPECT_EQ(+o.LastHeight, 500);
    TProgramOptionsExtra read;
    ASSERT_TRUE(LoadOptionsExtra(path, read));
    EXPECT_EQ(read, chosen);

    // A length that runs past the end of the file keeps only the flag.
    std::vector<unsigned char> bytes = Bytes(path);
    bytes.resize(bytes.size() - 3);
    WriteBytes(path, bytes);
    ASSERT_TRUE(LoadOptionsExtra(path, read));
    EXPECT_TRUE(read.FitLargePictures);
    EXPECT_TRUE(read.LastOpenDirectory.empty());
}

} // namespace

namespace {

TEST(ProgramOptionsLimits, NumbersGoToTheNearestLimitAndAnUnknownModeToCustom)
{
    using L = TProgramOptionsLimits;
    struct TCase {
        TProgramOptions Stored, Limited;
    };
    const TCase cases[] = {
        {{2, 800, 600, 7, 10, 20, 700, 500}, {2, 800, 600, 7, 10, 20, 700, 500}},
        {{1, L::MinPreviewSize, L::MaxPreviewSize, L::MaxHistoryStates, 0, 0, 0, 0},
         {1, L::MinPreviewSize, L::MaxPreviewSize, L::MaxHistoryStates, 0, 0, 0, 0}},
        // The Last rectangle is the preview's to judge against the screen.
        {{9, 5, 100000, -7, -1, -2, 99999, -4}, {0, L::MinPreviewSize, L::MaxPreviewSize, 0, -1, -2, 99999, -4}},
        {{-1, L::MinPreviewSize - 1, L::MaxPreviewSize + 1, L::MaxHistoryStates + 1, 0, 0, 0, 0},
         {0, L::MinPreviewSize, L::MaxPreviewSize, L::MaxHistoryStates, 0, 0, 0, 0}},
        {{PreviewSizeModeCount, 459, 451, 50, 0, 0, 0, 0}, {0, 459, 451, 50, 0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        const TProgramOptions limited = LimitedOptions(c.Stored);
        EXPECT_EQ(std::memcmp(&limited, &c.Limited, sizeof limited), 0)
            << "stored mode " << +c.Stored.PreviewSizeMode << ", width " << +c.Stored.CustomWidth;
    }
}

} // namespace
