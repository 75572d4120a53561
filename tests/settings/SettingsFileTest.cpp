#include "settings/SettingsFile.h"

#include "tests/settings/TempDir.h"

#include <cstring>
#include <memory>

namespace {

// Fields of packed records are compared as values (unary +): the test
// macros take references, which a packed field cannot safely bind.

// A record whose every byte differs from its neighbours, so that a misplaced
// byte shows.
std::unique_ptr<TEffectSettings> Sample()
{
    auto s = std::make_unique<TEffectSettings>();
    auto* bytes = reinterpret_cast<unsigned char*>(s.get());
    for (std::size_t i = 0; i < sizeof *s; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    s->ScanFromOrigin = 1;
    s->WhiteLevel = 200;
    return s;
}

using SettingsFile = TempDirTest;

TEST_F(SettingsFile, ASavedRecordIsItsByteImageWithoutThePicturePlaceholder)
{
    auto s = Sample();
    ASSERT_TRUE(WriteSettingsFile(PathOf("a.set"), *s));
    std::vector<unsigned char> file = Bytes(PathOf("a.set"));
    ASSERT_EQ(file.size(), 18430u);
    EXPECT_EQ(Int32At(file, 0), 0);
    EXPECT_EQ(Int32At(file, 53), 1);
    EXPECT_EQ(Int32At(file, 18426), 200);
    EXPECT_EQ(std::memcmp(file.data() + 4, reinterpret_cast<const char*>(s.get()) + 4, 18426), 0);
    EXPECT_EQ(s->Source[0], 3) << "the caller's record keeps its placeholder";

    auto back = std::make_unique<TEffectSettings>();
    ASSERT_TRUE(ReadSettingsFile(PathOf("a.set"), *back));
    std::memset(s->Source, 0, 4);
    EXPECT_EQ(std::memcmp(back.get(), s.get(), sizeof *s), 0);

    // Saving over a longer file leaves exactly the record.
    WriteBytes(PathOf("b.set"), std::vector<unsigned char>(30000, 0xFF));
    ASSERT_TRUE(WriteSettingsFile(PathOf("b.set"), *s));
    EXPECT_EQ(Bytes(PathOf("b.set")).size(), 18430u);
}

TEST_F(SettingsFile, MissingAndShortFiles)
{
    auto s = Sample();
    EXPECT_FALSE(ReadSettingsFile(PathOf("missing.set"), *s));
    EXPECT_FALSE(ReadSettingsFile(dir.string(), *s)) << "a folder is not a settings file";
    EXPECT_EQ(std::memcmp(s.get(), Sample().get(), sizeof *s), 0);

    // 26 bytes end inside Detail: only the bytes the file holds change.
    std::vector<unsigned char> file(26, 0);
    file[20] = 1;
    file[24] = 0x10;
    file[25] = 0x27;
    WriteBytes(PathOf("short.set"), file);
    std::int32_t detail = s->Detail;
    ASSERT_TRUE(ReadSettingsFile(PathOf("short.set"), *s));
    EXPECT_EQ(+s->Left, 0);
    EXPECT_EQ(+s->SketchType, 1);
    EXPECT_EQ(+s->Detail, (detail & ~0xFFFF) | 0x2710);
    auto tail = [](const TEffectSettings& r) { return reinterpret_cast<const char*>(&r) + 28; };
    EXPECT_EQ(std::memcmp(tail(*s), tail(*Sample()), sizeof *s - 28), 0);
}

TEST_F(SettingsFile, AFileThatCannotBeCreatedIsNotWritten)
{
    auto s = Sample();
    WriteBytes(PathOf("plain"), {1, 2, 3});
    EXPECT_FALSE(WriteSettingsFile(PathOf("missing/a.set"), *s));
    EXPECT_FALSE(WriteSettingsFile(PathOf("plain/a.set"), *s));
    EXPECT_FALSE(WriteColorTableFile(PathOf("missing/a.ctb"), s->ColorTable));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_EQ(Bytes(PathOf("plain")).size(), 3u);
}

TEST_F(SettingsFile, AColoursTableFileIsTheTableBlockOfASettingsFile)
{
    auto s = Sample();
    ASSERT_TRUE(WriteSettingsFile(PathOf("a.set"), *s));
    ASSERT_TRUE(WriteColorTableFile(PathOf("a.ctb"), s->ColorTable));
    std::vector<unsigned char> set = Bytes(PathOf("a.set")), ctb = Bytes(PathOf("a.ctb"));
    ASSERT_EQ(ctb.size(), 18319u);
    EXPECT_TRUE(std::equal(ctb.begin(), ctb.end(), set.begin() + 107));

    // Read back over the table only; a short file replaces its leading bytes.
    WriteBytes(PathOf("short.ctb"), {9, 8});
    ASSERT_TRUE(ReadColorTableFile(PathOf("short.ctb"), s->ColorTable));
    EXPECT_EQ(s->ColorTable[0], 9);
    EXPECT_EQ(s->ColorTable[2], Sample()->ColorTable[2]);
    EXPECT_EQ(+s->Opacity, +Sample()->Opacity);
    EXPECT_FALSE(ReadColorTableFile(PathOf("missing.ctb"), s->ColorTable));
    EXPECT_EQ(s->ColorTable[0], 9);
}

// An empty file or one longer than a record is no preset: the record stays
// as it was and the caller gets a sentence to show.
TEST_F(SettingsFile, AnEmptyOrOverLongFileIsRefusedWithAReason)
{
    auto s = Sample();
    ASSERT_TRUE(WriteSettingsFile(PathOf("whole.set"), *s));
    std::vector<unsigned char> whole = Bytes(PathOf("whole.set"));
    std::vector<unsigned char> longer = whole;
    longer.push_back(0);
    WriteBytes(PathOf("empty.set"), {});
    WriteBytes(PathOf("long.set"), longer);

    const struct {
        const char* Name;
        const char* Reason;
    } refused[] = {{"empty.set", "is empty"}, {"long.set", "is not a settings file"}};
    for (const auto& c : refused) {
        SCOPED_TRACE(c.Name);
        auto record = std::make_unique<TEffectSettings>();
        std::memset(record.get(), 0x5A, sizeof *record);
        std::string problem;
        EXPECT_FALSE(ReadSettingsFile(PathOf(c.Name), *record, &problem));
        EXPECT_NE(problem.find(PathOf(c.Name)), std::string::npos) << problem;
        EXPECT_NE(problem.find(c.Reason), std::string::npos) << problem;
        EXPECT_EQ(+record->Detail, 0x5A5A5A5A) << "the record must stay as it was";
    }

    auto record = Sample();
    std::string problem;
    EXPECT_FALSE(ReadSettingsFile(PathOf("missing.set"), *record, &problem));
    EXPECT_EQ(problem, "") << "a missing file is the caller's to report";
}

} // namespace
