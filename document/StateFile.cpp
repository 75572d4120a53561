#include "document/StateFile.h"

#include "document/StateBytes.h"
#include "picture/FileError.h"
#include "picture/LittleEndian.h"

#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Header: magic, layer settings, the three picture sizes, the three
// compressed block sizes, and a check value of all of that.
constexpr char Magic[8] = {'L', 'Q', 's', 't', 'a', 't', 'e', '2'};
constexpr std::size_t LayersAt = 8;
constexpr std::size_t SizesAt = 16;
constexpr std::size_t BlocksAt = 40;
constexpr std::size_t CheckAt = 64;
constexpr std::size_t HeaderSize = 72;

// Compresses one picture as one frame; returns the frame's size.
std::uint64_t WriteBlock(int fd, ZSTD_CCtx* context, const TBitmap& picture, const std::string& name)
{
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    ZSTD_CCtx_reset(context, ZSTD_reset_session_only);
    ZSTD_CCtx_setPledgedSrcSize(context, std::uint64_t(bytes) * std::uint64_t(picture.Height()));
    std::vector<char> buffer(ZSTD_CStreamOutSize());
    std::vector<std::uint8_t> vertical(bytes), row(bytes);
    std::uint64_t written = 0;
    auto feed = [&](const void* data, std::size_t size, ZSTD_EndDirective mode) {
        ZSTD_inBuffer in{data, size, 0};
        for (;;) {
            ZSTD_outBuffer out{buffer.data(), buffer.size(), 0};
            const std::size_t left = ZSTD_compressStream2(context, &out, &in, mode);
            if (ZSTD_isError(left))
                throw TFileError("Cannot write " + name + ": " + ZSTD_getErrorName(left));
            WriteAll(fd, buffer.data(), out.pos, name);
            written += out.pos;
            if (mode == ZSTD_e_end ? left == 0 : in.pos == in.size)
                return;
        }
    };
    for (int y = 0; y < picture.Height(); ++y) {
        FilterRow(picture.ScanLine(y), y > 0 ? picture.ScanLine(y - 1) : nullptr, vertical.data(), row.data(), bytes);
        feed(row.data(), bytes, ZSTD_e_continue);
    }
    feed(nullptr, 0, ZSTD_e_end);
    return written;
}

// Reads one picture's frame, which lies at [offset, offset + size) of the file.
class TBlockReader {
public:
    TBlockReader(int fd, std::uint64_t offset, std::uint64_t size, const std::string& name)
        : fd_(fd)
        , next_(offset)
        , end_(offset + size)
        , name_(name)
        , context_(ZSTD_createDCtx())
        , buffer_(ZSTD_DStreamInSize())
    {
        if (!context_)
            throw std::bad_alloc();
    }

    void Read(void* data, std::size_t size)
    {
        ZSTD_outBuffer out{data, size, 0};
        while (out.pos < out.size) {
            const std::size_t result = Step(out);
            if (result == 0 && out.pos < out.size)
                throw TFileError(name_ + " is damaged: a picture ends early");
        }
    }

    // The frame must end here, checksum and all, at the end of its block.
    void ExpectEnd()
    {
        char spare;
        while (!done_) {
            ZSTD_outBuffer out{&spare, 1, 0};
            Step(out);
            if (out.pos != 0)
                throw TFileError(name_ + " is damaged: a picture is longer than it says");
        }
        if (in_.pos != in_.size || next_ != end_)
            throw TFileError(name_ + " is damaged: a block is longer than its picture");
    }

private:
    std::size_t Step(ZSTD_outBuffer& out)
    {
        if (in_.pos == in_.size && next_ < end_)
            Refill();
        const std::size_t before = out.pos;
        const std::size_t result = ZSTD_decompressStream(context_.get(), &out, &in_);
        if (ZSTD_isError(result))
            throw TFileError(name_ + " is damaged: " + ZSTD_getErrorName(result));
        done_ = result == 0;
        if (!done_ && out.pos == before && in_.pos == in_.size && next_ == end_)
            throw TFileError(name_ + " is truncated");
        return result;
    }

    void Refill()
    {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(buffer_.size(), end_ - next_));
        if (want == 0)
            throw TFileError(name_ + " is truncated");
        ssize_t got;
        do
            got = ::pread(fd_, buffer_.data(), want, off_t(next_));
        while (got < 0 && errno == EINTR);
        if (got < 0)
            throw TFileError("Cannot read " + name_ + ": " + std::strerror(errno));
        if (got == 0)
            throw TFileError(name_ + " is truncated");
        next_ += std::uint64_t(got);
        in_ = ZSTD_inBuffer{buffer_.data(), std::size_t(got), 0};
    }

    int fd_;
    std::uint64_t next_;
    std::uint64_t end_;
    const std::string& name_;
    std::unique_ptr<ZSTD_DCtx, TZstdFree> context_;
    std::vector<char> buffer_;
    ZSTD_inBuffer in_{nullptr, 0, 0};
    bool done_ = false;
};

void ReadBlock(int fd, std::uint64_t offset, std::uint64_t size, TBitmap& picture, const std::string& name)
{
    TBlockReader in(fd, offset, size, name);
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        in.Read(row, bytes);
        UnfilterRow(row, y > 0 ? picture.ScanLine(y - 1) : nullptr, bytes);
    }
    in.ExpectEnd();
}

} // namespace

void THistoryState::Take(const TDocument& document)
{
    const TBitmap* from[3] = {&document.SketchLayer, &document.ColorLayer, &document.SourceBitmap};
    TBitmap* to[3] = {&Sketch, &Color, &Source};
    for (int i = 0; i < 3; ++i)
        if (to[i]->Width() != from[i]->Width() || to[i]->Height() != from[i]->Height())
            *to[i] = TBitmap(from[i]->Width(), from[i]->Height());
    // The copy is what the caller waits for: two threads take half the rows
    // of every picture each, which shares the memory bandwidth of two cores.
    auto copyHalf = [&](int half) {
        for (int i = 0; i < 3; ++i) {
            const int first = from[i]->Height() * half / 2;
            const int last = from[i]->Height() * (half + 1) / 2;
            if (last > first)
                std::memcpy(to[i]->ScanLine(first), from[i]->ScanLine(first),
                            std::size_t(last - first) * from[i]->Stride());
        }
    };
    std::thread second(copyHalf, 1);
    copyHalf(0);
    second.join();
    Layers = document.LayerState;
}

void THistoryState::Give(TDocument& document) const
{
    // Copies made aside first: running out of memory leaves the document as it was.
    TBitmap sketch = Sketch;
    TBitmap color = Color;
    TBitmap source = Source;
    document.SketchLayer = std::move(sketch);
    document.ColorLayer = std::move(color);
    document.SourceBitmap = std::move(source);
    document.LayerState = Layers;
    document.SizeViewToLayers();
}

void THistoryState::SwapInto(TDocument& document)
{
    std::swap(document.SketchLayer, Sketch);
    std::swap(document.ColorLayer, Color);
    std::swap(document.SourceBitmap, Source);
    document.LayerState = Layers;
    document.SizeViewToLayers();
}

void WriteStateFile(int fd, const THistoryState& state, const std::string& name)
{
    std::uint8_t header[HeaderSize] = {};
    std::memcpy(header, Magic, sizeof Magic);
    PutLayerBytes(header + LayersAt, state.Layers);
    for (int i = 0; i < 3; ++i) {
        PutLe32(header + SizesAt + 8 * i, std::uint32_t(PictureOf(state, i).Width()));
        PutLe32(header + SizesAt + 8 * i + 4, std::uint32_t(PictureOf(state, i).Height()));
    }
    // The header goes first with the block sizes still unknown, and again
    // once they are.
    WriteAll(fd, header, sizeof header, name);
    std::unique_ptr<ZSTD_CCtx, TZstdFree> context(ZSTD_createCCtx());
    if (!context)
        throw std::bad_alloc();
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_compressionLevel, 1);
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_checksumFlag, 1);
    for (int i = 0; i < 3; ++i)
        PutLe64(header + BlocksAt + 8 * i, WriteBlock(fd, context.get(), PictureOf(state, i), name));
    PutLe64(header + CheckAt, Fnv1a(header, CheckAt));
    if (::pwrite(fd, header, sizeof header, 0) != ssize_t(sizeof header))
        throw TFileError("Cannot write " + name + ": " + std::strerror(errno));
}

void ReadStateFile(int fd, THistoryState& state, const std::string& name)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw TFileError("Cannot read " + name + ": " + std::strerror(errno));
    std::uint8_t header[HeaderSize];
    const ssize_t got = ::pread(fd, header, sizeof header, 0);
    if (got < 0)
        throw TFileError("Cannot read " + name + ": " + std::strerror(errno));
    if (std::size_t(got) < sizeof Magic || std::memcmp(header, Magic, sizeof Magic) != 0)
        throw TFileError(name + " is not a history state of this program");
    if (std::size_t(got) < sizeof header)
        throw TFileError(name + " is truncated");
    if (GetLe64(header + CheckAt) != Fnv1a(header, CheckAt))
        throw TFileError(name + " is damaged: its header does not match its check value");

    const TLayerState settings = LayersFromBytes(header + LayersAt);

    std::uint32_t sizes[3][2];
    std::uint64_t offsets[3], blocks[3];
    std::uint64_t offset = HeaderSize;
    for (int i = 0; i < 3; ++i) {
        sizes[i][0] = GetLe32(header + SizesAt + 8 * i);
        sizes[i][1] = GetLe32(header + SizesAt + 8 * i + 4);
        if (!TBitmap::SizeAllowed(sizes[i][0], sizes[i][1]))
            throw TFileError(name + " is damaged: it states a picture of " + std::to_string(sizes[i][0]) + " x " +
                             std::to_string(sizes[i][1]) + " pixels");
        blocks[i] = GetLe64(header + BlocksAt + 8 * i);
        offsets[i] = offset;
        if (blocks[i] > std::uint64_t(info.st_size))
            throw TFileError(name + " is truncated");
        offset += blocks[i];
    }
    if (offset != std::uint64_t(info.st_size))
        throw TFileError(name +
                         (offset > std::uint64_t(info.st_size) ? " is truncated" : " is damaged: it is too long"));
    if (sizes[0][0] != sizes[1][0] || sizes[0][1] != sizes[1][1])
        throw TFileError(name + " is damaged: its two layers differ in size");

    // The three pictures are independent blocks: read side by side, into
    // the state's own buffers (reused when they have the size already).
    THistoryState& read = state;
    for (int i = 0; i < 3; ++i)
        PictureOf(read, i).SetSize(int(sizes[i][0]), int(sizes[i][1]));
    ForEachPictureAtOnce([&](int i) { ReadBlock(fd, offsets[i], blocks[i], PictureOf(read, i), name); });
    state.Layers = settings;
}
