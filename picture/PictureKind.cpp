#include "picture/PictureKind.h"

#include <cstring>

namespace {

bool StartsWith(const std::uint8_t* data, std::size_t size, std::size_t at, const char* text, std::size_t length)
{
    return size >= at + length && std::memcmp(data + at, text, length) == 0;
}

} // namespace

// An ISO media file starts with its "ftyp" box: size, "ftyp", the major
// brand, a minor version and the compatible brands.
bool FtypNamesBrand(const std::uint8_t* data, std::size_t size, std::initializer_list<const char*> brands)
{
    if (!StartsWith(data, size, 4, "ftyp", 4) || size < 12)
        return false;
    const std::size_t box =
        std::size_t(data[0]) << 24 | std::size_t(data[1]) << 16 | std::size_t(data[2]) << 8 | data[3];
    if (box < 16)
        return false;
    auto named = [&](std::size_t at) {
        for (const char* brand : brands)
            if (std::memcmp(data + at, brand, 4) == 0)
                return true;
        return false;
    };
    if (named(8))
        return true;
    const std::size_t end = box < size ? box : size;
    for (std::size_t at = 16; at + 4 <= end; at += 4)
        if (named(at))
            return true;
    return false;
}

namespace {

bool IsHeif(const std::uint8_t* data, std::size_t size)
{
    return FtypNamesBrand(
        data, size, {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm", "hevs", "mif1", "msf1", "avif", "avis"});
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
