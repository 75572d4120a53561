#include "PictureKind.h"

#include <cstring>

namespace {

bool StartsWith(const std::uint8_t* data, std::size_t size, std::size_t at, const char* text, std::size_t length)
{
    return size >= at + length && std::memcmp(data + at, text, length) == 0;
}

bool IsHeifBrand(const std::uint8_t* brand)
{
    static const char* const Brands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs",
                                         "mif1", "msf1", "avif", "avis"};
    for (const char* b : Brands)
        if (std::memcmp(brand, b, 4) == 0)
            return true;
    return false;
}

// An ISO media file starts with its "ftyp" box: size, "ftyp", the major
// brand, a minor version and the compatible brands.
bool IsHeif(const std::uint8_t* data, std::size_t size)
{
    if (!StartsWith(data, size, 4, "ftyp", 4) || size < 12)
        return false;
    const std::size_t box = std::size_t(data[0]) << 24 | std::size_t(data[1]) << 16 | std::size_t(data[2]) << 8 | data[3];
    if (box < 16)
        return false;
    if (IsHeifBrand(data + 8))
        return true;
    const std::size_t end = box < size ? box : size;
    for (std::size_t at = 16; at + 4 <= end; at += 4)
        if (IsHeifBrand(data + at))
            return true;
    return false;
}

} // namespace

TPictureKind PictureKindOf(const std::uint8_t* data, std::size_t size)
{
    if (StartsWith(data, size, 0, "\xFF\xD8\xFF", 3))
        return TPictureKind::Jpeg;
    if (StartsWith(data, size, 0, "\x89PNG\r\n\x1A\n", 8))
        return TPictureKind::Png;
    if (StartsWith(data, size, 0, "RIFF", 4) && StartsWith(data, size, 8, "WEBP", 4))
        return TPictureKind::WebP;
    // Classic and big TIFF, in either byte order.
    if (StartsWith(data, size, 0, "II*\0", 4) || StartsWith(data, size, 0, "MM\0*", 4) ||
        StartsWith(data, size, 0, "II+\0", 4) || StartsWith(data, size, 0, "MM\0+", 4))
        return TPictureKind::Tiff;
    if (IsHeif(data, size))
        return TPictureKind::Heif;
    // Last: two letters are a weak sign, so the others go first.
    if (StartsWith(data, size, 0, "BM", 2))
        return TPictureKind::Bitmap;
    return TPictureKind::Unknown;
}
