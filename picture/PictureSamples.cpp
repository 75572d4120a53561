#include "picture/PictureSamples.h"

#include "picture/ExifOrientation.h"
#include "picture/FileError.h"
#include "picture/MemoryBudget.h"

#include <cstring>

void CheckPictureSize(std::int64_t width, std::int64_t height, std::uint64_t extraBytes, const std::string& name)
{
    if (width <= 0 || height <= 0)
        throw TFileError("Cannot read " + name + ": it has no pixels");
    if (!TBitmap::SizeAllowed(width, height))
        throw TFileError(name + " is too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
    const std::uint64_t bytes = std::uint64_t(TBitmap::StrideFor(int(width))) * std::uint64_t(height) + extraBytes;
    if (!PictureMemoryFits(width, height, bytes))
        throw TFileError(name + " cannot be opened: " + NotEnoughMemoryText(width, height));
}

int OrientationOfExifBlock(const std::uint8_t* data, std::size_t size)
{
    static const char Signature[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (data == nullptr)
        return 1;
    if (size >= sizeof Signature && std::memcmp(data, Signature, sizeof Signature) == 0)
        return ExifOrientation(data, size);
    std::vector<std::uint8_t> block(Signature, Signature + sizeof Signature);
    block.insert(block.end(), data, data + size);
    return ExifOrientation(block.data(), block.size());
}
