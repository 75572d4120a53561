#include "tests/picture/BmpFixture.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using TColours = std::vector<std::uint32_t>;

const std::vector<std::uint32_t> Palette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};

TEST(BmpRead, IndexedDepthsUseTheColourTableAndIgnoreRowPadding)
{
    TBmpFixture one{.width = 10, .height = 2, .bitCount = 1, .palette = {0x102030, 0xA0B0C0}};
    // Bottom row first: 1010101010 and 1100000001, each padded with junk to four bytes.
    one.pixels = Bytes({0xAA, 0x80, 0xFF, 0xFF, 0xC0, 0x40, 0xFF, 0xFF});
    const std::uint32_t A = 0xA0B0C0, b = 0x102030;
    EXPECT_EQ(Colours(ReadBytes(one.Bytes())), (TColours{A, A, b, b, b, b, b, b, b, A, A, b, A, b, A, b, A, b, A, b}));

    TBmpFixture two{.width = 5, .bitCount = 2, .palette = Palette, .pixels = Bytes({0xE4, 0xC0, 0, 0})};
    EXPECT_EQ(Colours(ReadBytes(two.Bytes())), (TColours{0x0000FF, 0x00FF00, 0xFF0000, 0x101010, 0x0000FF}));

    // Two colours in use: index 7 lies beyond the table and reads as black.
    TBmpFixture four{.width = 3, .bitCount = 4, .colorsUsed = 2, .palette = {0x123456, 0x789ABC}};
    four.pixels = Bytes({0x10, 0x70, 0, 0});
    EXPECT_EQ(Colours(ReadBytes(four.Bytes())), (TColours{0x789ABC, 0x123456, 0x000000}));

    // A table shorter than 2^8 entries, found from where the pixels start;
    // rows stored top-down.
    TBmpFixture eight{.width = 2, .height = -2, .bitCount = 8, .palette = {0x111111, 0x222222, 0x333333}};
    eight.pixels = Bytes({2, 1, 0, 0, 0, 2, 0, 0});
    EXPECT_EQ(Colours(ReadBytes(eight.Bytes())), (TColours{0x333333, 0x222222, 0x111111, 0x333333}));
}

TEST(BmpRead, OS2CoreHeaderHasThreeByteColoursAndSixteenBitSizes)
{
    TBmpFixture core{.headerSize = 12, .width = 3, .height = 2, .bitCount = 8, .palette = {0x112233, 0x445566}};
    core.pixels = Bytes({0, 1, 1, 0, 1, 0, 0, 0});
    EXPECT_EQ(Colours(ReadBytes(core.Bytes())), (TColours{0x445566, 0x112233, 0x112233, 0x112233, 0x445566, 0x445566}));

    TBmpFixture core24{.headerSize = 12, .width = 1, .height = 1, .pixels = Bytes({1, 2, 3, 0})};
    EXPECT_EQ(Colours(ReadBytes(core24.Bytes())), TColours{0x030201});
}

TEST(BmpRead, SixteenBitPixelsScaleEachChannelWithRounding)
{
    // Plain 16 bits are 5-5-5 and the top bit is unused; 16 of 31 is 131.6.
    TBmpFixture plain{.width = 3, .bitCount = 16, .pixels = Bytes({0xFF, 0x7F, 0x10, 0x80, 0x10, 0x42, 0, 0})};
    EXPECT_EQ(Colours(ReadBytes(plain.Bytes())), (TColours{0xFFFFFF, 0x000084, 0x848484}));

    // 5-6-5 masks after the 40-byte header: 32 of 63 is 129.5, 2 of 63 is 8.1.
    TBmpFixture masked{.width = 4, .bitCount = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    masked.pixels = Bytes({0x00, 0xF8, 0x00, 0x04, 0x1F, 0x00, 0x41, 0x08});
    EXPECT_EQ(Colours(ReadBytes(masked.Bytes())), (TColours{0xFF0000, 0x008200, 0x0000FF, 0x080808}));

    // A zero mask is a channel that is always 0.
    masked.masks = {0xF800, 0, 0x001F};
    EXPECT_EQ(Colours(ReadBytes(masked.Bytes())), (TColours{0xFF0000, 0x000000, 0x0000FF, 0x080008}));
}

TEST(BmpRead, ThirtyTwoBitMasksWorkInEveryHeaderThatCarriesThem)
{
    // Stored bytes 11 22 33 44 with red in the lowest byte.
    const std::string pixel = Bytes({0x11, 0x22, 0x33, 0x44});
    const std::vector<std::uint32_t> rgba = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    for (std::uint32_t size : {40u, 52u, 56u, 108u, 124u}) {
        TBmpFixture f{.headerSize = size, .bitCount = 32, .compression = 3, .masks = rgba, .pixels = pixel};
        EXPECT_EQ(Colours(ReadBytes(f.Bytes())), TColours{0x112233}) << size << "-byte header";
    }
    TBmpFixture alpha{.bitCount = 32, .compression = 6, .masks = rgba, .pixels = pixel};
    EXPECT_EQ(Colours(ReadBytes(alpha.Bytes())), TColours{0x112233});

    // Without compression the masks in the header do not apply: blue, green, red, unused.
    TBmpFixture plain{.headerSize = 124, .bitCount = 32, .masks = rgba, .pixels = pixel};
    EXPECT_EQ(Colours(ReadBytes(plain.Bytes())), TColours{0x332211});

    // 2-10-10-10: 0x200 of 0x3FF is 127.6, 1 of 0x3FF is 0.25.
    TBmpFixture wide{.headerSize = 56, .bitCount = 32, .compression = 3, .masks = {0x3FF00000, 0x000FFC00, 0x3FF}};
    wide.pixels = Bytes({0x01, 0x00, 0xF8, 0x3F});
    EXPECT_EQ(Colours(ReadBytes(wide.Bytes())), TColours{0xFF8000});
}

TEST(BmpRead, TopDownAndBottomUpRowsGiveTheSamePicture)
{
    TBmpFixture up{.width = 1, .height = 2, .pixels = Bytes({1, 2, 3, 0xEE, 4, 5, 6, 0xEE})};
    TBmpFixture down{.width = 1, .height = -2, .pixels = Bytes({4, 5, 6, 0xEE, 1, 2, 3, 0xEE})};
    const TBitmap picture = ReadBytes(up.Bytes());
    EXPECT_EQ(Colours(picture), (TColours{0x060504, 0x030201}));
    EXPECT_SAME_PICTURE(ReadBytes(down.Bytes()), picture);
    // The file's padding bytes do not reach the picture's own padding.
    EXPECT_EQ(picture.ScanLine(0)[3], 0);
    EXPECT_EQ(picture.ScanLine(1)[3], 0);
}

TEST(BmpRead, WrittenPicturesReadBackForEveryRowPadding)
{
    for (int width = 1; width <= 5; ++width) {
        TBitmap picture(width, 3);
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < width * 3; ++i)
                picture.ScanLine(y)[i] = std::uint8_t(31 * y + 7 * i + width);
        std::ostringstream out;
        WriteBmp(out, picture);
        EXPECT_SAME_PICTURE(ReadBytes(out.str()), picture) << width;
    }
}

TEST(BmpRead, Rle8RunsAbsoluteRunsDeltasAndUnpaintedPixels)
{
    TBmpFixture f{.width = 5, .height = 3, .bitCount = 8, .compression = 1, .palette = Palette};
    f.pixels = Bytes({
        0x02, 0x01, 0x00, 0x03, 0x02, 0x03, 0x02, 0x00, 0x00, 0x00, // bottom: run, padded absolute run, end of line
        0x00, 0x02, 0x02, 0x00, 0x02, 0x03, 0x00, 0x02, 0x00, 0x01, // middle: delta right, run, delta up
        0x01, 0x02, 0x00, 0x01, // top: run at x = 4, end of bitmap
    });
    const std::uint32_t _ = 0x101010, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
    EXPECT_EQ(Colours(ReadBytes(f.Bytes())), (TColours{_, _, _, _, G, _, _, B, B, _, R, R, G, B, G}));
    // The same data stored top-down (which encoders do not write) paints from the top.
    f.height = -3;
    EXPECT_EQ(Colours(ReadBytes(f.Bytes())), (TColours{R, R, G, B, G, _, _, B, B, _, _, _, _, _, G}));
}

TEST(BmpRead, Rle4AlternatesNibblesAndPadsOddAbsoluteRuns)
{
    TBmpFixture f{.width = 7, .height = 2, .bitCount = 4, .compression = 2, .colorsUsed = 4, .palette = Palette};
    f.pixels = Bytes({
        0x05, 0x12, 0x02, 0x30, 0x00, 0x00, // bottom: runs 1 2 1 2 1 and 3 0
        0x00, 0x05, 0x31, 0x23, 0x10, 0x00, 0x02, 0x44, 0x00, 0x01, // top: absolute 3 1 2 3 1, run of 4 (no colour 4)
    });
    const std::uint32_t _ = 0x101010, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
    EXPECT_EQ(Colours(ReadBytes(f.Bytes())), (TColours{B, R, G, B, R, 0, 0, R, G, R, G, R, B, _}));
}

TEST(BmpRead, StreamReadsOneFileAtATime)
{
    // RLE that states no file size ends at its end-of-bitmap marker.
    TBmpFixture rle{.width = 2, .bitCount = 8, .compression = 1, .palette = Palette, .fileSize = 0};
    rle.pixels = Bytes({0x02, 0x03, 0x00, 0x01});
    // A stated size that covers bytes after the pixels (a colour profile) is trusted ...
    TBmpFixture profile{.pixels = Bytes({1, 2, 3, 0}), .trailer = "ICC"};
    // ... one that runs past the stream is not.
    TBmpFixture oversized{.pixels = Bytes({4, 5, 6, 0}), .fileSize = 0xFFFF};
    const std::string first = rle.Bytes(), second = profile.Bytes(), third = oversized.Bytes();

    std::istringstream in(first + second + third + "tail");
    EXPECT_EQ(Colours(ReadBmp(in, "first")), (TColours{0x0000FF, 0x0000FF}));
    EXPECT_EQ(in.tellg(), std::streamoff(first.size()));
    EXPECT_EQ(Colours(ReadBmp(in, "second")), TColours{0x030201});
    EXPECT_EQ(in.tellg(), std::streamoff(first.size() + second.size()));
    EXPECT_EQ(Colours(ReadBmp(in, "third")), TColours{0x060504});
    std::string rest;
    in >> rest;
    EXPECT_EQ(rest, "tail");
}

TEST(BmpRead, CoffeePhotoReadsExactly)
{
    std::ifstream file(LQ_PHOTO_DIR "/coffee.bmp", std::ios::binary);
    const std::string original{std::istreambuf_iterator<char>(file), {}};
    // A plain 24-bit bottom-up 600 x 400 file with the writer's layout; only
    // its resolution fields (3779 pixels a metre) differ from what the writer puts.
    ASSERT_EQ(original.size(), 720054u);
    const std::string header = original.substr(0, 54);
    TBmpFixture expected{.width = 600, .height = 400, .pixels = std::string(720000, '\0')};
    std::string layout = expected.Bytes().substr(0, 54);
    for (int i = 38; i < 46; i += 4)
        layout.replace(std::size_t(i), 4, Bytes({0xC3, 0x0E, 0, 0}));
    ASSERT_EQ(header, layout);

    const TBitmap picture = ReadBmpFile(LQ_PHOTO_DIR "/coffee.bmp");
    std::ostringstream out;
    WriteBmp(out, picture);
    const std::string written = out.str();
    ASSERT_EQ(written.size(), original.size());
    EXPECT_EQ(written.substr(0, 38), original.substr(0, 38));
    EXPECT_EQ(written.substr(38, 8), std::string(8, '\0'));
    EXPECT_TRUE(written.substr(46) == original.substr(46)) << "pixel bytes differ";
}

} // namespace
