#include "SettingsFile.h"

#include "TempDir.h"

#include <cstring>
#include <memory>

namespace {

// Fields of packed records are compared as values (unary +): the test
// macros take references, which a packed field cannot safely bind.

// A record with a different value in every field, so that a misplaced field
// shows up as a wrong byte.
std::unique_ptr<TEffectSettings> SampleSettings()
{
    auto s = std::make_unique<TEffectSettings>();
    std::memset(s.get(), 0, sizeof *s);
    std::memset(s->Source, 0xAB, sizeof s->Source);
    s->Left = 11;
    s->Top = 12;
    s->Width = 640;
    s->Height = -480;
    s->SketchType = 2;
    s->Detail = 115;
    s->Darkness = 68;
    s->SketchSmooth = 15;
    s->Sharper = 7;
    s->RemainDark = 1;
    s->RemainThreshold = 254;
    s->RemainDarkness = 0x01020304;
    s->ScaleType = 2;
    s->ScanFromOrigin = 1;
    s->SmoothType = 1;
    s->ColorScale = 142;
    s->ColorSmooth = 19;
    s->BorderBlur = 100;
    s->Brightness = -255;
    s->Contrast = 255;
    s->Saturation = -127;
    s->Red = -1;
    s->Green = 2;
    s->Blue = -3;
    s->DrawSketch = 1;
    s->DrawColor = 2; // any non-zero byte counts as set and must survive as it is
    s->BlendMode = 2;
    s->Opacity = 99;
    for (int i = 0; i < ColorTableSize; ++i)
        s->ColorTable[i] = std::uint8_t(i * 7 + 3);
    s->WhiteLevel = 200;
    return s;
}

using SettingsFile = TempDirTest;

TEST_F(SettingsFile, ASavedRecordIsTheExactByteImage)
{
    auto s = SampleSettings();
    std::string path = PathOf("a.set");
    ASSERT_TRUE(WriteSettingsFile(path, *s));

    std::vector<unsigned char> bytes = Bytes(path);
    ASSERT_EQ(bytes.size(), 18430u);
    EXPECT_EQ(Int32At(bytes, 0), 0) << "the picture placeholder is not stored";
    EXPECT_EQ(Int32At(bytes, 16), -480);
    EXPECT_EQ(Int32At(bytes, 20), 2);
    EXPECT_EQ(Int32At(bytes, 24), 115);
    EXPECT_EQ(bytes[40], 1);
    EXPECT_EQ(Int32At(bytes, 45), 0x01020304);
    EXPECT_EQ(bytes[45], 0x04) << "little-endian";
    EXPECT_EQ(Int32At(bytes, 53), 1);
    EXPECT_EQ(Int32At(bytes, 61), 142);
    EXPECT_EQ(Int32At(bytes, 73), -255);
    EXPECT_EQ(Int32At(bytes, 93), -3);
    EXPECT_EQ(bytes[97], 1);
    EXPECT_EQ(bytes[98], 2);
    EXPECT_EQ(Int32At(bytes, 99), 2);
    EXPECT_EQ(Int32At(bytes, 103), 99);
    EXPECT_EQ(bytes[107], 3);
    EXPECT_EQ(bytes[107 + 18318], std::uint8_t(18318 * 7 + 3)) << "the spare byte travels with the table";
    EXPECT_EQ(Int32At(bytes, 18426), 200);
    // The caller's record keeps its placeholder.
    EXPECT_EQ(s->Source[0], 0xAB);
}

TEST_F(SettingsFile, ReadingASavedFileGivesTheRecordBack)
{
    auto s = SampleSettings();
    std::string path = PathOf("a.set");
    ASSERT_TRUE(WriteSettingsFile(path, *s));
    auto back = std::make_unique<TEffectSettings>();
    std::memset(back.get(), 0x55, sizeof *back);
    ASSERT_TRUE(ReadSettingsFile(path, *back));
    std::memset(s->Source, 0, sizeof s->Source);
    EXPECT_EQ(std::memcmp(back.get(), s.get(), sizeof *s), 0);
}

TEST_F(SettingsFile, AMissingFileIsNotReadAndChangesNothing)
{
    auto s = SampleSettings();
    auto before = SampleSettings();
    EXPECT_FALSE(ReadSettingsFile(PathOf("missing.set"), *s));
    EXPECT_FALSE(ReadSettingsFile(dir.string(), *s)) << "a folder is not a settings file";
    EXPECT_EQ(std::memcmp(s.get(), before.get(), sizeof *s), 0);
}

TEST_F(SettingsFile, AShortFileReplacesOnlyTheLeadingBytes)
{
    // 26 bytes: Source, Left..Height, SketchType and half of Detail.
    std::vector<unsigned char> file(26, 0);
    file[20] = 1;             // SketchType 1
    file[24] = 0x10;          // low bytes of Detail
    file[25] = 0x27;
    std::string path = PathOf("short.set");
    WriteBytes(path, file);

    auto s = SampleSettings();
    s->Detail = 0x7F000000 | 115;
    ASSERT_TRUE(ReadSettingsFile(path, *s));
    EXPECT_EQ(+s->Left, 0);
    EXPECT_EQ(+s->SketchType, 1);
    EXPECT_EQ(+s->Detail, 0x7F002710) << "only the bytes in the file change";
    EXPECT_EQ(+s->Darkness, 68);
    EXPECT_EQ(+s->WhiteLevel, 200);
    EXPECT_EQ(s->ColorTable[5], std::uint8_t(5 * 7 + 3));

    WriteBytes(path, {});
    auto empty = SampleSettings();
    EXPECT_TRUE(ReadSettingsFile(path, *empty)) << "an empty file exists and is read";
    EXPECT_EQ(std::memcmp(empty.get(), SampleSettings().get(), sizeof *empty), 0);
}

TEST_F(SettingsFile, ALongerFileGivesOnlyTheRecordsBytes)
{
    std::vector<unsigned char> file(20000, 0x01);
    std::string path = PathOf("long.set");
    WriteBytes(path, file);
    auto s = SampleSettings();
    ASSERT_TRUE(ReadSettingsFile(path, *s));
    EXPECT_EQ(+s->WhiteLevel, 0x01010101);
}

TEST_F(SettingsFile, SavingReplacesALongerFileWhole)
{
    std::string path = PathOf("a.set");
    WriteBytes(path, std::vector<unsigned char>(30000, 0xFF));
    ASSERT_TRUE(WriteSettingsFile(path, *SampleSettings()));
    EXPECT_EQ(Bytes(path).size(), 18430u);
}

TEST_F(SettingsFile, AFileThatCannotBeCreatedIsNotWritten)
{
    auto s = SampleSettings();
    EXPECT_FALSE(WriteSettingsFile(PathOf("missing/a.set"), *s));
    WriteBytes(PathOf("plain"), {1, 2, 3});
    EXPECT_FALSE(WriteSettingsFile(PathOf("plain/a.set"), *s));
    EXPECT_FALSE(WriteColorTableFile(PathOf("missing/a.ctb"), s->ColorTable));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_EQ(Bytes(PathOf("plain")).size(), 3u);
}

TEST_F(SettingsFile, AColoursTableFileIsTheTableBlockOfASettingsFile)
{
    auto s = SampleSettings();
    ASSERT_TRUE(WriteSettingsFile(PathOf("a.set"), *s));
    ASSERT_TRUE(WriteColorTableFile(PathOf("a.ctb"), s->ColorTable));
    std::vector<unsigned char> set = Bytes(PathOf("a.set"));
    std::vector<unsigned char> ctb = Bytes(PathOf("a.ctb"));
    ASSERT_EQ(ctb.size(), 18319u);
    EXPECT_TRUE(std::equal(ctb.begin(), ctb.end(), set.begin() + 107));
    EXPECT_EQ(set.size() - 107 - ctb.size(), 4u) << "only WhiteLevel follows the table";
}

TEST_F(SettingsFile, AColoursTableIsReadOverTheTableOnly)
{
    auto s = SampleSettings();
    std::string path = PathOf("a.ctb");
    std::vector<unsigned char> file(ColorTableSize + 10, 0x42);
    WriteBytes(path, file);
    ASSERT_TRUE(ReadColorTableFile(path, s->ColorTable));
    EXPECT_EQ(s->ColorTable[0], 0x42);
    EXPECT_EQ(s->ColorTable[ColorTableSize - 1], 0x42);
    EXPECT_EQ(+s->Opacity, 99) << "the bytes before the table stay";
    EXPECT_EQ(+s->WhiteLevel, 200) << "the bytes after the table stay";

    WriteBytes(path, {9, 8});
    ASSERT_TRUE(ReadColorTableFile(path, s->ColorTable));
    EXPECT_EQ(s->ColorTable[0], 9);
    EXPECT_EQ(s->ColorTable[1], 8);
    EXPECT_EQ(s->ColorTable[2], 0x42) << "a short table file replaces only its leading bytes";

    EXPECT_FALSE(ReadColorTableFile(PathOf("missing.ctb"), s->ColorTable));
    EXPECT_EQ(s->ColorTable[0], 9);
}

} // namespace
