#include "document/StateBands.h"

#include "picture/FileError.h"
#include "tests/document/PatternState.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// States written into a scratch folder as bands and an index, and read back.
class StateBands : public ::testing::Test {
protected:
    TTestFolder folder;
    std::set<TBandKey> present;

    std::vector<TBandKey> Write(const THistoryState& state, const std::string& index = "state")
    {
        std::vector<TBandKey> written;
        const TFolderWriter writeFile = [this](const std::string& name, const std::function<void(int)>& write) {
            const std::string part = folder.File(name + ".part");
            const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ASSERT_GE(fd, 0);
            write(fd);
            ::close(fd);
            fs::rename(part, folder.File(name));
        };
        WriteStateBands(writeFile, index, state, present, written, folder.Path());
        return written;
    }
    // Into `state`, whose buffers may hold pictures already.
    void ReadInto(THistoryState& state, const std::string& index = "state")
    {
        const int dir = ::open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
        const int fd = ::open(folder.File(index).c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        try {
            ReadStateBands(dir, fd, state, folder.File(index));
        } catch (...) {
            ::close(fd);
            ::close(dir);
            throw;
        }
        ::close(fd);
        ::close(dir);
    }
    THistoryState Read(const std::string& index = "state")
    {
        THistoryState state;
        ReadInto(state, index);
        return state;
    }
    int BandFiles() const
    {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            count += IsBandFileName(entry.path().filename().string());
        return count;
    }
};

void ExpectSame(const THistoryState& read, const THistoryState& state)
{
    EXPECT_SAME_PICTURE(read.Sketch, state.Sketch);
    EXPECT_SAME_PICTURE(read.Color, state.Color);
    EXPECT_SAME_PICTURE(read.Source, state.Source);
    EXPECT_EQ(read.Layers, state.Layers);
}

TEST_F(StateBands, ReadsBackWhatWasWritten)
{
    // Widths with every row padding, a photo of another size, empty pictures,
    // and pictures of many bands, the last one short.
    const int sizes[][4] = {{1, 1, 1, 1}, {3, 2, 5, 7},       {7, 1, 2, 9},      {0, 0, 0, 0},
                            {4, 4, 0, 0}, {2, 3001, 1, 5000}, {2000, 301, 3, 3}, {1, 1, 4000, 70}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        const THistoryState state = PatternState(size[0], size[1], size[2], size[3]);
        Write(state);
        ExpectSame(Read(), state);
    }
}

// A state that differs from one written before in one band adds that band
// alone; identical bands within a picture are one file.
TEST_F(StateBands, AChangedBandIsTheOnlyNewFile)
{
    const int width = 1000, height = 400; // bands of 87 rows
    ASSERT_EQ(BandRows(width), 87);
    THistoryState state = PatternState(width, height, width, height);
    state.Sketch = FilledPicture(width, height, 255, 255, 255);
    EXPECT_EQ(Write(state, "first").size(), 5u + 5u + 1u + 1u) << "white sketch: one full band and the short last";
    const int files = BandFiles();

    state.Sketch.ScanLine(200)[30] = 0; // the third band
    state.Color.ScanLine(399)[0] ^= 1; // the last band
    const std::vector<TBandKey> written = Write(state, "second");
    EXPECT_EQ(written.size(), 2u);
    EXPECT_EQ(BandFiles(), files + 2);
    ExpectSame(Read("second"), state);
}

// Bands the reader holds already are not read: the read succeeds with
// their files gone, and reads the one band that differs.
TEST_F(StateBands, BandsTheReaderHoldsAreNotRead)
{
    const THistoryState state = PatternState(600, 300, 600, 300);
    Write(state);
    THistoryState held = state;
    held.Color.ScanLine(250)[9] ^= 0x40;
    const std::string needed = BandFileName(BandKeys(state.Color)[250 / BandRows(600)]);
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        if (IsBandFileName(entry.path().filename().string()) && entry.path().filename() != needed)
            fs::remove(entry.path());
    ReadInto(held);
    ExpectSame(held, state);

    THistoryState other = PatternState(600, 300, 600, 300);
    other.Sketch.ScanLine(0)[0] ^= 1;
    EXPECT_THROW(ReadInto(other), TFileError) << "a band it lacks whose file is gone";
}

TEST_F(StateBands, AnythingButAWholeStateIsRefused)
{
    const THistoryState state = PatternState(90, 8000, 9, 8);
    Write(state);
    const std::string index = FileBytes(folder.File("state"));
    std::vector<std::string> damaged = {"", "LQstate3", index.substr(0, index.size() / 2),
                                        index.substr(0, index.size() - 1), index + "x"};
    for (std::size_t at : {std::size_t(9), std::size_t(20), std::size_t(70), index.size() - 2}) {
        std::string flipped = index;
        flipped[at] ^= 0x01;
        damaged.push_back(flipped);
    }
    for (const std::string& bytes : damaged) {
        PutFileBytes(folder.File("state"), bytes);
        EXPECT_THROW(Read(), TFileError) << bytes.size() << " bytes";
    }
    PutFileBytes(folder.File("state"), index);
    ASSERT_NO_THROW(Read());

    // A band file missing, damaged, cut short, or standing in for another.
    const std::vector<TBandKey> keys = BandKeys(state.Sketch);
    const std::string band = folder.File(BandFileName(keys[1]));
    const std::string bytes = FileBytes(band);
    std::string flipped = bytes;
    flipped[bytes.size() / 2] ^= 0x10;
    for (const std::string& replacement :
         {std::string(), flipped, bytes.substr(0, bytes.size() - 3), FileBytes(folder.File(BandFileName(keys[2])))}) {
        PutFileBytes(band, replacement);
        EXPECT_THROW(Read(), TFileError) << replacement.size() << " bytes";
    }
    fs::remove(band);
    EXPECT_THROW(Read(), TFileError);
}

TEST_F(StateBands, LayersOfDifferentSizesAreRefused)
{
    THistoryState state = PatternState(4, 4, 4, 4);
    state.Color = PatternPicture(4, 5, 2);
    Write(state);
    EXPECT_THROW(Read(), TFileError);
}

// A state file of the earlier kind, one file for the whole state, is read
// as before (a start offers the work of a run of an earlier version).
TEST_F(StateBands, AStateFileOfTheEarlierKindIsRead)
{
    const THistoryState state = PatternState(5, 4, 6, 3);
    const int fd = ::open(folder.File("state").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    WriteStateFile(fd, state, "state");
    ::close(fd);
    ExpectSame(Read(), state);
}

} // namespace
