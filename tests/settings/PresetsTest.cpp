#include "settings/Presets.h"

#include "picture/FileError.h"
#include "settings/ProgramDir.h"
#include "settings/SettingsFile.h"
#include "tests/settings/TempDir.h"

#include <memory>

namespace {

class Presets : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        OverrideProgramDir(dir.string());
    }
    void TearDown() override
    {
        OverrideProgramDir("");
        TempDirTest::TearDown();
    }
};

TEST_F(Presets, TheFixedNamesAreFilesBesideTheProgramAndAnythingElseAPath)
{
    for (const char* name : {"cartoon", "sketch", "linedrawing", "canvas", "default"})
        EXPECT_EQ(PresetPath(name), PathOf(std::string(name) + ".set")) << name;
    // The folder is writable, so the preview's last settings are beside the program too.
    EXPECT_EQ(PresetPath("last"), PathOf("last.set"));
    for (const char* path : {"Cartoon", "cartoon.set", "./cartoon", "/tmp/mine.set", "sketches"})
        EXPECT_EQ(PresetPath(path), path);
}

TEST_F(Presets, AMissingPresetIsAnErrorNamingTheFile)
{
    try {
        ReadPresetRecord(PresetPath("canvas"));
        FAIL() << "a missing preset must not read as a record";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find(PathOf("canvas.set")), std::string::npos) << e.what();
    }
}

TEST_F(Presets, WideningCoversTheWholePictureAndNothingElse)
{
    auto settings = std::make_unique<TEffectSettings>();
    settings->Left = 7;
    settings->Top = 9;
    settings->Width = 11;
    settings->Height = 13;
    settings->Detail = 42;
    WidenToPicture(*settings, TBitmap(300, 200));
    EXPECT_EQ(+settings->Left, 0);
    EXPECT_EQ(+settings->Top, 0);
    EXPECT_EQ(+settings->Width, 300);
    EXPECT_EQ(+settings->Height, 200);
    EXPECT_EQ(+settings->Detail, 42);
}

} // namespace
