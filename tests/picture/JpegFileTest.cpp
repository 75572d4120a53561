#include "picture/JpegFile.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "tests/picture/JpegFixtures.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Photo(const std::string& name) { return std::string(LQ_PHOTO_DIR) + "/" + name; }

TBitmap Decode(const TBytes& file, std::string* warning = nullptr)
{
    return DecodeJpeg(file.data(), file.size(), "test.jpg", warning);
}

TBytes Encode(const TBitmap& picture, int quality = 90)
{
    std::ostringstream out;
    WriteJpeg(out, picture, quality);
    const std::string s = out.str();
    return TBytes(s.begin(), s.end());
}

// Rises by one a step from 0 to top and falls back, again and again.
int Triangle(int v, int top)
{
    v %= 2 * top;
    return v < top ? v : 2 * top - v;
}

// A smooth picture with distinct channels at any size, which JPEG keeps well.
TBitmap Smooth(int width, int height)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture.ScanLine(y) + x * 3;
            p[0] = std::uint8_t(40 + Triangle(2 * x, 170));
            p[1] = std::uint8_t(60 + Triangle(3 * y, 150));
            p[2] = std::uint8_t(200 - Triangle(x + y, 120));
        }
    return picture;
}

TJpegFixture ColourFixture(const TBitmap& picture)
{
    TJpegFixture f;
    f.width = picture.Width();
    f.height = picture.Height();
    f.samples = SamplesOf(picture);
    return f;
}

const TSegment* Find(const std::vector<TSegment>& segments, std::uint8_t marker)
{
    for (const TSegment& s : segments)
        if (s.marker == marker)
            return &s;
    return nullptr;
}

int Count(const std::vector<TSegment>& segments, std::uint8_t marker)
{
    int n = 0;
    for (const TSegment& s : segments)
        n += s.marker == marker;
    return n;
}

// Writes new dimensions into the frame header (SOF0, SOF2 or SOF10).
TBytes WithSize(TBytes file, int width, int height)
{
    for (const TSegment& s : Segments(file))
        if (s.marker == 0xC0 || s.marker == 0xC2 || s.marker == 0xCA) {
            file[s.begin + 5] = std::uint8_t(height >> 8);
            file[s.begin + 6] = std::uint8_t(height);
            file[s.begin + 7] = std::uint8_t(width >> 8);
            file[s.begin + 8] = std::uint8_t(width);
        }
    return file;
}

std::string ErrorOf(const TBytes& file, std::string* warning = nullptr)
{
    try {
        Decode(file, warning);
    } catch (const TFileError& e) {
        return e.what();
    }
    return "no error";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The standard tables (natural order) that the library scales by quality.
constexpr std::array<int, 64> LuminanceTable = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                                14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                                18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                                49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> ChrominanceTable = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr std::array<int, 64> ZigZag = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                        12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                        35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                        58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The table for a quality as the IJG scaling defines it, in file (zigzag) order.
std::vector<int> Scaled(const std::array<int, 64>& table, int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    std::vector<int> result;
    for (int i = 0; i < 64; ++i)
        result.push_back(std::clamp((table[std::size_t(ZigZag[std::size_t(i)])] * scale + 50) / 100, 1, 255));
    return result;
}

// The 8-bit tables of a file, by table number.
std::map<int, std::vector<int>> QuantisationTables(const TBytes& file)
{
    std::map<int, std::vector<int>> tables;
    for (const TSegment& s : Segments(file)) {
        if (s.marker != 0xDB)
            continue;
        for (std::size_t at = s.begin + 4; at + 65 <= s.end; at += 65) {
            EXPECT_EQ(file[at] >> 4, 0) << "16-bit table";
            tables[file[at] & 15] =
                std::vector<int>(file.begin() + std::ptrdiff_t(at) + 1, file.begin() + std::ptrdiff_t(at) + 65);
        }
    }
    return tables;
}

} // namespace

TEST(JpegRead, ThePhotosOpenAtTheirSizesWithoutWarnings)
{
    const struct {
        const char* name;
        int width, height;
    } photos[] = {{"astronaut.jpg", 512, 512}, {"coffee.jpg", 600, 400}, {"storm.jpg", 1920, 1280}};
    for (const auto& photo : photos) {
        std::string warning = "not cleared";
        const TBitmap picture = ReadJpegFile(Photo(photo.name), &warning);
        EXPECT_EQ(picture.Width(), photo.width) << photo.name;
        EXPECT_EQ(picture.Height(), photo.height) << photo.name;
        EXPECT_EQ(warning, "") << photo.name;
    }
}

// coffee.jpg and coffee.bmp come from the same original; the JPEG lost a
// little. Measured: mean absolute difference 2.20 per channel, largest 32.
// With red and blue swapped the mean would be 72, upside down far more.
TEST(JpegRead, CoffeeIsCloseToTheBitmapOfTheSamePhoto)
{
    const TBitmap jpeg = ReadJpegFile(Photo("coffee.jpg"));
    const TBitmap bmp = ReadBmpFile(Photo("coffee.bmp"));
    const TDifference d = Compare(jpeg, bmp);
    EXPECT_GT(d.mean, 1.0);
    EXPECT_LT(d.mean, 2.5);
    EXPECT_GT(d.max, 0);
    EXPECT_LE(d.max, 40);
}

// The reader writes blue-green-red straight into the rows; it must give the
// very pixels of the library's accurate decode, with the channels reordered.
TEST(JpegRead, GivesExactlyTheLibrarysAccurateDecode)
{
    const TBytes coffee = ReadWholeFile(Photo("coffee.jpg"));
    EXPECT_SAME_PICTURE(Decode(coffee), ReferenceDecode(coffee));

    TJpegFixture progressive = ColourFixture(Smooth(37, 23));
    progressive.progressive = true;
    const TBytes file = EncodeFixture(progressive);
    EXPECT_SAME_PICTURE(Decode(file), ReferenceDecode(file));
}

// Measured at quality 90: mean difference 0.3 to 1.6 per channel, largest 6.
TEST(JpegRoundTrip, SmoothPicturesOfAnySizeComeBackClose)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {17, 9}, {16, 16}, {33, 65}, {640, 1}, {1, 300}};
    for (auto [w, h] : sizes) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const TBitmap picture = Smooth(w, h);
        const TBitmap back = Decode(Encode(picture));
        ASSERT_EQ(back.Width(), w);
        ASSERT_EQ(back.Height(), h);
        const TDifference d = Compare(picture, back);
        EXPECT_LT(d.mean, 2.0);
        EXPECT_LE(d.max, 8);
    }
}

TEST(JpegWrite, WritesABaselineFileWithTheQuality90Tables)
{
    const TBytes file = Encode(Smooth(40, 24));
    const std::vector<TSegment> segments = Segments(file);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.front().marker, 0xD8);
    EXPECT_EQ(segments.back().marker, 0xD9);
    EXPECT_EQ(Count(segments, 0xC0), 1); // baseline frame
    for (std::uint8_t other : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA})
        EXPECT_EQ(Count(segments, other), 0) << int(other);
    EXPECT_EQ(Count(segments, 0xDA), 1); // one scan
    ASSERT_NE(Find(segments, 0xE0), nullptr);
    EXPECT_EQ(std::string(file.begin() + std::ptrdiff_t(Find(segments, 0xE0)->begin) + 4,
                          file.begin() + std::ptrdiff_t(Find(segments, 0xE0)->begin) + 9),
              std::string("JFIF\0", 5));

    const TSegment& frame = *Find(segments, 0xC0);
    EXPECT_EQ(file[frame.begin + 4], 8); // 8-bit samples
    EXPECT_EQ(file[frame.begin + 6], 24); // height
    EXPECT_EQ(file[frame.begin + 8], 40); // width
    EXPECT_EQ(file[frame.begin + 9], 3); // Y, Cb, Cr
    EXPECT_EQ(file[frame.begin + 11], 0x22); // luminance sampled 2 x 2
    EXPECT_EQ(file[frame.begin + 14], 0x11); // chrominance 1 x 1
    EXPECT_EQ(file[frame.begin + 17], 0x11);

    const auto tables = QuantisationTables(file);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables.at(0), Scaled(LuminanceTable, 90));
    EXPECT_EQ(tables.at(1), Scaled(ChrominanceTable, 90));
    // By hand: 16, 11, 12 at scale 20% round to 3, 2, 2; 17 and 18 to 3 and 4.
    EXPECT_EQ(tables.at(0)[0], 3);
    EXPECT_EQ(tables.at(0)[1], 2);
    EXPECT_EQ(tables.at(0)[2], 2);
    EXPECT_EQ(tables.at(1)[0], 3);
    EXPECT_EQ(tables.at(1)[1], 4);
}

TEST(JpegWrite, QualityScalesTheTablesAndIsClamped)
{
    const TBitmap picture = Smooth(16, 16);
    // Quality 50 is the standard tables themselves.
    auto tables = QuantisationTables(Encode(picture, 50));
    EXPECT_EQ(tables.at(0), Scaled(LuminanceTable, 50));
    EXPECT_EQ(tables.at(0)[0], 16);
    EXPECT_EQ(tables.at(0)[63], 99);
    // 100 divides by one everywhere; 1 and anything below give the coarsest.
    EXPECT_EQ(QuantisationTables(Encode(picture, 100)).at(1), std::vector<int>(64, 1));
    EXPECT_EQ(QuantisationTables(Encode(picture, 500)).at(1), std::vector<int>(64, 1));
    EXPECT_EQ(QuantisationTables(Encode(picture, 1)).at(0), std::vector<int>(64, 255));
    EXPECT_EQ(QuantisationTables(Encode(picture, -7)).at(0), std::vector<int>(64, 255));
}

TEST(JpegRead, GreyscaleFilesOpenAsGreyPictures)
{
    TJpegFixture f;
    f.kind = TJpegKind::Grey;
    f.width = 24;
    f.height = 10;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            f.samples.push_back(std::uint8_t(10 * x + y));
    const TBitmap picture = Decode(EncodeFixture(f));
    ASSERT_EQ(picture.Width(), 24);
    ASSERT_EQ(picture.Height(), 10);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const std::uint8_t* p = picture.ScanLine(y) + x * 3;
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[0], p[2]);
            EXPECT_NEAR(p[0], 10 * x + y, 4) << x << ", " << y;
        }
}

// Four flat 16 x 16 squares of ink, stored as each kind of four-component
// file; every square must come out in its colour.
TEST(JpegRead, CmykAndYcckFilesOpenInTheirColours)
{
    struct TInk {
        int c, m, y, k;
        int blue, green, red;
    };
    const TInk inks[] = {
        {0, 255, 255, 0, 0, 0, 255}, // red
        {255, 0, 255, 0, 0, 255, 0}, // green
        {0, 0, 0, 128, 127, 127, 127}, // half black: 255 * 127 / 255
        {0, 0, 255, 64, 0, 191, 191}, // yellow under a quarter black
    };
    for (TJpegKind kind : {TJpegKind::Cmyk, TJpegKind::Ycck, TJpegKind::PlainCmyk}) {
        const bool inverted = kind != TJpegKind::PlainCmyk; // as Adobe writes them
        TJpegFixture f;
        f.kind = kind;
        f.width = 64;
        f.height = 16;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 64; ++x) {
                const TInk& ink = inks[x / 16];
                for (int v : {ink.c, ink.m, ink.y, ink.k})
                    f.samples.push_back(std::uint8_t(inverted ? 255 - v : v));
            }
        const TBitmap picture = Decode(EncodeFixture(f));
        ASSERT_EQ(picture.Width(), 64);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE("kind " + std::to_string(int(kind)) + ", ink " + std::to_string(i));
            const std::uint8_t* p = picture.ScanLine(8) + (i * 16 + 8) * 3;
            EXPECT_NEAR(p[0], inks[i].blue, 4);
            EXPECT_NEAR(p[1], inks[i].green, 4);
            EXPECT_NEAR(p[2], inks[i].red, 4);
        }
    }
}

// A progressive file carries the same coefficients as the baseline one, only
// in another order, so it must decode to the same pixels.
TEST(JpegRead, ProgressiveFilesGiveTheSamePixelsAsBaselineFiles)
{
    TJpegFixture f = ColourFixture(Smooth(45, 30));
    const TBytes baseline = EncodeFixture(f);
    f.progressive = true;
    const TBytes progressive = EncodeFixture(f);
    ASSERT_EQ(Count(Segments(progressive), 0xC2), 1);
    ASSERT_GT(Count(Segments(progressive), 0xDA), 5);
    std::string warning;
    EXPECT_SAME_PICTURE(Decode(progressive, &warning), Decode(baseline));
    EXPECT_EQ(warning, "");
}

TEST(JpegRead, ArithmeticCodedFilesAreRefused)
{
    TJpegFixture f = ColourFixture(Smooth(16, 16));
    f.arithmetic = true;
    for (bool progressive : {false, true}) {
        f.progressive = progressive;
        EXPECT_EQ(ErrorOf(EncodeFixture(f)),
                  "test.jpg is an arithmetic-coded JPEG file, which this program does not open");
    }
}

// The most compressible files there are: plain white, where a Huffman-coded
// file comes nearest to the one bit a block that the reader demands.
TEST(JpegRead, PlainWhitePicturesOpen)
{
    for (bool progressive : {false, true})
        for (TJpegKind kind : {TJpegKind::Grey, TJpegKind::Colour}) {
            TJpegFixture f;
            f.kind = kind;
            f.width = f.height = 1024;
            f.samples.assign(std::size_t(1024) * 1024 * (kind == TJpegKind::Grey ? 1 : 3), 255);
            f.progressive = progressive;
            const TBitmap picture = Decode(EncodeFixture(f));
            ASSERT_EQ(picture.Width(), 1024);
            EXPECT_EQ(picture.ScanLine(1023)[1023 * 3], 255);
        }
}

namespace {

// Six 16 x 16 squares of clearly different colours in a grid given as
// letters A to F, as the orientation tests write pictures.
const std::array<std::array<std::uint8_t, 3>, 6> SquareColours = {
    {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {0, 255, 255}}};

TBitmap Squares(const std::vector<std::string>& rows)
{
    TBitmap picture(int(rows[0].size()) * 16, int(rows.size()) * 16);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const char letter = rows[std::size_t(y / 16)][std::size_t(x / 16)];
            std::copy_n(SquareColours[std::size_t(letter - 'A')].begin(), 3, picture.ScanLine(y) + x * 3);
        }
    return picture;
}

std::vector<std::string> SquaresOf(const TBitmap& picture)
{
    std::vector<std::string> rows;
    for (int gy = 0; gy < picture.Height() / 16; ++gy) {
        std::string row;
        for (int gx = 0; gx < picture.Width() / 16; ++gx) {
            const std::uint8_t* p = picture.ScanLine(gy * 16 + 8) + (gx * 16 + 8) * 3;
            char best = '?';
            for (std::size_t i = 0; i < SquareColours.size(); ++i)
                if (std::abs(p[0] - SquareColours[i][0]) + std::abs(p[1] - SquareColours[i][1]) +
                        std::abs(p[2] - SquareColours[i][2]) <
                    60)
                    best = char('A' + i);
            row += best;
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(JpegRead, TheExifOrientationTurnsThePictureUpright)
{
    const std::vector<std::vector<std::string>> stored = {{"ABC", "DEF"},     {"CBA", "FED"},     {"FED", "CBA"},
                                                          {"DEF", "ABC"},     {"AD", "BE", "CF"}, {"CF", "BE", "AD"},
                                                          {"FC", "EB", "DA"}, {"DA", "EB", "FC"}};
    const std::vector<std::string> upright = {"ABC", "DEF"};
    for (bool bigEndian : {false, true})
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(std::string(bigEndian ? "MM " : "II ") + std::to_string(value));
            TJpegFixture f = ColourFixture(Squares(stored[std::size_t(value - 1)]));
            f.app1 = ExifBlock(value, bigEndian, 2);
            const TBitmap picture = Decode(EncodeFixture(f));
            EXPECT_EQ(picture.Width(), 48);
            EXPECT_EQ(picture.Height(), 32);
            EXPECT_EQ(SquaresOf(picture), upright);
        }
}

TEST(JpegRead, ADamagedExifBlockLeavesThePictureAsStored)
{
    TJpegFixture f = ColourFixture(Squares({"AD", "BE", "CF"}));
    f.app1 = ExifBlock(6, false);
    f.app1[10] = 0xF0; // directory far beyond the block
    std::string warning;
    EXPECT_EQ(SquaresOf(Decode(EncodeFixture(f), &warning)), (std::vector<std::string>{"AD", "BE", "CF"}));
    EXPECT_EQ(warning, "");

    f.app1 = ExifBlock(6, false);
    f.app1.resize(20); // cut inside the entry
    EXPECT_EQ(SquaresOf(Decode(EncodeFixture(f))), (std::vector<std::string>{"AD", "BE", "CF"}));
}

TEST(JpegBadInput, FilesThatAreNoJpegAreRefusedWithTheLibrarysMessage)
{
    std::ostringstream bmp;
    WriteBmp(bmp, Smooth(4, 4));
    const std::string bmpBytes = bmp.str();
    const TBytes notJpeg(bmpBytes.begin(), bmpBytes.end());
    EXPECT_EQ(ErrorOf(notJpeg), "Cannot read test.jpg: Not a JPEG file: starts with 0x42 0x4d");
    EXPECT_EQ(ErrorOf({}), "Cannot read test.jpg: Empty input file");
    EXPECT_TRUE(Contains(ErrorOf({0xFF, 0xD8}), "Cannot read test.jpg: "));

    // Every cut inside the headers is an error, whatever was read.
    const TBytes good = Encode(Smooth(16, 16));
    const std::size_t scan = Find(Segments(good), 0xDA)->begin;
    for (std::size_t size = 1; size < scan + 10; size += 7)
        EXPECT_TRUE(Contains(ErrorOf(TBytes(good.begin(), good.begin() + std::ptrdiff_t(size))), "test.jpg"))
            << "cut at " << size;
}

TEST(JpegBadInput, GarbageInsideTheDataIsDamage)
{
    const TBitmap original = Smooth(64, 64);
    TBytes file = Encode(original);
    const TSegment scan = *Find(Segments(file), 0xDA);
    for (std::size_t i = scan.begin + 40; i < scan.begin + 80; ++i)
        file[i] = std::uint8_t(i * 37 & 0x7F); // no 0xFF: no false markers
    std::string warning;
    const TBitmap picture = Decode(file, &warning);
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_TRUE(Contains(warning, "test.jpg is damaged: Corrupt JPEG data")) << warning;
}

// The policy: a damaged file opens only for a caller that takes the warning
// and shows it; otherwise it is refused with the same text.
TEST(JpegBadInput, TruncatedFilesOpenWithAWarningOrAreRefused)
{
    const TBitmap original = Smooth(64, 64);
    const TBytes whole = Encode(original);
    const TSegment scan = *Find(Segments(whole), 0xDA);
    const TBytes cut(whole.begin(), whole.begin() + std::ptrdiff_t((scan.begin + scan.end) / 2));

    std::string warning;
    const TBitmap picture = Decode(cut, &warning);
    EXPECT_EQ(warning, "test.jpg is damaged: Premature end of JPEG file");
    ASSERT_EQ(picture.Width(), 64);
    ASSERT_EQ(picture.Height(), 64);
    // The top is the picture, the lost bottom is the library's grey.
    EXPECT_NEAR(picture.ScanLine(0)[0], original.ScanLine(0)[0], 6);
    for (int x = 0; x < 64 * 3; ++x)
        EXPECT_NEAR(picture.ScanLine(63)[x], 128, 1) << x;

    EXPECT_EQ(ErrorOf(cut), "test.jpg is damaged: Premature end of JPEG file");
    EXPECT_EQ(ErrorOf(whole, &warning), "no error");
    EXPECT_EQ(warning, "");
}

// libjpeg warns about a JFIF version it does not know, but that says nothing
// about the pixels.
TEST(JpegBadInput, AnUnknownJfifVersionIsNoDamage)
{
    TBytes file = Encode(Smooth(16, 16));
    const TSegment jfif = *Find(Segments(file), 0xE0);
    file[jfif.begin + 9] = 3; // major version
    std::string warning = "not cleared";
    EXPECT_EQ(Decode(file, &warning).Width(), 16);
    EXPECT_EQ(warning, "");
}

TEST(JpegBadInput, PicturesBeyondTheLimitsAreRefusedBeforeDecoding)
{
    const TBytes small = Encode(Smooth(16, 16));
    // The library's own limit is 65500 on a side.
    EXPECT_EQ(ErrorOf(WithSize(small, 65535, 65535)),
              "Cannot read test.jpg: Maximum supported image dimension is 65500 pixels");
    // Ours is 2^28 pixels in all: 16384 x 16384 is allowed, one more row is not.
    EXPECT_EQ(ErrorOf(WithSize(small, 16384, 16385)), "test.jpg is too large: 16384 x 16385 pixels");
    EXPECT_EQ(ErrorOf(WithSize(small, 65500, 4099)), "test.jpg is too large: 65500 x 4099 pixels");
    // A size within the limits that the file's few bytes cannot hold.
    EXPECT_EQ(ErrorOf(WithSize(small, 16384, 16384)),
              "test.jpg is truncated: it is too short to hold a picture of 16384 x 16384 pixels");
    EXPECT_EQ(ErrorOf(WithSize(small, 4000, 3000)),
              "test.jpg is truncated: it is too short to hold a picture of 4000 x 3000 pixels");
}

// A progressive file keeps all coefficients, 128 bytes a block: 16384 x 16384
// at full chroma resolution would need 1.5 GiB. Padding makes the file long
// enough to pass the bits-per-block floor, so only the memory cap stops it,
// before any of that memory is taken.
TEST(JpegBadInput, TheDecodersMemoryIsCapped)
{
    TJpegFixture f = ColourFixture(Smooth(16, 16));
    f.progressive = true;
    TBytes file = WithSize(EncodeFixture(f), 16384, 16384);
    const TSegment frame = *Find(Segments(file), 0xC2);
    file[frame.begin + 11] = 0x11; // luminance no longer sampled 2 x 2
    file.resize(file.size() + 3 * 2048 * 2048 / 8);
    EXPECT_EQ(ErrorOf(file), "Cannot read test.jpg: the picture needs more memory than the JPEG decoder may use "
                             "(1024 MiB)");
}

namespace {

// A progressive file with its last scan repeated until it has `scans` scans.
TBytes WithScans(int scans)
{
    TJpegFixture f = ColourFixture(Smooth(16, 16));
    f.progressive = true;
    TBytes file = EncodeFixture(f);
    const std::vector<TSegment> segments = Segments(file);
    const int have = Count(segments, 0xDA);
    TSegment last{};
    for (const TSegment& s : segments)
        if (s.marker == 0xDA)
            last = s;
    TBytes result(file.begin(), file.begin() + std::ptrdiff_t(last.end));
    for (int i = have; i < scans; ++i)
        result.insert(result.end(), file.begin() + std::ptrdiff_t(last.begin), file.begin() + std::ptrdiff_t(last.end));
    result.insert(result.end(), file.begin() + std::ptrdiff_t(last.end), file.end());
    return result;
}

} // namespace

TEST(JpegBadInput, FilesWithTooManyScansAreRefused)
{
    ASSERT_EQ(JpegScanLimit(4), 256);
    ASSERT_EQ(Count(Segments(WithScans(256)), 0xDA), 256);
    // Repeated scans are damage, but up to the limit the file still opens.
    std::string warning;
    EXPECT_EQ(Decode(WithScans(256), &warning).Width(), 16);
    EXPECT_TRUE(Contains(warning, "test.jpg is damaged: ")) << warning;
    EXPECT_EQ(ErrorOf(WithScans(257), &warning),
              "Cannot read test.jpg: it has more than 256 scans, far more than any real picture");
    EXPECT_TRUE(Contains(ErrorOf(WithScans(20000), &warning), "more than 256 scans"));
}

TEST(JpegBadInput, TheScanLimitShrinksForBigPictures)
{
    EXPECT_EQ(JpegScanLimit(0), 256);
    EXPECT_EQ(JpegScanLimit(1), 256);
    EXPECT_EQ(JpegScanLimit(1 << 19), 256); // 2^27 / 2^19
    EXPECT_EQ(JpegScanLimit((1 << 19) + 1), 255);
    EXPECT_EQ(JpegScanLimit(1 << 20), 128);
    EXPECT_EQ(JpegScanLimit(3 << 20), 42);
    EXPECT_EQ(JpegScanLimit(1 << 22), 32);
    EXPECT_EQ(JpegScanLimit(std::int64_t(1) << 24), 32); // never below 32
}

namespace {

class JpegFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("lq-jpeg-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST_F(JpegFiles, AWrittenFileReadsBack)
{
    const std::string path = (dir / "out.JPG").string();
    const TBitmap picture = Smooth(30, 20);
    WriteJpegFile(path, picture);
    const TBytes bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, Encode(picture)); // the same bytes as through a stream
    EXPECT_SAME_PICTURE(ReadJpegFile(path), Decode(bytes));
}

TEST_F(JpegFiles, AFailedWriteKeepsTheOldFile)
{
    const std::string path = (dir / "keep.jpg").string();
    WriteJpegFile(path, Smooth(8, 8));
    const TBytes old = ReadWholeFile(path);
    try {
        WriteJpegFile(path, TBitmap()); // JPEG has no empty pictures
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write " + path + ": Empty JPEG image (DNL not supported)");
    }
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// A failed read returns nothing, so the caller's picture (the open document)
// and its earlier warning stay as they were.
TEST_F(JpegFiles, AFailedReadLeavesThePictureAsItWasAndSaysWhy)
{
    TBitmap document = Smooth(5, 3);
    const TBitmap before = document;
    std::string warning = "earlier warning";
    const std::string missing = (dir / "missing.jpg").string();
    try {
        document = ReadJpegFile(missing, &warning);
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open " + missing + ": No such file or directory");
    }
    EXPECT_THROW(document = ReadJpegFile(dir.string(), &warning), TFileError);
    EXPECT_THROW(document = Decode(TBytes{0xFF, 0xD8, 0xFF, 0xC0, 0, 3}, &warning), TFileError);
    EXPECT_SAME_PICTURE(document, before);
    EXPECT_EQ(warning, "earlier warning");
    EXPECT_THROW(WriteJpegFile((dir / "no" / "such" / "dir.jpg").string(), Smooth(4, 4)), TFileError);
}

TEST(JpegWrite, AFailingStreamIsAnError)
{
    std::ostringstream bad;
    bad.setstate(std::ios::badbit);
    try {
        WriteJpeg(bad, Smooth(4, 4));
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write the JPEG picture: Output file write error --- out of disk space?");
    }

    // The exception of a stream that throws reaches the caller unchanged,
    // without ever passing through libjpeg.
    struct TThrowingBuffer : std::streambuf {
        int_type overflow(int_type) override { throw std::runtime_error("disk gone"); }
    } buffer;
    std::ostream throwing(&buffer);
    throwing.exceptions(std::ios::badbit);
    try {
        WriteJpeg(throwing, Smooth(4, 4));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "disk gone");
    }
}
