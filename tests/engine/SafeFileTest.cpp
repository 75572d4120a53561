#include "SafeFile.h"
#include "FileError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("lq-safefile-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string Contents(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int FilesIn() const { return int(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
    fs::path dir;
};

TEST_F(SafeFile, ReplacesAnExistingFileAndKeepsItsMode)
{
    fs::path p = dir / "a.bin";
    std::ofstream(p) << "old";
    ::chmod(p.c_str(), 0640);
    WriteFileSafely(p, [](std::ostream& out) { out << "new content"; });
    EXPECT_EQ(Contents(p), "new content");
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesIn(), 1) << "no temporary file may stay behind";
}

TEST_F(SafeFile, AFailingWriterLeavesTheOldFileAndNoTemporary)
{
    fs::path p = dir / "a.bin";
    std::ofstream(p) << "old";
    EXPECT_THROW(WriteFileSafely(p,
                                 [](std::ostream& out) {
                                     out << "half";
                                     throw std::runtime_error("stop");
                                 }),
                 std::runtime_error);
    EXPECT_EQ(Contents(p), "old");
    EXPECT_EQ(FilesIn(), 1);
}

TEST_F(SafeFile, AStreamThatFailsIsReportedAndTheOldFileStays)
{
    fs::path p = dir / "a.bin";
    std::ofstream(p) << "old";
    EXPECT_THROW(WriteFileSafely(p, [](std::ostream& out) { out.setstate(std::ios::badbit); }), TFileError);
    EXPECT_EQ(Contents(p), "old");
    EXPECT_EQ(FilesIn(), 1);
}

TEST_F(SafeFile, WithoutTheDiskWaitTheFileIsStillReplacedOnlyWhenComplete)
{
    fs::path p = dir / "state.bin";
    std::ofstream(p) << "old";
    EXPECT_THROW(WriteFileSafely(
                     p,
                     [](std::ostream& out) {
                         out << "half";
                         throw std::runtime_error("stop");
                     },
                     false),
                 std::runtime_error);
    EXPECT_EQ(Contents(p), "old");
    EXPECT_THROW(WriteFileSafely(p, [](std::ostream& out) { out.setstate(std::ios::badbit); }, false), TFileError);
    EXPECT_EQ(Contents(p), "old");
    WriteFileSafely(p, [](std::ostream& out) { out << "new content"; }, false);
    EXPECT_EQ(Contents(p), "new content");
    EXPECT_EQ(FilesIn(), 1) << "no temporary file may stay behind";
}

TEST_F(SafeFile, AFolderThatIsAFileGivesAFileError)
{
    // Refused even for root, unlike a read-only folder.
    std::ofstream(dir / "plain") << "x";
    EXPECT_THROW(WriteFileSafely(dir / "plain" / "a.bin", [](std::ostream& out) { out << "x"; }), TFileError);
}

TEST_F(SafeFile, AMissingFolderGivesAFileErrorNamingThePath)
{
    fs::path p = dir / "missing" / "a.bin";
    try {
        WriteFileSafely(p, [](std::ostream& out) { out << "x"; });
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find(p.string()), std::string::npos) << e.what();
    }
}

TEST_F(SafeFile, WritingThroughASymbolicLinkKeepsTheLink)
{
    fs::path real = dir / "real.bin";
    fs::path link = dir / "link.bin";
    std::ofstream(real) << "old";
    fs::create_symlink(real, link);
    WriteFileSafely(link, [](std::ostream& out) { out << "new"; });
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(real), "new");
}

} // namespace
