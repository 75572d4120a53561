#include "document/StateFile.h"

#include "picture/FileError.h"
#include "tests/document/PatternState.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A state file written to and read from a scratch file.
class StateFile : public ::testing::Test {
protected:
    TTestFolder folder;
    std::string path = folder.File("state");

    void Write(const THistoryState& state)
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        WriteStateFile(fd, state, path);
        ::close(fd);
    }
    THistoryState Read()
    {
        THistoryState state;
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_GE(fd, 0);
        try {
            ReadStateFile(fd, state, path);
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
        return state;
    }
};

TEST_F(StateFile, ReadsBackWhatWasWritten)
{
    // Widths with every row padding, a photo of another size, and empty pictures.
    const int sizes[][4] = {{1, 1, 1, 1}, {3, 2, 5, 7}, {6, 5, 6, 5}, {7, 1, 2, 9}, {0, 0, 0, 0}, {4, 4, 0, 0}};
    for (const auto& size : sizes) {
        const THistoryState state = PatternState(size[0], size[1], size[2], size[3]);
        Write(state);
        const THistoryState read = Read();
        EXPECT_SAME_PICTURE(read.Sketch, state.Sketch) << size[0] << " x " << size[1];
        EXPECT_SAME_PICTURE(read.Color, state.Color);
        EXPECT_SAME_PICTURE(read.Source, state.Source);
        EXPECT_EQ(read.Layers, state.Layers);
    }
}

TEST_F(StateFile, AnythingButAWholeStateIsRefused)
{
    Write(PatternState(9, 8, 9, 8));
    const std::string bytes = FileBytes(path);
    std::vector<std::string> damaged = {
        "",         "LQstate2", bytes.substr(0, bytes.size() / 2), bytes.substr(0, bytes.size() - 1), bytes + bytes,
        bytes + "x"};
    for (std::size_t at : {std::size_t(6), bytes.size() / 3, bytes.size() - 2}) {
        std::string flipped = bytes;
        flipped[at] ^= 0x01;
        damaged.push_back(flipped);
    }
    for (const std::string& file : damaged) {
        PutFileBytes(path, file);
        EXPECT_THROW(Read(), TFileError) << file.size() << " bytes";
    }
    PutFileBytes(path, bytes);
    EXPECT_NO_THROW(Read());
}

TEST_F(StateFile, LayersOfDifferentSizesAreRefused)
{
    THistoryState state = PatternState(4, 4, 4, 4);
    state.Color = PatternPicture(4, 5, 2);
    Write(state);
    EXPECT_THROW(Read(), TFileError);
}

// Flat colours with dark lines, as a cartoon's layers are, take a small
// fraction of their raw size.
TEST_F(StateFile, ACartoonCompressesWell)
{
    const int width = 600, height = 400;
    THistoryState state;
    state.Color = TBitmap(width, height);
    state.Sketch = FilledPicture(width, height, 255, 255, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* color = state.Color.ScanLine(y) + 3 * x;
            const int band = (x / 75 + y / 50) % 5;
            color[0] = std::uint8_t(40 * band);
            color[1] = std::uint8_t(200 - 30 * band);
            color[2] = std::uint8_t(90 + 20 * band);
            if (x % 75 == 0 || y % 50 == 0 || (x + y) % 97 == 0)
                std::fill_n(state.Sketch.ScanLine(y) + 3 * x, 3, 20);
        }
    state.Source = state.Color;
    Write(state);
    const std::size_t raw = 3 * std::size_t(width) * height * 3;
    EXPECT_LT(FileBytes(path).size(), raw / 20);
}

} // namespace
