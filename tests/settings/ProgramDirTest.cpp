#include "settings/ProgramDir.h"

#include "tests/settings/TempDir.h"

#include <cstdlib>
#include <filesystem>

namespace {

class ProgramDirTest : public TempDirTest {
protected:
    void TearDown() override
    {
        OverrideProgramDir("");
        if (savedXdg.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
        ::setenv("HOME", savedHome.c_str(), 1);
        TempDirTest::TearDown();
    }
    void SetUp() override
    {
        TempDirTest::SetUp();
        if (const char* xdg = std::getenv("XDG_DATA_HOME"))
            savedXdg = xdg;
        if (const char* home = std::getenv("HOME"))
            savedHome = home;
    }
    std::string savedXdg, savedHome;
};

TEST_F(ProgramDirTest, TheExecutablesDirectoryByDefault)
{
    // The test runs from the build's tests folder.
    EXPECT_EQ(std::filesystem::path(ProgramDir()).filename(), "tests");
    EXPECT_EQ(ProgramFile("x.set"), ProgramDir() + "/x.set");
}

TEST_F(ProgramDirTest, AnOverrideLosesItsTrailingSeparator)
{
    OverrideProgramDir(dir.string() + "//");
    EXPECT_EQ(ProgramDir(), dir.string());
    EXPECT_EQ(ProgramFile(DefaultSetName), dir.string() + "/default.set");
    // A writable program directory also takes the files the program writes,
    // and the user's presets.
    EXPECT_EQ(UserFile(OptionsFileName), dir.string() + "/options.dat");
    EXPECT_EQ(UserPresetFile(LastSetName), dir.string() + "/last.set");
}

TEST_F(ProgramDirTest, AProgramDirectoryThatCannotBeWrittenSendsWritesToTheUserDataFolder)
{
    // A directory that does not exist cannot be written, even by root.
    OverrideProgramDir((dir / "missing").string());
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    EXPECT_EQ(UserFile(HistoryFolderName), (dir / "data" / "lumenquilla" / "history").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "lumenquilla"));
    EXPECT_EQ(ProgramFile(DefaultSetName), (dir / "missing" / "default.set").string());
    // The user's own presets, last.set among them, have a folder of their own there.
    EXPECT_EQ(UserPresetFile(LastSetName), (dir / "data" / "lumenquilla" / "presets" / "last.set").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "lumenquilla" / "presets"));

    // Without XDG_DATA_HOME (or with a relative one, which the XDG base directory rules
    // say to ignore), the home folder's.
    ::setenv("HOME", (dir / "home").c_str(), 1);
    for (const char* xdg : {"", "relative/data"}) {
        ::setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(UserPresetsDir(), (dir / "home" / ".local" / "share" / "lumenquilla" / "presets").string()) << xdg;
    }
}

} // namespace
