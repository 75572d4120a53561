#include "picture/WebPFile.h"

#include "picture/ColorProfile.h"
#include "picture/FileError.h"
#include "picture/Orientation.h"
#include "picture/PictureSamples.h"

#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

namespace {

std::string StatusText(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_INVALID_PARAM: return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR: return "the WebP data is damaged";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "it uses a WebP feature this program does not read";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "the file is truncated";
    default: return "the WebP decoder failed";
    }
}

struct TDemuxDelete {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

// The ICCP and EXIF chunks of an extended file; a damaged container leaves
// the picture as decoded.
void ApplyMetadata(const std::uint8_t* data, std::size_t size, TBitmap& picture, int& orientation)
{
    const WebPData whole{data, size};
    const std::unique_ptr<WebPDemuxer, TDemuxDelete> demux(WebPDemux(&whole));
    if (!demux)
        return;
    const std::uint32_t flags = WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS);
    WebPChunkIterator chunk{};
    if ((flags & ICCP_FLAG) && WebPDemuxGetChunk(demux.get(), "ICCP", 1, &chunk)) {
        ConvertToSrgb(picture, chunk.chunk.bytes, chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    if ((flags & EXIF_FLAG) && WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk)) {
        orientation = OrientationOfExifBlock(chunk.chunk.bytes, chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
}

struct TWebPFree {
    void operator()(std::uint8_t* bytes) const { WebPFree(bytes); }
};

} // namespace

TBitmap DecodeWebP(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        throw TFileError("Cannot read " + name + ": the WebP library does not match the program");
    VP8StatusCode status = WebPGetFeatures(data, size, &config.input);
    if (status != VP8_STATUS_OK)
        throw TFileError("Cannot read " + name + ": " + StatusText(status));
    const WebPBitstreamFeatures& features = config.input;
    if (features.has_animation)
        throw TFileError(name + " is an animated WebP, which this program does not open");
    const int width = features.width, height = features.height;
    const bool alpha = features.has_alpha != 0;
    const std::uint64_t alphaBytes = alpha ? std::uint64_t(width) * std::uint64_t(height) * 4 : 0;
    CheckPictureSize(width, height, alphaBytes, name);

    TBitmap picture(width, height);
    std::vector<std::uint8_t> rgba(alphaBytes);
    WebPRGBABuffer& out = config.output.u.RGBA;
    config.output.is_external_memory = 1;
    if (alpha) {
        config.output.colorspace = MODE_RGBA;
        out.rgba = rgba.data();
        out.stride = width * 4;
        out.size = rgba.size();
    } else {
        // Straight into the picture's rows.
        config.output.colorspace = MODE_BGR;
        out.rgba = picture.Bits();
        out.stride = int(picture.Stride());
        out.size = picture.ByteSize();
    }
    status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        throw TFileError("Cannot read " + name + ": " + StatusText(status));
    if (alpha)
        for (int y = 0; y < height; ++y)
            SamplesToBgr<std::uint8_t, 4, 255>(rgba.data() + std::size_t(y) * width * 4, picture.ScanLine(y), width);
    int orientation = 1;
    ApplyMetadata(data, size, picture, orientation);
    return ApplyOrientation(std::move(picture), orientation);
}

void WriteWebP(std::ostream& out, const TBitmap& picture, bool lossless, const std::string& name)
{
    if (picture.Empty())
        throw TFileError("Cannot write " + name + ": an empty picture has no WebP form");
    if (picture.Width() > WebPMaxSide || picture.Height() > WebPMaxSide)
        throw TFileError("Cannot write " + name + ": a WebP picture is at most " + std::to_string(WebPMaxSide) +
                         " pixels on a side, this one is " + std::to_string(picture.Width()) + " x " +
                         std::to_string(picture.Height()));
    std::uint8_t* bytes = nullptr;
    const int stride = int(picture.Stride());
    const std::size_t length =
        lossless ? WebPEncodeLosslessBGR(picture.Bits(), picture.Width(), picture.Height(), stride, &bytes)
                 : WebPEncodeBGR(picture.Bits(), picture.Width(), picture.Height(), stride, 90.0f, &bytes);
    const std::unique_ptr<std::uint8_t, TWebPFree> owned(bytes);
    if (length == 0 || bytes == nullptr)
        throw TFileError("Cannot write " + name + ": the WebP encoder failed");
    out.write(reinterpret_cast<const char*>(bytes), std::streamsize(length));
    out.flush();
    if (!out)
        throw TFileError("Cannot write " + name);
}
