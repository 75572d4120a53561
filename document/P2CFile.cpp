#include "document/P2CFile.h"

#include "picture/BmpFile.h"
#include "picture/BmpHeader.h"
#include "picture/FileError.h"
#include "picture/FileFormats.h"
#include "picture/LittleEndian.h"
#include "picture/MemoryBudget.h"
#include "picture/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <utility>

#include <sys/stat.h>

namespace {

constexpr std::uint8_t Magic[4] = {0x70, 0x32, 0x63, 0x00};

// Header field offsets.
constexpr int VersionAt = 4;
constexpr int SketchOffsetAt = 6;
constexpr int SketchSizeAt = 10;
constexpr int ColorOffsetAt = 14;
constexpr int ColorSizeAt = 18;
constexpr int BlendingModeAt = 22;
constexpr int OpacityAt = 23;
constexpr int SketchVisibleAt = 24;
constexpr int ColorVisibleAt = 25;
constexpr int SketchDrawableAt = 26;
constexpr int ColorDrawableAt = 27;

// The block offsets and sizes are signed 32-bit; the largest picture allowed
// keeps all of them in range.
static_assert(P2CHeaderSize + 2 * (54 + 3 * (TBitmap::MaxPixels + TBitmap::MaxSide)) <
              std::numeric_limits<std::int32_t>::max());

bool Blank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

void WriteProject(std::ostream& out, const TDocument& document)
{
    const std::int64_t sketchSize = BmpFileSize(document.SketchLayer.Width(), document.SketchLayer.Height());
    const std::int64_t colorSize = BmpFileSize(document.ColorLayer.Width(), document.ColorLayer.Height());
    const TLayerState& state = document.LayerState;

    std::uint8_t header[P2CHeaderSize] = {};
    std::memcpy(header, Magic, sizeof Magic);
    header[VersionAt] = 0;
    header[VersionAt + 1] = 1;
    PutLe32(header + SketchOffsetAt, std::uint32_t(P2CHeaderSize));
    PutLe32(header + SketchSizeAt, std::uint32_t(sketchSize));
    PutLe32(header + ColorOffsetAt, std::uint32_t(P2CHeaderSize + sketchSize));
    PutLe32(header + ColorSizeAt, std::uint32_t(colorSize));
    header[BlendingModeAt] = std::uint8_t(state.BlendingMode);
    header[OpacityAt] = std::uint8_t(state.Opacity);
    header[SketchVisibleAt] = state.SketchVisible ? 1 : 0;
    header[ColorVisibleAt] = state.ColorVisible ? 1 : 0;
    header[SketchDrawableAt] = state.SketchDrawable ? 1 : 0;
    header[ColorDrawableAt] = state.ColorDrawable ? 1 : 0;
    out.write(reinterpret_cast<const char*>(header), sizeof header);

    WriteBmp(out, document.SketchLayer);
    WriteBmp(out, document.ColorLayer);
    WriteBmp(out, document.SourceBitmap);
}

TLayerState ParseLayerState(const std::uint8_t* header)
{
    TLayerState state;
    // The writer stores only the two known modes; anything else (a damaged
    // file) would leave the composite stale, so it reads as multiply.
    state.BlendingMode = header[BlendingModeAt] == BlendOpacity ? BlendOpacity : BlendMultiply;
    // The layers panel's track bar holds the opacity, within its range.
    state.Opacity = std::clamp<int>(header[OpacityAt], MinOpacity, MaxOpacity);
    state.SketchVisible = header[SketchVisibleAt] == 1;
    state.ColorVisible = header[ColorVisibleAt] == 1;
    state.SketchDrawable = header[SketchDrawableAt] == 1;
    state.ColorDrawable = header[ColorDrawableAt] == 1;
    return state;
}

std::string SizeText(const TBitmap& picture)
{
    return std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
}

// The size of the picture whose bitmap file starts at the stream's position,
// read from its header; the stream is left where it was. A header that
// cannot be read gives 0 x 0 here: reading the block then reports it.
struct TBlockSize {
    std::int64_t Width = 0, Height = 0;
    std::uint64_t Bytes() const { return std::uint64_t(Width) * std::uint64_t(Height) * 3; }
};

TBlockSize PeekBlockSize(std::istream& in, const std::string& name)
{
    const std::streampos start = in.tellg();
    TBlockSize size;
    try {
        const TBmpHeader header = ReadBmpHeader(in, name);
        const std::int64_t height = header.height < 0 ? -header.height : header.height;
        if (header.width > 0 && TBitmap::SizeAllowed(header.width, height))
            size = {header.width, height};
    } catch (const TFileError&) {
    }
    in.clear();
    in.seekg(start);
    return size;
}

void CheckRoom(std::uint64_t bytes, const TBlockSize& size, const std::string& fileName)
{
    if (!MemoryFits(bytes, bytes))
        throw TFileError(fileName + " cannot be opened: " + NotEnoughMemoryText(size.Width, size.Height));
}

} // namespace

void WriteProjectTo(std::ostream& out, const TDocument& document) { WriteProject(out, document); }

int WriteProjectFile(const std::string& fileName, const TDocument& document, bool durable)
{
    if (Blank(fileName))
        return -1;
    WriteFileSafely(
        fileName, [&](std::ostream& out) { WriteProject(out, document); }, durable);
    return 0;
}

void ReadProjectFile(const std::string& fileName, TDocument& document)
{
    if (Blank(fileName))
        throw TFileError("A project cannot be opened without a file name");
    // A named pipe without a writer would block the open for ever.
    struct stat info {};
    if (::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw TFileError("Cannot open " + fileName + ": it is not a regular file");
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw TFileError("Cannot open " + fileName + ": " + std::strerror(errno));

    std::uint8_t header[P2CHeaderSize];
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const std::streamsize got = in.gcount();
    if (got < std::streamsize(sizeof Magic) || std::memcmp(header, Magic, sizeof Magic) != 0)
        throw TNotAProject(fileName + " is not a valid " +
                           std::string(FormatOfKind(TFileKind::Project)->Extensions[0]) + " file.");
    if (got < P2CHeaderSize)
        throw TFileError(fileName + " is truncated");

    // Everything is read aside; the document changes only once all of it is there.
    // Opening holds each layer five times (both layers, the composite and
    // the two work copies) beside the photo: a small compressed file can
    // claim far more than there is, so the sizes are checked before decoding.
    const TBlockSize layer = PeekBlockSize(in, fileName + " (sketch layer)");
    CheckRoom(layer.Bytes() * 5, layer, fileName);
    TBitmap sketch = ReadBmp(in, fileName + " (sketch layer)");
    TBitmap color = ReadBmp(in, fileName + " (colouring layer)");
    const TBlockSize photo = PeekBlockSize(in, fileName + " (photo)");
    CheckRoom(photo.Bytes() + layer.Bytes() * 3, photo, fileName);
    TBitmap source = ReadBmp(in, fileName + " (photo)");
    // The composite blends the two layers pixel by pixel. The photo may
    // differ: it is what the next effect is computed from, and the program
    // itself leaves it at another size when an effect run is cancelled after
    // the preview reduced it.
    if (sketch.Width() != color.Width() || sketch.Height() != color.Height())
        throw TFileError(fileName + " is damaged: its sketch layer is " + SizeText(sketch) +
                         " pixels but its colouring layer is " + SizeText(color) + " pixels");
    const TLayerState state = ParseLayerState(header);

    document.SketchLayer = std::move(sketch);
    document.ColorLayer = std::move(color);
    document.SourceBitmap = std::move(source);
    document.LayerState = state;
}
