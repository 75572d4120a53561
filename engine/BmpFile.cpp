#include "BmpFile.h"

#include "FileError.h"
#include "SafeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

std::uint32_t Get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::int32_t GetSigned32(const std::uint8_t* p) { return std::int32_t(Get32(p)); }

// Bytes left in the stream from the current position.
std::int64_t Remaining(std::istream& in)
{
    std::streampos here = in.tellg();
    if (here < 0)
        return -1;
    in.seekg(0, std::ios::end);
    std::streampos end = in.tellg();
    in.seekg(here);
    return std::int64_t(end - here);
}

void ReadExactly(std::istream& in, void* buffer, std::int64_t size, const std::string& name)
{
    in.read(static_cast<char*>(buffer), std::streamsize(size));
    if (in.gcount() != std::streamsize(size))
        throw TFileError(name + " is truncated");
}

} // namespace

std::int64_t BmpFileSize(int width, int height)
{
    return FileHeaderSize + InfoHeaderSize + std::int64_t(height) * std::int64_t(TBitmap::StrideFor(width));
}

void WriteBmp(std::ostream& out, const TBitmap& picture)
{
    const int width = picture.Width();
    const int height = picture.Height();
    const std::size_t rowSize = TBitmap::StrideFor(width);
    const std::int64_t fileSize = BmpFileSize(width, height);

    std::uint8_t header[FileHeaderSize + InfoHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, std::uint32_t(fileSize));
    Put32(header + 10, FileHeaderSize + InfoHeaderSize);
    Put32(header + 14, InfoHeaderSize);
    Put32(header + 18, std::uint32_t(width));
    Put32(header + 22, std::uint32_t(height));
    Put16(header + 26, 1);  // planes
    Put16(header + 28, 24); // bits per pixel
    Put32(header + 30, 0);  // no compression
    Put32(header + 34, std::uint32_t(fileSize - FileHeaderSize - InfoHeaderSize));
    out.write(reinterpret_cast<const char*>(header), sizeof header);

    // The picture's rows already have the file's padding (zero bytes).
    for (int y = height - 1; y >= 0; --y)
        out.write(reinterpret_cast<const char*>(picture.ScanLine(y)), std::streamsize(rowSize));
}

void WriteBmpFile(const std::string& path, const TBitmap& picture)
{
    WriteFileSafely(path, [&](std::ostream& out) { WriteBmp(out, picture); });
}

TBitmap ReadBmp(std::istream& in, const std::string& name)
{
    const std::int64_t available = Remaining(in);
    const std::streampos start = in.tellg();

    std::uint8_t fileHeader[FileHeaderSize];
    ReadExactly(in, fileHeader, FileHeaderSize, name);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        throw TFileError(name + " is not a Windows bitmap");
    const std::uint32_t fileSize = Get32(fileHeader + 2);
    const std::uint32_t pixelOffset = Get32(fileHeader + 10);

    std::uint8_t info[InfoHeaderSize];
    ReadExactly(in, info, InfoHeaderSize, name);
    const std::uint32_t infoSize = Get32(info);
    const std::int32_t width = GetSigned32(info + 4);
    const std::int32_t rawHeight = GetSigned32(info + 8);
    const std::uint16_t bitCount = Get16(info + 14);
    const std::uint32_t compression = Get32(info + 16);
    if (infoSize != InfoHeaderSize || bitCount != 24 || compression != 0)
        throw TFileError(name + " is a kind of Windows bitmap that this program cannot read");

    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0)
        throw TFileError(name + " is not a valid Windows bitmap: it has no pixels");
    if (!TBitmap::SizeAllowed(width, height))
        throw TFileError(name + " is too large: " + std::to_string(width) + " x " + std::to_string(height) + " pixels");

    const std::int64_t rowSize = std::int64_t(TBitmap::StrideFor(width));
    const std::int64_t pixelBytes = rowSize * height;
    if (pixelOffset < FileHeaderSize + InfoHeaderSize)
        throw TFileError(name + " is not a valid Windows bitmap: its pixel data overlaps its header");
    if (available >= 0 && std::int64_t(pixelOffset) + pixelBytes > available)
        throw TFileError(name + " is truncated");

    in.seekg(start + std::streamoff(pixelOffset));
    TBitmap picture(width, int(height));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowSize));
    for (std::int64_t i = 0; i < height; ++i) {
        ReadExactly(in, row.data(), rowSize, name);
        int y = int(topDown ? i : height - 1 - i);
        std::memcpy(picture.ScanLine(y), row.data(), std::size_t(width) * 3);
    }

    // A file that states a size covering its pixel data ends there.
    std::int64_t end = std::int64_t(pixelOffset) + pixelBytes;
    if (fileSize >= end && (available < 0 || fileSize <= available))
        end = fileSize;
    in.seekg(start + std::streamoff(end));
    return picture;
}

TBitmap ReadBmpFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw TFileError("Cannot open " + path + ": " + std::strerror(errno));
    return ReadBmp(in, path);
}
