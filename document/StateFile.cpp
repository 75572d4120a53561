#include "StateFile.h"

#include "FileError.h"

#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

constexpr char Magic[8] = {'L', 'Q', 's', 't', 'a', 't', 'e', '1'};
constexpr std::size_t LayersSize = 8;
constexpr std::size_t HeaderSize = sizeof Magic + LayersSize + 3 * 8;

struct TZstdDeleter {
    void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
    void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

const TBitmap* Pictures(const THistoryState& s, int i) { return i == 0 ? &s.Sketch : i == 1 ? &s.Color : &s.Source; }
TBitmap* Pictures(THistoryState& s, int i) { return i == 0 ? &s.Sketch : i == 1 ? &s.Color : &s.Source; }

// Each byte minus the same colour of the pixel to its left; the first pixel
// stays as it is.
void FilterRow(const std::uint8_t* row, std::uint8_t* out, std::size_t bytes)
{
    const std::size_t first = std::min<std::size_t>(3, bytes);
    for (std::size_t i = 0; i < first; ++i)
        out[i] = row[i];
    for (std::size_t i = 3; i < bytes; ++i)
        out[i] = std::uint8_t(row[i] - row[i - 3]);
}

void UnfilterRow(std::uint8_t* row, std::size_t bytes)
{
    for (std::size_t i = 3; i < bytes; ++i)
        row[i] = std::uint8_t(row[i] + row[i - 3]);
}

// Compresses what it is given and writes it to the descriptor.
class TCompressedOut {
public:
    TCompressedOut(int fd, const std::string& name, std::uint64_t size)
        : fd_(fd), name_(name), context_(ZSTD_createCCtx()), buffer_(ZSTD_CStreamOutSize())
    {
        if (!context_)
            throw std::bad_alloc();
        ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_compressionLevel, 1);
        ZSTD_CCtx_setParameter(context_.get(), ZSTD_c_checksumFlag, 1);
        ZSTD_CCtx_setPledgedSrcSize(context_.get(), size);
    }

    void Write(const void* data, std::size_t size) { Feed(data, size, ZSTD_e_continue); }
    void Finish() { Feed(nullptr, 0, ZSTD_e_end); }

private:
    void Feed(const void* data, std::size_t size, ZSTD_EndDirective mode)
    {
        ZSTD_inBuffer in{data, size, 0};
        for (;;) {
            ZSTD_outBuffer out{buffer_.data(), buffer_.size(), 0};
            const std::size_t left = ZSTD_compressStream2(context_.get(), &out, &in, mode);
            if (ZSTD_isError(left))
                throw TFileError("Cannot write " + name_ + ": " + ZSTD_getErrorName(left));
            Put(out.pos);
            if (mode == ZSTD_e_end ? left == 0 : in.pos == in.size)
                return;
        }
    }

    void Put(std::size_t size)
    {
        const char* p = buffer_.data();
        while (size > 0) {
            const ssize_t done = ::write(fd_, p, size);
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                throw TFileError("Cannot write " + name_ + ": " +
                                 (done < 0 ? std::strerror(errno) : "the disk is full"));
            p += done;
            size -= std::size_t(done);
        }
    }

    int fd_;
    const std::string& name_;
    std::unique_ptr<ZSTD_CCtx, TZstdDeleter> context_;
    std::vector<char> buffer_;
};

// Reads exactly the bytes asked for out of the compressed frame.
class TCompressedIn {
public:
    TCompressedIn(int fd, const std::string& name)
        : fd_(fd), name_(name), context_(ZSTD_createDCtx()), buffer_(ZSTD_DStreamInSize())
    {
        if (!context_)
            throw std::bad_alloc();
    }

    void Read(void* data, std::size_t size)
    {
        ZSTD_outBuffer out{data, size, 0};
        while (out.pos < out.size) {
            if (in_.pos == in_.size && !Refill())
                throw TFileError(name_ + " is truncated");
            const std::size_t result = ZSTD_decompressStream(context_.get(), &out, &in_);
            if (ZSTD_isError(result))
                throw TFileError(name_ + " is damaged: " + ZSTD_getErrorName(result));
            frameDone_ = result == 0;
            if (frameDone_ && out.pos < out.size)
                throw TFileError(name_ + " is truncated");
        }
    }

    // The frame must end here, checksum and all, with nothing after it.
    void ExpectEnd()
    {
        while (!frameDone_) {
            char spare;
            ZSTD_outBuffer out{&spare, 1, 0};
            if (in_.pos == in_.size && !Refill())
                throw TFileError(name_ + " is truncated");
            const std::size_t result = ZSTD_decompressStream(context_.get(), &out, &in_);
            if (ZSTD_isError(result))
                throw TFileError(name_ + " is damaged: " + ZSTD_getErrorName(result));
            if (out.pos != 0)
                throw TFileError(name_ + " is damaged: it holds more than one state");
            frameDone_ = result == 0;
        }
        if (in_.pos != in_.size || Refill())
            throw TFileError(name_ + " is damaged: it holds more than one state");
    }

private:
    bool Refill()
    {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw TFileError("Cannot read " + name_ + ": " + std::strerror(errno));
            in_ = ZSTD_inBuffer{buffer_.data(), std::size_t(got), 0};
            return got > 0;
        }
    }

    int fd_;
    const std::string& name_;
    std::unique_ptr<ZSTD_DCtx, TZstdDeleter> context_;
    std::vector<char> buffer_;
    ZSTD_inBuffer in_{nullptr, 0, 0};
    bool frameDone_ = false;
};

} // namespace

void THistoryState::Take(const TDocument& document)
{
    Sketch = document.SketchLayer;
    Color = document.ColorLayer;
    Source = document.SourceBitmap;
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

void WriteStateFile(int fd, const THistoryState& state, const std::string& name)
{
    std::uint64_t size = HeaderSize;
    for (int i = 0; i < 3; ++i)
        size += std::uint64_t(Pictures(state, i)->Width()) * 3 * std::uint64_t(Pictures(state, i)->Height());

    std::uint8_t header[HeaderSize] = {};
    std::memcpy(header, Magic, sizeof Magic);
    std::uint8_t* layers = header + sizeof Magic;
    layers[0] = std::uint8_t(state.Layers.BlendingMode);
    layers[1] = std::uint8_t(state.Layers.Opacity);
    layers[2] = state.Layers.SketchVisible;
    layers[3] = state.Layers.ColorVisible;
    layers[4] = state.Layers.SketchDrawable;
    layers[5] = state.Layers.ColorDrawable;
    for (int i = 0; i < 3; ++i) {
        Put32(header + sizeof Magic + LayersSize + 8 * i, std::uint32_t(Pictures(state, i)->Width()));
        Put32(header + sizeof Magic + LayersSize + 8 * i + 4, std::uint32_t(Pictures(state, i)->Height()));
    }

    TCompressedOut out(fd, name, size);
    out.Write(header, sizeof header);
    std::vector<std::uint8_t> row;
    for (int i = 0; i < 3; ++i) {
        const TBitmap& picture = *Pictures(state, i);
        const std::size_t bytes = std::size_t(picture.Width()) * 3;
        row.resize(bytes);
        for (int y = 0; y < picture.Height(); ++y) {
            FilterRow(picture.ScanLine(y), row.data(), bytes);
            out.Write(row.data(), bytes);
        }
    }
    out.Finish();
}

void ReadStateFile(int fd, THistoryState& state, const std::string& name)
{
    TCompressedIn in(fd, name);
    std::uint8_t header[HeaderSize];
    in.Read(header, sizeof header);
    if (std::memcmp(header, Magic, sizeof Magic) != 0)
        throw TFileError(name + " is not a history state of this program");

    const std::uint8_t* layers = header + sizeof Magic;
    TLayerState settings;
    settings.BlendingMode = layers[0] == BlendOpacity ? BlendOpacity : BlendMultiply;
    settings.Opacity = std::clamp<int>(layers[1], MinOpacity, MaxOpacity);
    settings.SketchVisible = layers[2] == 1;
    settings.ColorVisible = layers[3] == 1;
    settings.SketchDrawable = layers[4] == 1;
    settings.ColorDrawable = layers[5] == 1;

    std::uint32_t sizes[3][2];
    for (int i = 0; i < 3; ++i) {
        sizes[i][0] = Get32(header + sizeof Magic + LayersSize + 8 * i);
        sizes[i][1] = Get32(header + sizeof Magic + LayersSize + 8 * i + 4);
        if (!TBitmap::SizeAllowed(sizes[i][0], sizes[i][1]))
            throw TFileError(name + " is damaged: it states a picture of " + std::to_string(sizes[i][0]) + " x " +
                             std::to_string(sizes[i][1]) + " pixels");
    }
    if (sizes[0][0] != sizes[1][0] || sizes[0][1] != sizes[1][1])
        throw TFileError(name + " is damaged: its two layers differ in size");

    for (int i = 0; i < 3; ++i) {
        TBitmap& picture = *Pictures(state, i);
        picture.SetSize(int(sizes[i][0]), int(sizes[i][1]));
        const std::size_t bytes = std::size_t(picture.Width()) * 3;
        for (int y = 0; y < picture.Height(); ++y) {
            std::uint8_t* row = picture.ScanLine(y);
            in.Read(row, bytes);
            UnfilterRow(row, bytes);
        }
    }
    in.ExpectEnd();
    state.Layers = settings;
}
