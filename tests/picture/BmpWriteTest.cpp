#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::uint32_t At32(const std::string& s, std::size_t i)
{
    return std::uint8_t(s[i]) | (std::uint8_t(s[i + 1]) << 8) | (std::uint8_t(s[i + 2]) << 16) |
           (std::uint32_t(std::uint8_t(s[i + 3])) << 24);
}

TBitmap Sample3x2()
{
    TBitmap bmp(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                bmp.ScanLine(y)[x * 3 + c] = std::uint8_t(100 * y + 10 * x + c);
    return bmp;
}

TEST(BmpWrite, ThreeByTwoGivesTheSeventyEightByteFile)
{
    std::ostringstream out;
    WriteBmp(out, Sample3x2());
    const std::string file = out.str();
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(BmpFileSize(3, 2), 78);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(At32(file, 2), 78u); // file size
    EXPECT_EQ(At32(file, 6), 0u); // reserved words
    EXPECT_EQ(At32(file, 10), 54u); // pixel offset
    EXPECT_EQ(At32(file, 14), 40u); // information header size
    EXPECT_EQ(At32(file, 18), 3u);
    EXPECT_EQ(At32(file, 22), 2u); // positive height: bottom-up
    EXPECT_EQ(At32(file, 26), 1u | (24u << 16)); // one plane, 24 bits
    EXPECT_EQ(At32(file, 30), 0u); // no compression
    EXPECT_EQ(At32(file, 34), 24u); // image size
    // First stored row is the bottom row (y = 1): pixel (0, 1) is 100, 101, 102.
    EXPECT_EQ(std::uint8_t(file[54]), 100);
    EXPECT_EQ(std::uint8_t(file[56]), 102);
    // Three padding bytes after nine pixel bytes.
    EXPECT_EQ(file[63], 0);
    EXPECT_EQ(file[65], 0);
    // Second stored row is the top row.
    EXPECT_EQ(std::uint8_t(file[66 + 3]), 10);
}

TEST(BmpWrite, RoundTripThroughAStreamConsumesExactlyOneFile)
{
    std::ostringstream out;
    TBitmap first = Sample3x2();
    TBitmap second(5, 1);
    second.Fill(7, 8, 9);
    WriteBmp(out, first);
    WriteBmp(out, second);
    out << "tail";
    std::istringstream in(out.str());
    EXPECT_SAME_PICTURE(ReadBmp(in, "first"), first);
    EXPECT_EQ(in.tellg(), 78);
    EXPECT_SAME_PICTURE(ReadBmp(in, "second"), second);
    std::string rest;
    in >> rest;
    EXPECT_EQ(rest, "tail");
}

TEST(BmpWrite, MissingFileGivesAReadableError)
{
    try {
        ReadBmpFile("/nonexistent/dir/picture.bmp");
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/picture.bmp"), std::string::npos);
    }
}

} // namespace
