#include "tests/picture/JpegFixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>

namespace {

// The fixtures are made from valid settings, so a library error here is a
// broken test set-up; the default handler prints it and ends the run.

int ComponentsOf(TJpegKind kind)
{
    switch (kind) {
    case TJpegKind::Grey: return 1;
    case TJpegKind::Colour: return 3;
    default: return 4;
    }
}

} // namespace

TBytes EncodeFixture(const TJpegFixture& f)
{
    const int components = ComponentsOf(f.kind);
    if (f.samples.size() != std::size_t(f.width) * f.height * components)
        throw std::invalid_argument("fixture samples do not match its size");

    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    info.image_width = JDIMENSION(f.width);
    info.image_height = JDIMENSION(f.height);
    info.input_components = components;
    info.in_color_space = f.kind == TJpegKind::Grey ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    if (f.kind == TJpegKind::Ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    if (f.kind == TJpegKind::PlainCmyk)
        info.write_Adobe_marker = FALSE;
    jpeg_set_quality(&info, f.quality, TRUE);
    if (f.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = f.arithmetic ? TRUE : FALSE;

    jpeg_start_compress(&info, TRUE);
    if (!f.app1.empty())
        jpeg_write_marker(&info, JPEG_APP0 + 1, f.app1.data(), unsigned(f.app1.size()));
    if (!f.icc.empty())
        jpeg_write_icc_profile(&info, f.icc.data(), unsigned(f.icc.size()));
    const std::size_t rowBytes = std::size_t(f.width) * components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(f.samples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    TBytes file(buffer, buffer + size);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return file;
}

TBytes SamplesOf(const TBitmap& picture)
{
    TBytes samples;
    for (int y = 0; y < picture.Height(); ++y)
        samples.insert(samples.end(), picture.ScanLine(y), picture.ScanLine(y) + picture.Width() * 3);
    return samples;
}

TBytes ExifBlock(int orientation, bool bigEndian, int entriesBefore)
{
    TBytes block = {'E', 'x', 'i', 'f', 0, 0};
    auto put16 = [&](unsigned v) {
        if (bigEndian) {
            block.push_back(std::uint8_t(v >> 8));
            block.push_back(std::uint8_t(v));
        } else {
            block.push_back(std::uint8_t(v));
            block.push_back(std::uint8_t(v >> 8));
        }
    };
    auto put32 = [&](std::uint32_t v) {
        if (bigEndian) {
            put16(v >> 16);
            put16(v & 0xFFFF);
        } else {
            put16(v & 0xFFFF);
            put16(v >> 16);
        }
    };
    block.push_back(bigEndian ? 'M' : 'I');
    block.push_back(bigEndian ? 'M' : 'I');
    put16(42);
    put32(8); // the directory follows the header
    put16(unsigned(entriesBefore + 1));
    for (int i = 0; i < entriesBefore; ++i) {
        put16(0x010F); // camera make, an ASCII value held elsewhere
        put16(2);
        put32(32);
        put32(400);
    }
    put16(0x0112);
    put16(3);
    put32(1);
    put16(unsigned(orientation));
    put16(0);
    put32(0); // no next directory
    return block;
}

TBitmap ReferenceDecode(const TBytes& file)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    TBitmap picture(int(info.output_width), int(info.output_height));
    std::vector<std::uint8_t> row(std::size_t(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < picture.Width(); ++x)
            for (int c = 0; c < 3; ++c)
                picture.ScanLine(y)[x * 3 + c] = row[std::size_t(x) * 3 + 2 - c];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

std::vector<TSegment> Segments(const TBytes& file)
{
    std::vector<TSegment> segments;
    std::size_t i = 0;
    while (i + 1 < file.size()) {
        if (file[i] != 0xFF || file[i + 1] == 0xFF || file[i + 1] == 0) {
            ++i;
            continue;
        }
        const std::uint8_t marker = file[i + 1];
        std::size_t end = i + 2;
        const bool standalone = marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7);
        if (!standalone && end + 2 <= file.size())
            end += std::size_t(file[end] << 8 | file[end + 1]);
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker other than a
            // stuffed zero or a restart marker.
            while (end + 1 < file.size() &&
                   !(file[end] == 0xFF && file[end + 1] != 0 && !(file[end + 1] >= 0xD0 && file[end + 1] <= 0xD7)))
                ++end;
        }
        end = std::min(end, file.size());
        segments.push_back({marker, i, end});
        i = end;
    }
    return segments;
}

TBytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TDifference Compare(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        throw std::invalid_argument("pictures of different sizes");
    std::int64_t sum = 0, count = 0;
    int max = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * 3; ++x) {
            const int d = std::abs(int(a.ScanLine(y)[x]) - int(b.ScanLine(y)[x]));
            sum += d;
            max = std::max(max, d);
            ++count;
        }
    return {count == 0 ? 0.0 : double(sum) / double(count), max};
}
