#include "picture/BmpHeader.h"

#include "picture/Bitmap.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;

bool IsOs2Signature(const std::uint8_t* p)
{
    static const char* const signatures[] = {"BA", "CI", "CP", "IC", "PT"};
    for (const char* s : signatures)
        if (p[0] == std::uint8_t(s[0]) && p[1] == std::uint8_t(s[1]))
            return true;
    return false;
}

TBmpLayout LayoutFor(const TBmpHeader& h, const std::string& name)
{
    const std::string bits = std::to_string(h.bitCount) + " bits per pixel";
    switch (h.compression) {
    case BmpRgb:
        switch (h.bitCount) {
        case 1:
        case 2:
        case 4:
        case 8: return TBmpLayout::Indexed;
        case 16:
        case 32: return TBmpLayout::Masked;
        case 24: return TBmpLayout::Bgr24;
        }
        throw BmpUnsupported(name, bits);
    case BmpRle8:
        if (h.bitCount != 8)
            throw BmpInvalid(name, "it has RLE8 compression with " + bits);
        return TBmpLayout::Rle8;
    case BmpRle4:
        if (h.bitCount != 4)
            throw BmpInvalid(name, "it has RLE4 compression with " + bits);
        return TBmpLayout::Rle4;
    case BmpBitFields:
    case BmpAlphaBitFields:
        if (h.bitCount == 16 || h.bitCount == 32)
            return TBmpLayout::Masked;
        throw BmpUnsupported(name, "bit masks with " + bits);
    case BmpJpeg: throw BmpUnsupported(name, "JPEG compression");
    case BmpPng: throw BmpUnsupported(name, "PNG compression");
    case 11:
    case 12:
    case 13: throw BmpUnsupported(name, "CMYK colours");
    }
    throw BmpUnsupported(name, "compression method " + std::to_string(h.compression));
}

bool Contiguous(std::uint32_t mask)
{
    if (mask == 0)
        return true;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// Uncompressed 16- and 32-bit pixels without masks are 5-5-5 and 8-8-8. A
// zero colour mask is allowed and reads as a channel of 0; masks that do not
// fit the pixel, have gaps or share bits make no sense and are refused. The
// alpha mask is not read: the program's pictures have no transparency.
void CheckMasks(TBmpHeader& h, const std::string& name)
{
    if (h.compression == BmpRgb) {
        const bool wide = h.bitCount == 32;
        h.redMask = wide ? 0xFF0000u : 0x7C00u;
        h.greenMask = wide ? 0x00FF00u : 0x03E0u;
        h.blueMask = wide ? 0x0000FFu : 0x001Fu;
        return;
    }
    const std::uint64_t limit = std::uint64_t(1) << h.bitCount;
    for (std::uint32_t mask : {h.redMask, h.greenMask, h.blueMask}) {
        if (mask >= limit)
            throw BmpInvalid(name, "its colour masks do not fit in " + std::to_string(h.bitCount) + "-bit pixels");
        if (!Contiguous(mask))
            throw BmpInvalid(name, "its colour masks have gaps");
    }
    if ((h.redMask & h.greenMask) | (h.redMask & h.blueMask) | (h.greenMask & h.blueMask))
        throw BmpInvalid(name, "its colour masks overlap");
}

} // namespace

TFileError BmpNotABitmap(const std::string& name) { return TFileError(name + " is not a Windows bitmap"); }

TFileError BmpTruncated(const std::string& name) { return TFileError(name + " is truncated"); }

TFileError BmpInvalid(const std::string& name, const std::string& why)
{
    return TFileError(name + " is not a valid Windows bitmap: " + why);
}

TFileError BmpUnsupported(const std::string& name, const std::string& what)
{
    return TFileError(name + " is a kind of Windows bitmap that this program cannot read (" + what + ")");
}

void ReadBmpBytes(std::istream& in, void* buffer, std::int64_t size, const std::string& name)
{
    in.read(static_cast<char*>(buffer), std::streamsize(size));
    if (in.gcount() != std::streamsize(size))
        throw BmpTruncated(name);
}

TBmpHeader ReadBmpHeader(std::istream& in, const std::string& name)
{
    std::uint8_t file[BmpFileHeaderSize];
    in.read(reinterpret_cast<char*>(file), BmpFileHeaderSize);
    const std::streamsize got = in.gcount();
    if (got < 2)
        throw BmpNotABitmap(name);
    if (file[0] != 'B' || file[1] != 'M') {
        if (IsOs2Signature(file))
            throw BmpUnsupported(name, "an OS/2 bitmap array, icon or pointer");
        throw BmpNotABitmap(name);
    }
    if (got < BmpFileHeaderSize)
        throw BmpTruncated(name);

    TBmpHeader h;
    h.fileSize = GetLe32(file + 2);
    h.pixelOffset = GetLe32(file + 10);

    std::uint8_t info[124] = {};
    ReadBmpBytes(in, info, 4, name);
    h.headerSize = GetLe32(info);
    if (h.headerSize == CoreHeaderSize) {
        // OS/2 1.x: unsigned 16-bit sizes, always bottom-up, never compressed.
        ReadBmpBytes(in, info + 4, CoreHeaderSize - 4, name);
        h.width = GetLe16(info + 4);
        h.height = GetLe16(info + 6);
        h.bitCount = GetLe16(info + 10);
        return h;
    }
    switch (h.headerSize) {
    case 40:
    case 52:
    case 56:
    case 108:
    case 124: break;
    case 16:
    case 64: throw BmpUnsupported(name, "an OS/2 2.x bitmap");
    default: throw BmpUnsupported(name, "an information header of " + std::to_string(h.headerSize) + " bytes");
    }
    ReadBmpBytes(in, info + 4, h.headerSize - 4, name);
    // Not read: the planes (always 1, meaningless in a file), the image size
    // (often 0 or wrong; the dimensions decide), the resolution and the count
    // of important colours.
    h.width = std::int32_t(GetLe32(info + 4));
    h.height = std::int32_t(GetLe32(info + 8));
    h.bitCount = GetLe16(info + 14);
    h.compression = GetLe32(info + 16);
    h.colorsUsed = GetLe32(info + 32);

    // Masks follow a 40-byte header; the larger headers hold them at the same
    // place. Only the colour masks are kept.
    if (h.headerSize == 40 && h.compression == BmpBitFields)
        h.maskBytesAfterHeader = 12;
    else if (h.headerSize == 40 && h.compression == BmpAlphaBitFields)
        h.maskBytesAfterHeader = 16;
    if (h.maskBytesAfterHeader > 0)
        ReadBmpBytes(in, info + 40, h.maskBytesAfterHeader, name);
    h.redMask = GetLe32(info + 40);
    h.greenMask = GetLe32(info + 44);
    h.blueMask = GetLe32(info + 48);
    return h;
}

void CheckBmpHeader(TBmpHeader& h, std::int64_t available, const std::string& name)
{
    if (h.width < 0)
        throw BmpInvalid(name, "its width is negative");
    const std::int64_t rows = h.height < 0 ? -h.height : h.height;
    if (h.width == 0 || rows == 0)
        throw BmpInvalid(name, "it has no pixels");
    if (!TBitmap::SizeAllowed(h.width, rows))
        throw TFileError(name + " is too large: " + std::to_string(h.width) + " x " + std::to_string(rows) +
                         " pixels (this program opens at most " + std::to_string(TBitmap::MaxSide) +
                         " pixels on a side and " + std::to_string(TBitmap::MaxPixels) + " pixels in all)");
    h.rows = int(rows);
    h.topDown = h.height < 0;

    h.layout = LayoutFor(h, name);
    if (h.layout == TBmpLayout::Masked)
        CheckMasks(h, name);
    h.rowBytes = (h.width * h.bitCount + 31) / 32 * 4;

    const std::int64_t headersEnd = BmpFileHeaderSize + std::int64_t(h.headerSize) + h.maskBytesAfterHeader;
    if (h.pixelOffset < headersEnd)
        throw BmpInvalid(name, "its pixel data overlaps its header");
    const bool compressed = h.layout == TBmpLayout::Rle8 || h.layout == TBmpLayout::Rle4;
    // Compressed data is at least an end-of-bitmap marker; its true length is
    // only known once it has been decoded.
    const std::int64_t dataBytes = compressed ? 2 : h.rowBytes * rows;
    if (std::int64_t(h.pixelOffset) + dataBytes > available)
        throw BmpTruncated(name);

    if (h.layout == TBmpLayout::Indexed || compressed) {
        // The table holds biClrUsed entries (all 2^bits when zero), but never
        // more than an index can reach nor more than fit before the pixels.
        const std::int64_t capacity = std::int64_t(1) << h.bitCount;
        const std::int64_t stated = h.headerSize == CoreHeaderSize || h.colorsUsed == 0
                                        ? capacity
                                        : std::min<std::int64_t>(h.colorsUsed, capacity);
        h.paletteEntrySize = h.headerSize == CoreHeaderSize ? 3 : 4;
        const std::int64_t room = (h.pixelOffset - headersEnd) / h.paletteEntrySize;
        h.paletteEntries = int(std::min(stated, room));
    }
}

TBmpPalette ReadBmpPalette(std::istream& in, const TBmpHeader& h, const std::string& name)
{
    TBmpPalette palette{};
    std::uint8_t bytes[256 * 4];
    ReadBmpBytes(in, bytes, std::int64_t(h.paletteEntries) * h.paletteEntrySize, name);
    for (int i = 0; i < h.paletteEntries; ++i) {
        const std::uint8_t* p = bytes + i * h.paletteEntrySize;
        palette[std::size_t(i)] = {p[0], p[1], p[2]};
    }
    return palette;
}
