#include "tests/picture/BmpFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <streambuf>

namespace {

using testing::AllOf;
using testing::HasSubstr;
using testing::StartsWith;

const std::vector<std::uint32_t> Palette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};

TBmpFixture Rle8(int width, int height, std::string data)
{
    return {.width = width, .height = height, .bitCount = 8, .compression = 1, .palette = Palette, .pixels = data};
}

TEST(BmpBadInput, EveryCutShortFileIsRefused)
{
    const std::vector<TBmpFixture> files = {
        {.width = 3,
         .bitCount = 16,
         .compression = 3,
         .masks = {0xF800, 0x07E0, 0x001F},
         .pixels = std::string(8, 'p')},
        {.width = 2, .height = 2, .bitCount = 8, .palette = Palette, .pixels = std::string(8, '\1')},
        {.headerSize = 124, .bitCount = 32, .pixels = "pppp"},
        {.headerSize = 12, .width = 2, .bitCount = 1, .palette = {0, 0xFFFFFF}, .pixels = "pppp"},
        Rle8(3, 2, Bytes({0x03, 0x01, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01})),
    };
    for (const TBmpFixture& f : files) {
        const std::string file = f.Bytes();
        ASSERT_EQ(ReadError(file), "");
        for (std::size_t length = 0; length < file.size(); ++length)
            EXPECT_EQ(ReadError(file.substr(0, length)),
                      length < 2 ? "test.bmp is not a Windows bitmap" : "test.bmp is truncated")
                << f.headerSize << "-byte header, " << f.bitCount << " bits, cut at " << length;
    }
}

TEST(BmpBadInput, SizesOutsideTheLimitsAreRefusedBeforeAnyPixelIsRead)
{
    struct TCase {
        std::int32_t width, height;
        const char* message;
    };
    const TCase cases[] = {
        {0, 0, "has no pixels"},
        {5, 0, "has no pixels"},
        {-1, 1, "its width is negative"},
        {65536, 1, "is too large"},
        {1, -65536, "is too large"},
        {16385, 16384, "is too large"},
        {INT_MAX, INT_MAX, "is too large"},
        {1, INT_MIN, "is too large"},
    };
    for (const TCase& c : cases) {
        TBmpFixture f{.width = c.width, .height = c.height, .pixels = "pppp"};
        EXPECT_THAT(ReadError(f.Bytes()), AllOf(StartsWith("test.bmp "), HasSubstr(c.message)))
            << c.width << " x " << c.height;
    }
    TBmpFixture core{.headerSize = 12, .width = 65535, .height = 65535, .pixels = "pppp"};
    EXPECT_THAT(ReadError(core.Bytes()), HasSubstr("is too large"));

    // The limit itself is allowed.
    TBmpFixture widest{.width = 65535, .pixels = std::string(TBitmap::StrideFor(65535), '\7')};
    EXPECT_EQ(ReadBytes(widest.Bytes()).Width(), 65535);
}

TEST(BmpBadInput, HeaderFieldsThatPointOutsideTheFile)
{
    TBmpFixture f{.pixels = "pppp"};
    f.pixelOffset = 55; // the data would end one byte past the file
    EXPECT_EQ(ReadError(f.Bytes()), "test.bmp is truncated");
    f.pixelOffset = 0xFFFFFFFF;
    EXPECT_EQ(ReadError(f.Bytes()), "test.bmp is truncated");
    f.pixelOffset = 50;
    EXPECT_THAT(ReadError(f.Bytes()), HasSubstr("overlaps its header"));

    // A colour count of 2^31 is never trusted: the two entries stored are used.
    TBmpFixture colours{.width = 2, .bitCount = 8, .colorsUsed = 0x80000000u, .palette = {0x010203, 0x040506}};
    colours.pixels = Bytes({1, 0, 0, 0});
    EXPECT_EQ(Colours(ReadBytes(colours.Bytes())), (std::vector<std::uint32_t>{0x040506, 0x010203}));
}

TEST(BmpBadInput, KindsThatCannotBeReadSayWhy)
{
    struct TCase {
        TBmpFixture file;
        const char* message;
    };
    const TCase cases[] = {
        {{.bitCount = 3, .pixels = "pppp"}, "cannot read (3 bits per pixel)"},
        {{.bitCount = 24, .compression = 1, .pixels = "pppp"}, "RLE8 compression with 24 bits per pixel"},
        {{.bitCount = 0, .compression = 4, .pixels = "pppp"}, "cannot read (JPEG compression)"},
        {{.bitCount = 24, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}, .pixels = "pppp"}, "cannot read"},
        {{.headerSize = 64, .pixels = "pppp"}, "cannot read (an OS/2 2.x bitmap)"},
        {{.headerSize = 20, .pixels = "pppp"}, "cannot read (an information header of 20 bytes)"},
        {{.bitCount = 16, .compression = 3, .masks = {0xF800, 0x0FE0, 0x001F}, .pixels = "pppp"}, "masks overlap"},
        {{.bitCount = 16, .compression = 3, .masks = {0x1F0000, 0x07E0, 0x001F}, .pixels = "pppp"}, "do not fit"},
        {{.bitCount = 16, .compression = 3, .masks = {0xF800, 0x0505, 0}, .pixels = "pppp"}, "masks have gaps"},
    };
    for (const TCase& c : cases)
        EXPECT_THAT(ReadError(c.file.Bytes()), AllOf(StartsWith("test.bmp is "), HasSubstr(c.message))) << c.message;

    EXPECT_EQ(ReadError("PK\3\4 not a bitmap at all"), "test.bmp is not a Windows bitmap");
    EXPECT_THAT(ReadError("BA" + std::string(40, '\0')), HasSubstr("cannot read (an OS/2 bitmap array"));
}

TEST(BmpBadInput, RleThatLeavesThePictureIsRefused)
{
    struct TCase {
        TBmpFixture file;
        const char* message;
    };
    const TCase cases[] = {
        {Rle8(4, 2, Bytes({0x05, 0x01, 0x00, 0x01})), "run past the end of a row"},
        {Rle8(4, 2, Bytes({0x02, 0x01, 0x00, 0x03, 1, 2, 3, 0, 0x00, 0x01})), "run past the end of a row"},
        {Rle8(4, 2, Bytes({0x00, 0x02, 0x05, 0x00, 0x00, 0x01})), "move past the end of the picture"},
        {Rle8(4, 2, Bytes({0x00, 0x02, 0x00, 0x03, 0x00, 0x01})), "move past the end of the picture"},
        {Rle8(4, 2, Bytes({0x00, 0x04, 1, 2})), "is truncated"},
        {{.width = 3, .bitCount = 4, .compression = 2, .palette = Palette, .pixels = Bytes({0x04, 0x12, 0x00, 0x01})},
         "run past the end of a row"},
    };
    for (const TCase& c : cases)
        EXPECT_THAT(ReadError(c.file.Bytes()), AllOf(StartsWith("test.bmp is "), HasSubstr(c.message))) << c.message;
}

TEST(BmpBadInput, RleEndsAtTheLastRowAndMustJustifyItsSize)
{
    // The last row is done without an end-of-bitmap marker: the next file follows.
    TBmpFixture complete = Rle8(2, 1, Bytes({0x02, 0x01, 0x00, 0x00}));
    complete.fileSize = 0;
    TBmpFixture next{.pixels = Bytes({1, 2, 3, 0})};
    std::istringstream in(complete.Bytes() + next.Bytes());
    EXPECT_EQ(Colours(ReadBmp(in, "complete")), (std::vector<std::uint32_t>{0xFF0000, 0xFF0000}));
    EXPECT_EQ(Colours(ReadBmp(in, "next")), std::vector<std::uint32_t>{0x030201});

    // An end-of-bitmap marker alone paints nothing: fine for a megapixel, too
    // little to justify the memory of a larger picture.
    const TBitmap blank = ReadBytes(Rle8(1024, 1024, Bytes({0x00, 0x01})).Bytes());
    EXPECT_EQ(Colours(blank).back(), 0x101010u);
    EXPECT_THAT(ReadError(Rle8(1025, 1024, Bytes({0x00, 0x01})).Bytes()), HasSubstr("cannot read (compressed pixels"));

    // Moves that go nowhere, long past anything an encoder writes, end the read
    // even though the stream goes on.
    std::string idle;
    for (int i = 0; i < 100; ++i)
        idle += Bytes({0x00, 0x02, 0x00, 0x00});
    EXPECT_THAT(ReadError(Rle8(1, 1, idle).Bytes()), HasSubstr("compressed pixels have no end"));
}

// A stream that cannot seek, as a pipe would be.
class TPipeBuffer : public std::streambuf {
public:
    explicit TPipeBuffer(std::string& bytes) { setg(bytes.data(), bytes.data(), bytes.data() + bytes.size()); }
};

TEST(BmpBadInput, StreamOfUnknownLengthIsRefused)
{
    std::string bytes = TBmpFixture{.pixels = "pppp"}.Bytes();
    TPipeBuffer buffer(bytes);
    std::istream in(&buffer);
    EXPECT_THROW(ReadBmp(in, "pipe"), TFileError);
}

} // namespace
