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
        TempDirTest::TearDown();
    }
    void SetUp() override
    {
        TempDirTest::SetUp();
        if (const char* xdg = std::getenv("XDG_DATA_HOME"))
            savedXdg = xdg;
    }
    std::string savedXdg;
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
    // A writable program directory also takes the files the program writes.
    EXPECT_EQ(UserFile(OptionsFileName), dir.string() + "/options.dat");
}

TEST_F(ProgramDirTest, AProgramDirectoryThatCannotBeWrittenSendsWritesToTheUserDataFolder)
{
    // A directory that does not exist cannot be written, even by root.
    OverrideProgramDir((dir / "missing").string());
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    EXPECT_EQ(UserFile(HistoryFolderName), (dir / "data" / "lumenquilla" / "history").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data" / "lumenquilla"));
    EXPECT_EQ(ProgramFile(DefaultSetName), (dir / "missing" / "default.set").string());
}

} // namespace
