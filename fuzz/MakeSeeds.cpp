// Writes the seed inputs that cjpeg and djpeg cannot make (four-component and
// EXIF JPEG files, the bitmap variants) and the hand-made hostile inputs kept
// as regressions. Built and run by fuzz/make-seeds; not part of the program.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/picture/JpegFixtures.h"

namespace {

std::string Root;

void Save(const std::string& relative, const TBytes& bytes)
{
    const std::string path = Root + "/" + relative;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void Put16(TBytes& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void Put32(TBytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// ---- JPEG -----------------------------------------------------------------

// A small picture of gradients in every channel, encoded by libjpeg itself.
TJpegFixture Fixture(TJpegKind kind = TJpegKind::Colour, int width = 16, int height = 16)
{
    TJpegFixture f;
    f.width = width;
    f.height = height;
    f.kind = kind;
    const int components = kind == TJpegKind::Colour ? 3 : 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                f.samples.push_back(std::uint8_t((x * 16 + y * 5 + c * 70) & 255));
    return f;
}

TBytes WithSize(TBytes f, int width, int height)
{
    for (const TSegment& s : Segments(f))
        if (s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xCC) {
            f[s.begin + 5] = std::uint8_t(height >> 8);
            f[s.begin + 6] = std::uint8_t(height);
            f[s.begin + 7] = std::uint8_t(width >> 8);
            f[s.begin + 8] = std::uint8_t(width);
        }
    return f;
}

void MakeJpegs()
{
    Save("corpus/jpeg/cmyk-adobe.jpg", EncodeFixture(Fixture(TJpegKind::Cmyk)));
    Save("corpus/jpeg/ycck-adobe.jpg", EncodeFixture(Fixture(TJpegKind::Ycck)));
    Save("corpus/jpeg/cmyk-plain.jpg", EncodeFixture(Fixture(TJpegKind::PlainCmyk)));

    TJpegFixture exif = Fixture(TJpegKind::Colour, 24);
    exif.app1 = ExifBlock(6, false, 1);
    Save("corpus/jpeg/exif-6-intel.jpg", EncodeFixture(exif));
    exif.app1 = ExifBlock(8, true, 1);
    Save("corpus/jpeg/exif-8-motorola.jpg", EncodeFixture(exif));
    exif.app1 = ExifBlock(5, true, 1);
    exif.progressive = true;
    Save("corpus/jpeg/exif-5-progressive.jpg", EncodeFixture(exif));

    // Hostile inputs the reader must refuse or survive.
    const TBytes small = EncodeFixture(Fixture());
    Save("regressions/jpeg/claims-16384x16385.jpg", WithSize(small, 16384, 16385));
    Save("regressions/jpeg/claims-16384x16384-tiny-file.jpg", WithSize(small, 16384, 16384));
    Save("regressions/jpeg/claims-65535x65535.jpg", WithSize(small, 65535, 65535));
    Save("regressions/jpeg/height-zero.jpg", WithSize(small, 16, 0));
    for (const TSegment& s : Segments(small))
        if (s.marker == 0xDA)
            Save("regressions/jpeg/cut-in-scan.jpg",
                 TBytes(small.begin(), small.begin() + std::ptrdiff_t(s.begin + (s.end - s.begin) / 2)));

    TJpegFixture progressive = Fixture();
    progressive.progressive = true;
    TBytes many = EncodeFixture(progressive);
    TSegment last{};
    for (const TSegment& s : Segments(many))
        if (s.marker == 0xDA)
            last = s;
    const TBytes scan(many.begin() + std::ptrdiff_t(last.begin), many.begin() + std::ptrdiff_t(last.end));
    for (int i = 0; i < 400; ++i)
        many.insert(many.begin() + std::ptrdiff_t(last.end), scan.begin(), scan.end());
    Save("regressions/jpeg/400-repeated-scans.jpg", many);

    // Arithmetic coding has no bits-per-block floor: a few hundred bytes
    // claim the largest picture at full chroma resolution.
    TJpegFixture arithmetic = Fixture();
    arithmetic.progressive = arithmetic.arithmetic = true;
    TBytes huge = WithSize(EncodeFixture(arithmetic), 16384, 16384);
    for (const TSegment& s : Segments(huge))
        if (s.marker == 0xCA)
            huge[s.begin + 11] = 0x11;
    Save("regressions/jpeg/arithmetic-claims-16384x16384.jpg", huge);
}

// ---- Windows bitmaps ------------------------------------------------------

struct TBmp {
    int width = 5, height = 3; // negative height: top-down rows
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::vector<std::uint32_t> masks; // written after a 40-byte header, or inside a longer one
    int colours = 0; // palette entries
    std::uint32_t clrUsed = 0; // 0: the number of palette entries
    TBytes pixels; // when empty: made up from the size and depth
};

TBytes Pixels(const TBmp& b)
{
    const int rows = b.height < 0 ? -b.height : b.height;
    const std::size_t stride = (std::size_t(b.width) * b.bits + 31) / 32 * 4;
    TBytes p(stride * rows);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = std::uint8_t(i * 29 + 7);
    if (b.bits <= 8) // stay within the palette
        for (auto& v : p)
            v &= std::uint8_t(b.bits == 8 ? b.colours - 1 : b.bits == 4 ? 0x77 : 0xFF);
    return p;
}

TBytes Bitmap(const TBmp& b)
{
    const bool core = b.infoSize == 12;
    const int entry = core ? 3 : 4;
    const std::size_t extraMasks = (b.infoSize == 40 && b.compression == 3) ? b.masks.size() * 4 : 0;
    const TBytes pixels = b.pixels.empty() ? Pixels(b) : b.pixels;
    const std::uint32_t offset = std::uint32_t(14 + b.infoSize + extraMasks + std::size_t(b.colours) * entry);

    TBytes f = {'B', 'M'};
    Put32(f, std::uint32_t(offset + pixels.size()));
    Put32(f, 0);
    Put32(f, offset);
    Put32(f, b.infoSize);
    if (core) {
        Put16(f, unsigned(b.width));
        Put16(f, unsigned(b.height));
        Put16(f, 1);
        Put16(f, unsigned(b.bits));
    } else {
        Put32(f, std::uint32_t(b.width));
        Put32(f, std::uint32_t(b.height));
        Put16(f, 1);
        Put16(f, unsigned(b.bits));
        Put32(f, b.compression);
        Put32(f, std::uint32_t(pixels.size()));
        Put32(f, 2835);
        Put32(f, 2835);
        // Zero would mean a full table of 2^bits colours.
        const bool shortTable = b.bits < 32 && b.colours < (1 << b.bits);
        Put32(f, b.clrUsed != 0 ? b.clrUsed : shortTable ? std::uint32_t(b.colours) : 0);
        Put32(f, 0);
        std::size_t written = 40;
        for (std::uint32_t m : b.masks) {
            if (written >= b.infoSize && b.infoSize != 40)
                break;
            Put32(f, m);
            written += 4;
        }
        if (b.infoSize > 40) {
            if (b.infoSize >= 108 && written < 60)
                while (written < 56) {
                    Put32(f, 0);
                    written += 4;
                }
            if (b.infoSize >= 108) {
                Put32(f, 0x73524742); // 'sRGB'
                written += 4;
            }
            while (written < b.infoSize) {
                f.push_back(0);
                ++written;
            }
        }
    }
    for (int i = 0; i < b.colours; ++i) {
        f.push_back(std::uint8_t(i * 37));
        f.push_back(std::uint8_t(255 - i * 11));
        f.push_back(std::uint8_t(i * 90));
        if (!core)
            f.push_back(0);
    }
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

void MakeBitmaps()
{
    TBmp b;
    Save("corpus/bmp/24-bottom-up.bmp", Bitmap(b));
    b.height = -3;
    Save("corpus/bmp/24-top-down.bmp", Bitmap(b));

    TBmp b32;
    b32.bits = 32;
    Save("corpus/bmp/32.bmp", Bitmap(b32));
    b32.compression = 3;
    b32.masks = {0x0000FF00, 0x00FF0000, 0xFF000000};
    Save("corpus/bmp/32-bitfields.bmp", Bitmap(b32));
    b32.infoSize = 124;
    b32.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    Save("corpus/bmp/32-v5-alpha.bmp", Bitmap(b32));

    TBmp b16;
    b16.bits = 16;
    Save("corpus/bmp/16-555.bmp", Bitmap(b16));
    b16.compression = 3;
    b16.masks = {0xF800, 0x07E0, 0x001F};
    Save("corpus/bmp/16-565-bitfields.bmp", Bitmap(b16));
    b16.infoSize = 52;
    Save("corpus/bmp/16-565-info52.bmp", Bitmap(b16));
    b16.infoSize = 56;
    b16.masks = {0x7C00, 0x03E0, 0x001F, 0x8000};
    Save("corpus/bmp/16-1555-info56.bmp", Bitmap(b16));

    TBmp v4;
    v4.infoSize = 108;
    Save("corpus/bmp/24-v4.bmp", Bitmap(v4));

    TBmp p8;
    p8.bits = 8;
    p8.colours = 16;
    p8.clrUsed = 16;
    Save("corpus/bmp/8-palette.bmp", Bitmap(p8));
    TBmp p4;
    p4.bits = 4;
    p4.colours = 8;
    p4.clrUsed = 8;
    Save("corpus/bmp/4-palette.bmp", Bitmap(p4));
    TBmp p1;
    p1.bits = 1;
    p1.colours = 2;
    p1.width = 11;
    Save("corpus/bmp/1-palette.bmp", Bitmap(p1));

    TBmp core;
    core.infoSize = 12;
    Save("corpus/bmp/24-os2-core.bmp", Bitmap(core));
    core.bits = 8;
    core.colours = 256; // a core header has no colour count: the table is full
    Save("corpus/bmp/8-os2-core.bmp", Bitmap(core));

    // 5 x 3, RLE8: a run, absolute mode, a delta, ends of line and of bitmap.
    TBmp rle8;
    rle8.bits = 8;
    rle8.colours = 4;
    rle8.compression = 1;
    rle8.pixels = {5, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 2, 1, 0, 1, 2, 0, 0, 2, 2, 0, 1};
    Save("corpus/bmp/8-rle8.bmp", Bitmap(rle8));
    // 6 x 2, RLE4: a run of alternating nibbles, absolute mode, end.
    TBmp rle4;
    rle4.bits = 4;
    rle4.width = 6;
    rle4.height = 2;
    rle4.colours = 4;
    rle4.compression = 2;
    rle4.pixels = {6, 0x12, 0, 0, 0, 4, 0x30, 0x21, 2, 0x33, 0, 1};
    Save("corpus/bmp/4-rle4.bmp", Bitmap(rle4));

    // Hostile inputs the reader must refuse or survive.
    TBmp huge;
    huge.width = 70000;
    huge.height = 70000;
    huge.pixels = TBytes(12, 1);
    Save("regressions/bmp/claims-70000x70000.bmp", Bitmap(huge));
    huge.width = 16384;
    huge.height = 16384;
    Save("regressions/bmp/claims-16384x16384-tiny-file.bmp", Bitmap(huge));
    TBmp colours;
    colours.bits = 8;
    colours.colours = 2;
    colours.clrUsed = 0xFFFFFFFF;
    colours.pixels = TBytes(24, 1);
    Save("regressions/bmp/colour-count-4g.bmp", Bitmap(colours));
    TBmp overrun = rle8;
    overrun.pixels = {255, 1, 255, 2, 0, 2, 200, 200, 255, 3, 0, 0, 0, 5, 1, 2};
    Save("regressions/bmp/rle8-runs-past-the-picture.bmp", Bitmap(overrun));
    TBmp overrun4 = rle4;
    overrun4.pixels = {255, 0x12, 0, 255, 1, 2, 3};
    Save("regressions/bmp/rle4-absolute-past-the-data.bmp", Bitmap(overrun4));
    TBmp noMasks = b32;
    noMasks.infoSize = 40;
    noMasks.masks = {0, 0, 0};
    Save("regressions/bmp/32-bitfields-all-zero.bmp", Bitmap(noMasks));
    TBmp shortPixels;
    shortPixels.pixels = TBytes(7, 9);
    Save("regressions/bmp/pixels-cut-short.bmp", Bitmap(shortPixels));
    TBmp wide;
    wide.width = -5;
    wide.pixels = TBytes(48, 3);
    Save("regressions/bmp/negative-width.bmp", Bitmap(wide));
    TBmp zeroBits;
    zeroBits.bits = 0;
    zeroBits.pixels = TBytes(8, 0);
    Save("regressions/bmp/zero-bits.bmp", Bitmap(zeroBits));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-seeds-tool FUZZ_FOLDER\n");
        return 2;
    }
    Root = argv[1];
    MakeJpegs();
    MakeBitmaps();
    return 0;
}
