#include "picture/BmpFile.h"

#include "picture/BmpHeader.h"
#include "picture/BmpPixels.h"
#include "picture/FileError.h"
#include "picture/LittleEndian.h"
#include "picture/MemoryBudget.h"
#include "picture/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

// Bytes left in the stream from the current position, or -1 when the stream
// cannot tell.
std::int64_t Remaining(std::istream& in)
{
    const std::streampos here = in.tellg();
    if (here < 0)
        return -1;
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end < 0 || !in)
        return -1;
    return std::int64_t(end - here);
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
    PutLe32(header + 2, std::uint32_t(fileSize));
    PutLe32(header + 10, FileHeaderSize + InfoHeaderSize);
    PutLe32(header + 14, InfoHeaderSize);
    PutLe32(header + 18, std::uint32_t(width));
    PutLe32(header + 22, std::uint32_t(height));
    PutLe16(header + 26, 1); // planes
    PutLe16(header + 28, 24); // bits per pixel
    PutLe32(header + 30, 0); // no compression
    PutLe32(header + 34, std::uint32_t(fileSize - FileHeaderSize - InfoHeaderSize));
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
    // Every size the file states is checked against the real length of the
    // stream, so the length must be known.
    const std::streampos start = in.tellg();
    const std::int64_t available = Remaining(in);
    if (available < 0)
        throw TFileError(name + " cannot be read: the length of its data is unknown");

    TBmpHeader header = ReadBmpHeader(in, name);
    CheckBmpHeader(header, available, name);
    const std::uint64_t pictureBytes =
        std::uint64_t(TBitmap::StrideFor(int(header.width))) * std::uint64_t(header.rows);
    if (!PictureMemoryFits(header.width, header.rows, pictureBytes))
        throw TFileError(name + " cannot be opened: " + NotEnoughMemoryText(header.width, header.rows));
    const TBmpPalette palette = ReadBmpPalette(in, header, name);

    in.seekg(start + std::streamoff(header.pixelOffset));
    TBitmap picture;
    std::int64_t dataBytes = 0;
    try {
        if (header.layout == TBmpLayout::Rle8 || header.layout == TBmpLayout::Rle4) {
            picture = ReadBmpRle(in, header, palette, available - header.pixelOffset, dataBytes, name);
        } else {
            picture = ReadBmpRows(in, header, palette, name);
            dataBytes = header.rowBytes * header.rows;
        }
    } catch (const std::bad_alloc&) {
        throw TFileError(name + " is too large to open in the memory available");
    }

    // The file ends at its stated size when that covers the pixel data and
    // fits the stream (it may hold more after the pixels, such as a colour
    // profile); otherwise just after the pixel data.
    std::int64_t end = std::int64_t(header.pixelOffset) + dataBytes;
    if (header.fileSize >= end && header.fileSize <= available)
        end = header.fileSize;
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
