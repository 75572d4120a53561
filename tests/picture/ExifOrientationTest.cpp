#include "picture/ExifOrientation.h"

#include "tests/picture/JpegFixtures.h"

#include <gtest/gtest.h>

namespace {

int Read(const TBytes& block) { return ExifOrientation(block.data(), block.size()); }

// Offsets inside the block made by ExifBlock(value, bigEndian, 0).
constexpr std::size_t Tiff = 6;
constexpr std::size_t DirectoryOffset = Tiff + 4;
constexpr std::size_t EntryCount = Tiff + 8;
constexpr std::size_t Entry = Tiff + 10;

} // namespace

TEST(ExifOrientation, ReadsEveryValueInBothByteOrders)
{
    for (bool bigEndian : {false, true})
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(std::string(bigEndian ? "MM " : "II ") + std::to_string(value));
            EXPECT_EQ(Read(ExifBlock(value, bigEndian)), value);
            EXPECT_EQ(Read(ExifBlock(value, bigEndian, 3)), value); // after other entries
        }
}

TEST(ExifOrientation, HandWrittenBigEndianBlock)
{
    const TBytes block = {'E',  'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, // header, directory at 8
                          0,    1, // one entry
                          0x01, 0x12, 0,   3,   0, 0, 0,   1,   0, 6,  0, 0}; // orientation 6
    EXPECT_EQ(Read(block), 6);
}

TEST(ExifOrientation, ValuesOutsideOneToEightMeanAsStored)
{
    for (int value : {0, 9, 0x0106, 0xFFFF})
        EXPECT_EQ(Read(ExifBlock(value, false)), 1) << value;
}

TEST(ExifOrientation, ALongValueFromCarelessWritersIsAccepted)
{
    TBytes block = ExifBlock(6, false);
    block[Entry + 2] = 4; // type LONG; the value's low bytes are where a SHORT's are
    EXPECT_EQ(Read(block), 6);
    block[Entry + 2] = 2; // ASCII: not a number
    EXPECT_EQ(Read(block), 1);
    block = ExifBlock(6, false);
    block[Entry + 4] = 2; // two values
    EXPECT_EQ(Read(block), 1);
}

TEST(ExifOrientation, DamagedBlocksMeanAsStoredAndAreNeverReadPastTheirEnd)
{
    const TBytes good = ExifBlock(8, true);
    ASSERT_EQ(Read(good), 8);

    // Every truncation: the entry ends at the block's last byte but four.
    for (std::size_t size = 0; size < good.size(); ++size) {
        TBytes cut(good.begin(), good.begin() + std::ptrdiff_t(size));
        const int expected = size >= Entry + 12 ? 8 : 1;
        EXPECT_EQ(Read(cut), expected) << "size " << size;
    }

    TBytes farOffset = good;
    farOffset[DirectoryOffset] = 0xFF; // directory at 0xFF000008
    EXPECT_EQ(Read(farOffset), 1);

    TBytes hugeCount = good;
    hugeCount[EntryCount] = 0xFF;
    hugeCount[EntryCount + 1] = 0xFF;
    hugeCount[Entry + 1] = 0x13; // not the orientation tag: the search runs on
    EXPECT_EQ(Read(hugeCount), 1);

    TBytes atEnd = good;
    atEnd[DirectoryOffset + 3] = std::uint8_t(good.size() - Tiff - 1); // one byte before the end
    EXPECT_EQ(Read(atEnd), 1);

    TBytes badMagic = good;
    badMagic[Tiff + 3] = 43;
    EXPECT_EQ(Read(badMagic), 1);

    TBytes mixedOrder = good;
    mixedOrder[Tiff] = 'I';
    EXPECT_EQ(Read(mixedOrder), 1);

    TBytes notExif = good;
    notExif[0] = 'e';
    EXPECT_EQ(Read(notExif), 1);

    EXPECT_EQ(ExifOrientation(nullptr, 0), 1);
}
