#include "picture/PngFile.h"

#include "picture/ColorProfile.h"
#include "picture/FileError.h"
#include "picture/Orientation.h"
#include "picture/PictureSamples.h"

#include <exception>
#include <memory>
#include <vector>

#include <spng.h>

namespace {

// Ancillary chunks (a profile, texts) are small; a compressed one that
// inflates beyond this is a bomb.
constexpr std::size_t ChunkLimit = std::size_t(16) << 20;
// The most output deflate can give for one byte of input.
constexpr std::uint64_t DeflateRatio = 1032;

struct TContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using TContext = std::unique_ptr<spng_ctx, TContextFree>;

[[noreturn]] void Fail(const std::string& verb, const std::string& name, int code)
{
    throw TFileError("Cannot " + verb + " " + name + ": " + spng_strerror(code));
}

void Check(int code, const std::string& verb, const std::string& name)
{
    if (code != 0)
        Fail(verb, name, code);
}

void ConvertRow(const std::uint8_t* row, int format, std::uint8_t* bgr, int width)
{
    switch (format) {
    case SPNG_FMT_RGB8: SamplesToBgr<std::uint8_t, 3, 255>(row, bgr, width); break;
    case SPNG_FMT_RGBA8: SamplesToBgr<std::uint8_t, 4, 255>(row, bgr, width); break;
    default: SamplesToBgr<std::uint16_t, 4, 65535>(reinterpret_cast<const std::uint16_t*>(row), bgr, width); break;
    }
}

struct TWriteState {
    std::ostream* out;
    std::exception_ptr exception;
};

int WriteToStream(spng_ctx*, void* user, void* data, std::size_t length)
{
    auto* state = static_cast<TWriteState*>(user);
    try {
        state->out->write(static_cast<const char*>(data), std::streamsize(length));
        return *state->out ? 0 : SPNG_IO_ERROR;
    } catch (...) {
        state->exception = std::current_exception();
        return SPNG_IO_ERROR;
    }
}

} // namespace

TBitmap DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const TContext ctx(spng_ctx_new(0));
    if (!ctx)
        throw TFileError("Cannot read " + name + ": out of memory");
    spng_set_image_limits(ctx.get(), TBitmap::MaxSide, TBitmap::MaxSide);
    spng_set_chunk_limits(ctx.get(), ChunkLimit, ChunkLimit);
    Check(spng_set_png_buffer(ctx.get(), data, size), "read", name);

    spng_ihdr ihdr{};
    Check(spng_get_ihdr(ctx.get(), &ihdr), "read", name);
    const int depth = ihdr.bit_depth;
    const bool alpha =
        ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA || ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_trns trns{};
    // Reading up to the first IDAT also inflates the chunks before it, so
    // this is where a chunk beyond the limits shows.
    const int trnsCode = spng_get_trns(ctx.get(), &trns);
    if (trnsCode != 0 && trnsCode != SPNG_ECHUNKAVAIL)
        Fail("read", name, trnsCode);
    const bool transparentColour = trnsCode == 0;
    const int format = depth == 16 ? SPNG_FMT_RGBA16 : (alpha || transparentColour ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8);

    const int channels = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR         ? 3
                         : ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ? 4
                         : ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ? 2
                                                                              : 1;
    const std::uint64_t rawBytes =
        std::uint64_t(ihdr.height) * (1 + (std::uint64_t(ihdr.width) * channels * depth + 7) / 8);
    if (rawBytes > std::uint64_t(size) * DeflateRatio)
        throw TFileError(name + " is truncated: it is too short to hold a picture of " + std::to_string(ihdr.width) +
                         " x " + std::to_string(ihdr.height) + " pixels");
    std::size_t decodedBytes = 0;
    Check(spng_decoded_image_size(ctx.get(), format, &decodedBytes), "read", name);
    const bool interlaced = ihdr.interlace_method != 0;
    const std::size_t rowBytes = decodedBytes / ihdr.height;
    CheckPictureSize(ihdr.width, ihdr.height, interlaced ? decodedBytes : rowBytes, name);

    TBitmap picture(int(ihdr.width), int(ihdr.height));
    const int width = picture.Width();
    if (interlaced) {
        // Passes fill the picture out of order: decode it whole, then convert.
        std::vector<std::uint8_t> whole(decodedBytes);
        Check(spng_decode_image(ctx.get(), whole.data(), whole.size(), format, SPNG_DECODE_TRNS), "read", name);
        for (int y = 0; y < picture.Height(); ++y)
            ConvertRow(whole.data() + std::size_t(y) * rowBytes, format, picture.ScanLine(y), width);
    } else {
        Check(spng_decode_image(ctx.get(), nullptr, 0, format, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE), "read",
              name);
        std::vector<std::uint8_t> row(rowBytes);
        for (int y = 0; y < picture.Height(); ++y) {
            const int code = spng_decode_row(ctx.get(), row.data(), row.size());
            if (code != 0 && !(code == SPNG_EOI && y == picture.Height() - 1))
                Fail("read", name, code);
            ConvertRow(row.data(), format, picture.ScanLine(y), width);
        }
    }

    // Chunks after the pixels count too (an eXIf may come last). Damage
    // there costs only what those chunks would have said.
    spng_decode_chunks(ctx.get());
    spng_iccp iccp{};
    if (spng_get_iccp(ctx.get(), &iccp) == 0)
        ConvertToSrgb(picture, reinterpret_cast<const std::uint8_t*>(iccp.profile), iccp.profile_len);
    spng_exif exif{};
    int orientation = 1;
    if (spng_get_exif(ctx.get(), &exif) == 0)
        orientation = OrientationOfExifBlock(reinterpret_cast<const std::uint8_t*>(exif.data), exif.length);
    return ApplyOrientation(std::move(picture), orientation);
}

void WritePng(std::ostream& out, const TBitmap& picture, const std::string& name)
{
    if (picture.Empty())
        throw TFileError("Cannot write " + name + ": an empty picture has no PNG form");
    const TContext ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx)
        throw TFileError("Cannot write " + name + ": out of memory");
    TWriteState state{&out, nullptr};
    Check(spng_set_png_stream(ctx.get(), WriteToStream, &state), "write", name);
    spng_ihdr ihdr{};
    ihdr.width = std::uint32_t(picture.Width());
    ihdr.height = std::uint32_t(picture.Height());
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    Check(spng_set_ihdr(ctx.get(), &ihdr), "write", name);

    auto finish = [&](int code) {
        if (state.exception)
            std::rethrow_exception(state.exception);
        if (code != 0 && code != SPNG_EOI)
            Fail("write", name, code);
    };
    finish(spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE));
    const int width = picture.Width();
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t* bgr = picture.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = bgr[x * 3 + 2];
            row[x * 3 + 1] = bgr[x * 3 + 1];
            row[x * 3 + 2] = bgr[x * 3];
        }
        finish(spng_encode_row(ctx.get(), row.data(), row.size()));
    }
    out.flush();
    if (state.exception)
        std::rethrow_exception(state.exception);
}
