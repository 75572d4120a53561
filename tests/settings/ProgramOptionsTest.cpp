#include "ProgramOptions.h"

#include "TempDir.h"

#include <cstring>

namespace {

// Fields of packed records are compared as values (unary +): the test
// macros take references, which a packed field cannot safely bind.

using ProgramOptions = TempDirTest;

TProgramOptions Chosen()
{
    TProgramOptions o;
    o.PreviewSizeMode = 2;
    o.CustomWidth = 800;
    o.CustomHeight = 600;
    o.HistoryStates = 7;
    o.LastTop = 10;
    o.LastLeft = 20;
    o.LastWidth = 700;
    o.LastHeight = 500;
    return o;
}

TEST_F(ProgramOptions, AFreshRecordHoldsTheDefaults)
{
    TProgramOptions o;
    EXPECT_EQ(+o.PreviewSizeMode, 0);
    EXPECT_EQ(+o.CustomWidth, 459);
    EXPECT_EQ(+o.CustomHeight, 451);
    EXPECT_EQ(+o.HistoryStates, 50);
    EXPECT_EQ(o.LastTop | o.LastLeft | o.LastWidth | o.LastHeight, 0);
}

TEST_F(ProgramOptions, WithoutAFileTheDefaultsApplyAndTheLastRectangleStays)
{
    TProgramOptions o = Chosen();
    EXPECT_FALSE(LoadOptions(PathOf("options.dat"), o));
    EXPECT_EQ(+o.PreviewSizeMode, 0);
    EXPECT_EQ(+o.CustomWidth, 459);
    EXPECT_EQ(+o.CustomHeight, 451);
    EXPECT_EQ(+o.HistoryStates, 50);
    EXPECT_EQ(+o.LastTop, 10);
    EXPECT_EQ(+o.LastLeft, 20);
    EXPECT_EQ(+o.LastWidth, 700);
    EXPECT_EQ(+o.LastHeight, 500);
}

TEST_F(ProgramOptions, TheFileIsAlwaysThirtyTwoLittleEndianBytes)
{
    std::string path = PathOf("options.dat");
    WriteBytes(path, std::vector<unsigned char>(100, 0xEE));
    ASSERT_TRUE(SaveOptions(path, Chosen()));
    std::vector<unsigned char> bytes = Bytes(path);
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(Int32At(bytes, 0), 2);
    EXPECT_EQ(Int32At(bytes, 4), 800);
    EXPECT_EQ(Int32At(bytes, 8), 600);
    EXPECT_EQ(Int32At(bytes, 12), 7);
    EXPECT_EQ(Int32At(bytes, 16), 10);
    EXPECT_EQ(Int32At(bytes, 20), 20);
    EXPECT_EQ(Int32At(bytes, 24), 700);
    EXPECT_EQ(Int32At(bytes, 28), 500);
    EXPECT_EQ(bytes[24], 700 & 0xFF);

    TProgramOptions back;
    ASSERT_TRUE(LoadOptions(path, back));
    EXPECT_EQ(std::memcmp(&back, &bytes[0], 32), 0);
}

TEST_F(ProgramOptions, AShortFileReplacesOnlyTheWholeLeadingFields)
{
    // 14 bytes: PreviewSizeMode, CustomWidth, CustomHeight and half of HistoryStates.
    std::vector<unsigned char> file(14, 0);
    file[0] = 1;
    file[4] = 0x20;
    file[5] = 0x03; // 800
    file[8] = 0x58;
    file[9] = 0x02; // 600
    file[12] = 0xFF;
    file[13] = 0xFF;
    std::string path = PathOf("options.dat");
    WriteBytes(path, file);

    TProgramOptions o = Chosen();
    ASSERT_TRUE(LoadOptions(path, o));
    EXPECT_EQ(+o.PreviewSizeMode, 1);
    EXPECT_EQ(+o.CustomWidth, 800);
    EXPECT_EQ(+o.CustomHeight, 600);
    EXPECT_EQ(+o.HistoryStates, 7) << "a field cut off by the end of the file keeps its value";
    EXPECT_EQ(+o.LastWidth, 700);
}

TEST_F(ProgramOptions, ALongerFileGivesOnlyTheFirstThirtyTwoBytes)
{
    std::vector<unsigned char> file(40, 0);
    file[12] = 9;
    file[32] = 0x77;
    std::string path = PathOf("options.dat");
    WriteBytes(path, file);
    TProgramOptions o = Chosen();
    ASSERT_TRUE(LoadOptions(path, o));
    EXPECT_EQ(+o.HistoryStates, 9);
    EXPECT_EQ(+o.LastHeight, 0);
}

TEST_F(ProgramOptions, AFileThatCannotBeCreatedIsNotWritten)
{
    EXPECT_FALSE(SaveOptions(PathOf("missing/options.dat"), Chosen()));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

} // namespace
