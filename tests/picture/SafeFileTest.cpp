#include "picture/SafeFile.h"
#include "picture/FileError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>
#include <sys/wait.h>
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
    EXPECT_THROW(WriteFileSafely(
                     p, [](std::ostream& out) { out.setstate(std::ios::badbit); }, false),
                 TFileError);
    EXPECT_EQ(Contents(p), "old");
    WriteFileSafely(
        p, [](std::ostream& out) { out << "new content"; }, false);
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

TEST_F(SafeFile, ADanglingLinkIsFollowedAndItsTargetCreated)
{
    fs::path link = dir / "link.bin";
    fs::create_symlink("made.bin", link); // relative to the link's folder
    WriteFileSafely(link, [](std::ostream& out) { out << "new"; });
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(dir / "made.bin"), "new");
}

// Whatever is not a regular file is written into as it stands (a character
// device) or refused, never replaced by a file.
TEST_F(SafeFile, WhatIsNoRegularFileIsNeverReplaced)
{
    fs::create_symlink("/dev/null", dir / "null.bin");
    WriteFileSafely(dir / "null.bin", [](std::ostream& out) { out << "gone"; });
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(dir / "null.bin"));

    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink(dir / "pipe", dir / "to-pipe");
    fs::create_directory(dir / "folder");
    for (const char* name : {"pipe", "to-pipe", "folder"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(WriteFileSafely(dir / name, [](std::ostream& out) { out << "x"; }), TFileError);
    }
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(FilesIn(), 4);
}

// A temporary file left by a killed run is removed by the next write of
// that file; one of a program still running, or of another file, stays.
TEST_F(SafeFile, TemporariesOfEndedRunsAreRemovedByTheNextWrite)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string ended = ".a.bin.lumenquilla-" + std::to_string(child) + "-Ab12Cd";
    const std::string running = ".a.bin.lumenquilla-" + std::to_string(::getppid()) + "-Ab12Cd";
    const std::string other = ".b.bin.lumenquilla-" + std::to_string(child) + "-Ab12Cd";
    for (const std::string& name : {ended, running, other})
        std::ofstream(dir / name) << "partial";
    WriteFileSafely(dir / "a.bin", [](std::ostream& out) { out << "new"; });
    EXPECT_FALSE(fs::exists(dir / ended));
    EXPECT_TRUE(fs::exists(dir / running));
    EXPECT_TRUE(fs::exists(dir / other));
    EXPECT_EQ(Contents(dir / "a.bin"), "new");
}

// A program killed in the middle of a write leaves its temporary file; with
// a journal, the next run finds it through the note and removes it (and the
// note), while the notes of writes still going on stay. Without a journal
// nothing is noted.
TEST_F(SafeFile, ALaterRunRemovesWhatAKilledWriteLeft)
{
    const fs::path journal = dir / "journal";
    std::ofstream(dir / "a.bin") << "old";
    const pid_t child = ::fork();
    if (child == 0) {
        SetWriteJournal(journal.string());
        WriteFileSafely((dir / "a.bin").string(), [](std::ostream& out) {
            out << "half of it" << std::flush;
            ::_exit(0); // killed here
        });
        ::_exit(1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(FilesIn(), 3) << "the file, its temporary and the journal";
    ASSERT_EQ(std::distance(fs::directory_iterator(journal), fs::directory_iterator()), 1);

    // A write of this run, still going on when the next start looks.
    SetWriteJournal(journal.string());
    TStagedFile ongoing((dir / "b.bin").string());
    ongoing.Write([](std::ostream& out) { out << "b"; });
    RemoveLeftoverWrites(journal.string());
    EXPECT_EQ(Contents(dir / "a.bin"), "old");
    EXPECT_EQ(FilesIn(), 3) << "a.bin, the journal and the temporary of b.bin";
    EXPECT_EQ(std::distance(fs::directory_iterator(journal), fs::directory_iterator()), 1);
    ongoing.Commit();
    EXPECT_TRUE(fs::is_empty(journal)) << "a finished write takes its note away";

    SetWriteJournal({});
    WriteFileSafely((dir / "c.bin").string(), [](std::ostream& out) { out << "c"; });
    EXPECT_TRUE(fs::is_empty(journal));
}

// Staged files replace their old files only on Commit: several can be
// written completely first, and those never committed leave nothing.
TEST_F(SafeFile, StagedFilesReplaceTheOldOnesOnlyWhenCommitted)
{
    std::ofstream(dir / "a.bin") << "old a";
    std::ofstream(dir / "b.bin") << "old b";
    {
        TStagedFile a((dir / "a.bin").string()), b((dir / "b.bin").string());
        a.Write([](std::ostream& out) { out << "new a"; });
        b.Write([](std::ostream& out) { out << "new b"; });
        EXPECT_EQ(Contents(dir / "a.bin"), "old a");
        EXPECT_EQ(FilesIn(), 4);
    }
    EXPECT_EQ(Contents(dir / "a.bin"), "old a");
    EXPECT_EQ(Contents(dir / "b.bin"), "old b");
    EXPECT_EQ(FilesIn(), 2);

    TStagedFile a((dir / "a.bin").string()), b((dir / "b.bin").string());
    a.Write([](std::ostream& out) { out << "new a"; });
    b.Write([](std::ostream& out) { out << "new b"; });
    a.Commit();
    b.Commit();
    EXPECT_EQ(Contents(dir / "a.bin"), "new a");
    EXPECT_EQ(Contents(dir / "b.bin"), "new b");
    EXPECT_EQ(FilesIn(), 2);
}

} // namespace
