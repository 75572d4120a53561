#include "picture/ColorProfile.h"
#include "picture/FileError.h"
#include "picture/HeifFile.h"
#include "picture/JpegFile.h"
#include "picture/Orientation.h"
#include "picture/PictureDecoders.h"
#include "picture/PictureKind.h"
#include "picture/PngFile.h"
#include "picture/TiffFile.h"
#include "picture/WebPFile.h"
#include "tests/picture/JpegFixtures.h"
#include "tests/picture/PictureFixtures.h"
#include "tests/picture/TestPictures.h"
#include "tests/picture/PicturePrinter.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

namespace {

using TPixels = std::vector<std::uint8_t>;

TBitmap Png(const TPngPicture& png)
{
    const TBytes bytes = EncodePng(png);
    return DecodePng(bytes.data(), bytes.size(), "test.png");
}

TBitmap Pattern(int width, int height)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                picture.ScanLine(y)[x * 3 + k] = std::uint8_t(x * 37 + y * 11 + k * 90);
    return picture;
}

TPngPicture PngOf(int width, int height, int depth, int colorType, std::vector<std::uint16_t> samples,
                  std::vector<std::uint8_t> palette = {}, std::vector<std::uint16_t> transparent = {})
{
    TPngPicture png;
    png.width = width;
    png.height = height;
    png.depth = depth;
    png.colorType = colorType;
    png.samples = std::move(samples);
    png.palette = std::move(palette);
    png.transparent = std::move(transparent);
    return png;
}

TTiffPicture TiffOf(int width, int height, int depth, int photometric, int samplesPerPixel, bool alpha,
                    std::vector<std::uint16_t> samples)
{
    TTiffPicture tiff;
    tiff.width = width;
    tiff.height = height;
    tiff.depth = depth;
    tiff.photometric = photometric;
    tiff.samplesPerPixel = samplesPerPixel;
    tiff.alpha = alpha;
    tiff.samples = std::move(samples);
    return tiff;
}

double MeanDifference(const TBitmap& a, const TBitmap& b)
{
    const TPixels pa = PixelsOf(a), pb = PixelsOf(b);
    double sum = 0;
    for (std::size_t i = 0; i < pa.size(); ++i)
        sum += std::abs(int(pa[i]) - int(pb[i]));
    return sum / double(pa.size());
}

// Every PNG layout becomes blue-green-red bytes: 16-bit samples rounded
// (0x01FF is 2, where dropping the low byte gives 1), grey and palettes
// expanded, alpha and tRNS keys composited over white.
TEST(PngRead, EveryLayoutBecomesRoundedBgrOverWhite)
{
    const struct {
        const char* Name;
        TPngPicture Picture;
        TPixels Expected; // two pixels, blue-green-red
    } cases[] = {
        {"16-bit RGB", PngOf(2, 1, 16, 2, {0x00FF, 0x01FF, 0x7F7F, 0xFFFF, 0x8080, 0x0000}), {127, 2, 1, 0, 128, 255}},
        {"8-bit RGBA", PngOf(2, 1, 8, 6, {255, 0, 0, 0, 0, 0, 0, 128}), {255, 255, 255, 127, 127, 127}},
        {"16-bit grey and alpha", PngOf(2, 1, 16, 4, {0, 0x8000, 0xFFFF, 0xFFFF}), {127, 127, 127, 255, 255, 255}},
        {"palette with tRNS",
         PngOf(2, 1, 8, 3, {0, 1}, {10, 20, 30, 200, 100, 50}, {255, 0}),
         {30, 20, 10, 255, 255, 255}},
        {"1-bit grey", PngOf(2, 1, 1, 0, {1, 0}), {255, 255, 255, 0, 0, 0}},
        {"RGB with a tRNS key", PngOf(2, 1, 8, 2, {1, 2, 3, 4, 5, 6}, {}, {1, 2, 3}), {255, 255, 255, 6, 5, 4}},
        {"16-bit grey with a tRNS key", PngOf(2, 1, 16, 0, {0x1234, 0x0180}, {}, {0x1234}), {255, 255, 255, 1, 1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelsOf(Png(c.Picture)), c.Expected) << c.Name;
}

// The eXIf orientation turns the picture; an RGB profile converts to sRGB
// (checked against the published matrices, within a level); an sRGB profile
// or a broken one leaves the samples as they are.
TEST(PngRead, OrientationAndColourProfileApply)
{
    TPngPicture png = PngOf(3, 2, 8, 2, {});
    for (int i = 0; i < 18; ++i)
        png.samples.push_back(std::uint16_t(i * 13));
    const TBitmap plain = Png(png);
    png.exif = ExifBlock(6);
    EXPECT_SAME_PICTURE(Png(png), ApplyOrientation(plain, 6));

    const std::uint8_t colours[][3] = {{100, 150, 200}, {200, 100, 50}, {128, 128, 128}, {30, 180, 60}};
    TPngPicture tagged = PngOf(4, 1, 8, 2, {});
    for (const auto& c : colours)
        tagged.samples.insert(tagged.samples.end(), {c[0], c[1], c[2]});
    tagged.profile = AdobeRgbProfile();
    const TBitmap converted = Png(tagged);
    for (int x = 0; x < 4; ++x) {
        double expected[3];
        AdobeToSrgb(colours[x], expected);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(converted.ScanLine(0)[x * 3 + 2 - k], expected[k], 1.0) << "colour " << x << " sample " << k;
    }
    TBytes broken = AdobeRgbProfile();
    broken.resize(200);
    for (const TBytes& profile : {SrgbProfile(), broken, TBytes(300, 7)}) {
        tagged.profile = profile;
        TPngPicture untagged = tagged;
        untagged.profile.clear();
        EXPECT_SAME_PICTURE(Png(tagged), Png(untagged));
    }
}

TBytes Ihdr(std::uint32_t width, std::uint32_t height)
{
    TBytes bytes = EncodePng(PngOf(1, 1, 8, 0, {0}));
    // The IHDR's width and height, and its CRC made right again.
    for (int i = 0; i < 4; ++i) {
        bytes[16 + i] = std::uint8_t(width >> (24 - 8 * i));
        bytes[20 + i] = std::uint8_t(height >> (24 - 8 * i));
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc ^= 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i)
        bytes[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
    return bytes;
}

// Refused before any pixel memory is taken: beyond the side limit, and a
// small file that claims far more pixels than deflate could give it; refused
// on the way: truncated data and a broken checksum.
TEST(PngRead, HostileFilesAreRefused)
{
    TPngPicture png = PngOf(40, 30, 8, 2, {});
    for (int i = 0; i < 40 * 30 * 3; ++i)
        png.samples.push_back(std::uint16_t(i * 7919 % 251));
    const TBytes good = EncodePng(png);
    TBytes truncated(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
    TBytes badCrc = good;
    badCrc[good.size() - 20] ^= 0x55;

    const struct {
        const char* Name;
        TBytes Bytes;
        const char* Message;
    } cases[] = {
        {"wider than the program takes", Ihdr(65536, 1), "test.png"},
        {"a huge picture in a small file", Ihdr(60000, 4000), "is truncated"},
        {"truncated", truncated, "test.png"},
        {"damaged", badCrc, "test.png"},
        {"no PNG at all", TBytes(100, 0), "test.png"},
    };
    for (const auto& c : cases) {
        try {
            DecodePng(c.Bytes.data(), c.Bytes.size(), "test.png");
            ADD_FAILURE() << c.Name << " was read";
        } catch (const TFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << c.Name << ": " << e.what();
        }
    }
    EXPECT_EQ(PixelsOf(DecodePng(good.data(), good.size(), "good")).size(), 40u * 30 * 3);
}

// Writers and readers agree: PNG and lossless WebP exactly, lossy WebP
// closely, at sizes whose rows need padding.
TEST(PictureWriters, RoundTripsThroughTheirReaders)
{
    for (const auto& [width, height] : {std::pair{1, 1}, {13, 9}, {64, 3}}) {
        const TBitmap picture = Pattern(width, height);
        std::ostringstream png, lossless, lossy;
        WritePng(png, picture);
        WriteWebP(lossless, picture, true);
        WriteWebP(lossy, GradientPicture(width, height), false);
        const std::string a = png.str(), b = lossless.str(), c = lossy.str();
        const auto* pa = reinterpret_cast<const std::uint8_t*>(a.data());
        const auto* pb = reinterpret_cast<const std::uint8_t*>(b.data());
        const auto* pc = reinterpret_cast<const std::uint8_t*>(c.data());
        EXPECT_EQ(PictureKindOf(pa, a.size()), TPictureKind::Png);
        EXPECT_SAME_PICTURE(DecodePng(pa, a.size(), "p"), picture) << width << " x " << height;
        EXPECT_SAME_PICTURE(DecodeWebP(pb, b.size(), "w"), picture) << width << " x " << height;
        const TBitmap near = DecodeWebP(pc, c.size(), "w");
        ASSERT_EQ(near.Width(), width);
        EXPECT_LT(MeanDifference(near, GradientPicture(width, height)), 3.0) << width << " x " << height;
    }
    std::ostringstream out;
    EXPECT_THROW(WritePng(out, TBitmap()), TFileError);
    EXPECT_THROW(WriteWebP(out, TBitmap(WebPMaxSide + 1, 1), false), TFileError);
}

TEST(WebPRead, AlphaProfileAndOrientationApply)
{
    const TBitmap picture = PictureOfPixels(3, 1, {10, 20, 30, 0, 0, 0, 50, 60, 70});
    const TBytes alpha{0, 128, 255};
    const TBytes plain = EncodeWebPWith(picture, alpha, {}, {});
    EXPECT_EQ(PixelsOf(DecodeWebP(plain.data(), plain.size(), "w")),
              TPixels({255, 255, 255, 127, 127, 127, 50, 60, 70}));

    const TBytes turned = EncodeWebPWith(picture, {}, {}, ExifBlock(8));
    EXPECT_SAME_PICTURE(DecodeWebP(turned.data(), turned.size(), "w"), ApplyOrientation(picture, 8));

    const TBytes tagged = EncodeWebPWith(PictureOfPixels(1, 1, {200, 150, 100}), {}, AdobeRgbProfile(), {});
    const TBitmap converted = DecodeWebP(tagged.data(), tagged.size(), "w");
    const std::uint8_t rgb[3] = {100, 150, 200};
    double expected[3];
    AdobeToSrgb(rgb, expected);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(converted.ScanLine(0)[2 - k], expected[k], 1.0) << k;
}

TBitmap Tiff(const TTiffPicture& tiff)
{
    const TBytes bytes = EncodeTiff(tiff);
    return DecodeTiff(bytes.data(), bytes.size(), "test.tif");
}

TEST(TiffRead, EveryLayoutBecomesRoundedBgrOverWhite)
{
    const struct {
        const char* Name;
        TTiffPicture Picture;
        TPixels Expected;
    } cases[] = {
        {"16-bit RGB",
         TiffOf(2, 1, 16, 2, 3, false, {0x00FF, 0x01FF, 0x7F7F, 0xFFFF, 0x8080, 0}),
         {127, 2, 1, 0, 128, 255}},
        {"16-bit grey", TiffOf(2, 1, 16, 1, 1, false, {0x01FF, 0xFF00}), {2, 2, 2, 254, 254, 254}},
        {"16-bit RGB and alpha",
         TiffOf(2, 1, 16, 2, 4, true, {0, 0, 0, 0x8000, 0x1000, 0x2000, 0x3000, 0xFFFF}),
         {127, 127, 127, 48, 32, 16}},
        {"8-bit RGB and alpha",
         TiffOf(2, 1, 8, 2, 4, true, {0, 0, 0, 128, 10, 20, 30, 255}),
         {127, 127, 127, 30, 20, 10}},
        {"8-bit CMYK", TiffOf(2, 1, 8, 5, 4, false, {0, 0, 0, 0, 255, 0, 0, 0}), {255, 255, 255, 255, 255, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelsOf(Tiff(c.Picture)), c.Expected) << c.Name;
}

TEST(TiffRead, OrientationAndProfileApply)
{
    TTiffPicture png = TiffOf(3, 2, 8, 2, 3, false, {});
    for (int i = 0; i < 18; ++i)
        png.samples.push_back(std::uint16_t(i * 13));
    const TBitmap plain = Tiff(png);
    for (int orientation : {3, 6, 7}) {
        png.orientation = orientation;
        EXPECT_SAME_PICTURE(Tiff(png), ApplyOrientation(plain, orientation)) << orientation;
    }
    TTiffPicture tagged = TiffOf(1, 1, 16, 2, 3, false, {200 * 257, 100 * 257, 50 * 257});
    tagged.profile = AdobeRgbProfile();
    const TBitmap converted = Tiff(tagged);
    const std::uint8_t rgb[3] = {200, 100, 50};
    double expected[3];
    AdobeToSrgb(rgb, expected);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(converted.ScanLine(0)[2 - k], expected[k], 1.0) << k;
}

// libtiff complains on the terminal by default: here its words end up in the
// error, and nothing is printed.
TEST(TiffRead, HostileFilesAreRefusedQuietly)
{
    TTiffPicture png = TiffOf(40, 30, 8, 2, 3, false, {});
    for (int i = 0; i < 40 * 30 * 3; ++i)
        png.samples.push_back(std::uint16_t(i * 7919 % 251));
    const TBytes good = EncodeTiff(png);
    const TBytes truncated(good.begin(), good.begin() + 60);
    const TBytes wide = EncodeTiff(TiffOf(70000, 1, 8, 1, 1, false, std::vector<std::uint16_t>(70000, 9)));
    for (const TBytes& bytes : {truncated, wide, TBytes{'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F}}) {
        testing::internal::CaptureStderr();
        EXPECT_THROW(DecodeTiff(bytes.data(), bytes.size(), "t.tif"), TFileError) << bytes.size();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

TEST(HeifRead, HeicAndAvifOpenCloseToWhatWasEncoded)
{
    const TBitmap picture = GradientPicture(64, 48);
    for (bool avif : {false, true}) {
        const std::optional<TBytes> bytes = EncodeHeif(picture, avif);
        if (!bytes) {
            ADD_FAILURE() << (avif ? "AVIF" : "HEIC") << " cannot be encoded here";
            continue;
        }
        EXPECT_EQ(PictureKindOf(bytes->data(), bytes->size()), TPictureKind::Heif);
        const TBitmap read = DecodeHeif(bytes->data(), bytes->size(), "h");
        ASSERT_EQ(read.Width(), 64);
        ASSERT_EQ(read.Height(), 48);
        EXPECT_LT(MeanDifference(read, picture), 3.0) << avif;

        const TBytes cut(bytes->begin(), bytes->begin() + std::ptrdiff_t(bytes->size() / 2));
        EXPECT_THROW(DecodeHeif(cut.data(), cut.size(), "h"), TFileError);
    }
    // An ICC profile converts, and so do nclx primaries (Display P3 from a
    // phone); BT.709 primaries are sRGB's own. The codec's error allowed for.
    // (libheif's HEVC encoder puts nclx in the bitstream, where libheif does
    // not read it back; its AV1 encoder writes a colour box.)
    TBitmap flat(16, 16);
    flat.Fill(50, 100, 200);
    const std::uint8_t rgb[3] = {200, 100, 50};
    double adobe[3], p3[3];
    AdobeToSrgb(rgb, adobe);
    DisplayP3ToSrgb(rgb, p3);
    const double same[3] = {200, 100, 50};
    const struct {
        const char* Name;
        TBytes Profile;
        int Primaries;
        const double* Expected;
    } cases[] = {
        {"Adobe RGB profile", AdobeRgbProfile(), 0, adobe},
        {"Display P3 primaries", {}, 12, p3},
        {"BT.709 primaries", {}, 1, same},
    };
    for (const auto& c : cases) {
        const std::optional<TBytes> tagged = EncodeHeif(flat, c.Primaries != 0, c.Profile, c.Primaries);
        ASSERT_TRUE(tagged) << c.Name;
        const TBitmap converted = DecodeHeif(tagged->data(), tagged->size(), "h");
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(converted.ScanLine(8)[8 * 3 + 2 - k], c.Expected[k], 3.0) << c.Name << " " << k;
    }
}

// A CMYK file's own profile decides its colours: here every ink mix is a
// grey, where the plain ink arithmetic would give cyan. Adobe's inverted
// JPEG inks and TIFF's plain ones alike.
TEST(CmykRead, ACmykProfileConvertsTheInks)
{
    const double expected = SrgbGreyOfLightness(100 - 20 * 0.5 - 60 * 0.25);
    TJpegFixture jpeg;
    jpeg.width = 16;
    jpeg.height = 16;
    jpeg.kind = TJpegKind::Cmyk;
    jpeg.quality = 100;
    for (int i = 0; i < 16 * 16; ++i)
        jpeg.samples.insert(jpeg.samples.end(), {127, 255, 255, 191}); // inverted: c 0.5, k 0.25
    jpeg.icc = GreyCmykProfile();
    const TBytes jpegBytes = EncodeFixture(jpeg);
    const TBitmap fromJpeg = DecodeJpeg(jpegBytes.data(), jpegBytes.size(), "j");

    TTiffPicture tiff = TiffOf(2, 1, 8, 5, 4, false, {128, 0, 0, 64, 128, 0, 0, 64});
    tiff.profile = GreyCmykProfile();
    const TBitmap fromTiff = Tiff(tiff);
    for (const TBitmap* picture : {&fromJpeg, &fromTiff})
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(picture->ScanLine(0)[k], expected, 1.5) << (picture == &fromJpeg ? "JPEG " : "TIFF ") << k;
}

// A preview takes the smallest stored thumbnail that is large enough, and
// the whole picture when none is; it always reports the picture's size.
TEST(HeifRead, APreviewUsesAThumbnailLargeEnough)
{
    const TBitmap picture = GradientPicture(96, 64);
    const std::optional<TBytes> bytes = EncodeHeif(picture, false, {}, 0, 48);
    ASSERT_TRUE(bytes);
    const struct {
        int Side;
        int Width, Height;
    } cases[] = {{32, 48, 32}, {48, 48, 32}, {60, 96, 64}};
    for (const auto& c : cases) {
        const THeifPreview preview = DecodeHeifPreview(bytes->data(), bytes->size(), "h", c.Side);
        EXPECT_EQ(preview.Width, 96);
        EXPECT_EQ(preview.Height, 64);
        EXPECT_EQ(preview.Picture.Width(), c.Width) << c.Side;
        EXPECT_EQ(preview.Picture.Height(), c.Height) << c.Side;
    }
}

TEST(PictureKind, TheFirstBytesTellTheKind)
{
    const struct {
        std::string Start;
        TPictureKind Kind;
    } cases[] = {
        {"\xFF\xD8\xFF\xE0", TPictureKind::Jpeg},
        {"\x89PNG\r\n\x1A\n", TPictureKind::Png},
        {"\x89PNG\r\n", TPictureKind::Unknown},
        {std::string("RIFF\0\0\0\0WEBPVP8 ", 16), TPictureKind::WebP},
        {std::string("RIFF\0\0\0\0WAVEfmt ", 16), TPictureKind::Unknown},
        {std::string("II*\0", 4), TPictureKind::Tiff},
        {std::string("MM\0*", 4), TPictureKind::Tiff},
        {std::string("\0\0\0\x18"
                     "ftypheic\0\0\0\0mif1heic",
                     24),
         TPictureKind::Heif},
        {std::string("\0\0\0\x1C"
                     "ftypavif\0\0\0\0avifmif1miaf",
                     28),
         TPictureKind::Heif},
        {std::string("\0\0\0\x14"
                     "ftypmp42\0\0\0\0mif1",
                     20),
         TPictureKind::Heif},
        {std::string("\0\0\0\x14"
                     "ftypmp42\0\0\0\0isom",
                     20),
         TPictureKind::Unknown},
        {"BM", TPictureKind::Bitmap},
        {"", TPictureKind::Unknown},
        {"GIF89a", TPictureKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureKindOf(reinterpret_cast<const std::uint8_t*>(c.Start.data()), c.Start.size()), c.Kind)
            << testing::PrintToString(c.Start);
}

} // namespace
