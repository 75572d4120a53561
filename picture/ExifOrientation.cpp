#include "picture/ExifOrientation.h"

#include <cstring>

namespace {

constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t TypeShort = 3;
constexpr std::uint16_t TypeLong = 4;
constexpr std::size_t EntrySize = 12;

// The TIFF part of the block, read in its own byte order. Callers check
// that offset + width <= size.
struct TTiffReader {
    const std::uint8_t* data;
    std::size_t size;
    bool bigEndian;

    std::uint16_t U16(std::size_t offset) const
    {
        const std::uint8_t* p = data + offset;
        return bigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
    }
    std::uint32_t U32(std::size_t offset) const
    {
        const std::uint32_t a = U16(offset), b = U16(offset + 2);
        return bigEndian ? (a << 16 | b) : (b << 16 | a);
    }
};

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size)
{
    static const char Signature[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (data == nullptr || size < sizeof Signature + 8 || std::memcmp(data, Signature, sizeof Signature) != 0)
        return 1;

    TTiffReader tiff{data + sizeof Signature, size - sizeof Signature, false};
    if (tiff.data[0] == 'M' && tiff.data[1] == 'M')
        tiff.bigEndian = true;
    else if (tiff.data[0] != 'I' || tiff.data[1] != 'I')
        return 1;
    if (tiff.U16(2) != 42)
        return 1;

    // 64-bit arithmetic: the offsets come from the file and may be anything.
    const std::uint64_t directory = tiff.U32(4);
    if (directory + 2 > tiff.size)
        return 1;
    const std::uint64_t count = tiff.U16(std::size_t(directory));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 2 + i * EntrySize;
        if (entry + EntrySize > tiff.size)
            return 1;
        const auto at = std::size_t(entry);
        if (tiff.U16(at) != OrientationTag)
            continue;
        // The value sits in the entry itself (a single SHORT, or a LONG from
        // writers that got the type wrong).
        const std::uint16_t type = tiff.U16(at + 2);
        if (tiff.U32(at + 4) != 1)
            return 1;
        std::uint32_t value = 0;
        if (type == TypeShort)
            value = tiff.U16(at + 8);
        else if (type == TypeLong)
            value = tiff.U32(at + 8);
        return value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}
