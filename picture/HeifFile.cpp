#include "picture/HeifFile.h"

#include "picture/ColorProfile.h"
#include "picture/FileError.h"
#include "picture/HeifItems.h"
#include "picture/PictureKind.h"
#include "picture/PictureSamples.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <libheif/heif.h>

namespace {

struct TContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct THandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct TImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct TOptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

void Check(const heif_error& error, const std::string& name)
{
    if (error.code != heif_error_Ok)
        throw TFileError("Cannot read " + name + ": " + (error.message ? error.message : "the HEIF decoder failed"));
}

template <int Channels, std::uint32_t Max>
void WideRows(const std::uint8_t* plane, int stride, TBitmap& picture)
{
    for (int y = 0; y < picture.Height(); ++y)
        SamplesToBgr<std::uint16_t, Channels, Max>(
            reinterpret_cast<const std::uint16_t*>(plane + std::size_t(y) * stride), picture.ScanLine(y),
            picture.Width());
}

template <int Channels>
void ConvertRows(const std::uint8_t* plane, int stride, int bits, TBitmap& picture)
{
    if (bits <= 8) {
        for (int y = 0; y < picture.Height(); ++y)
            SamplesToBgr<std::uint8_t, Channels, 255>(plane + std::size_t(y) * stride, picture.ScanLine(y),
                                                      picture.Width());
    } else if (bits <= 10) {
        WideRows<Channels, 1023>(plane, stride, picture);
    } else if (bits <= 12) {
        WideRows<Channels, 4095>(plane, stride, picture);
    } else {
        WideRows<Channels, 65535>(plane, stride, picture);
    }
}

struct TNclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};

// Primaries and a transfer curve in place of an ICC profile; BT.709
// primaries (or none given) with an sRGB-like curve are sRGB already.
void ApplyNclx(const heif_image_handle* handle, TBitmap& picture)
{
    heif_color_profile_nclx* raw = nullptr;
    const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
    // Also a failure (unknown primaries) may hand over a profile to free.
    const std::unique_ptr<heif_color_profile_nclx, TNclxFree> nclx(raw);
    if (error.code != heif_error_Ok || !nclx)
        return;
    TColourSpace space{nclx->color_primary_red_x,   nclx->color_primary_red_y,   nclx->color_primary_green_x,
                       nclx->color_primary_green_y, nclx->color_primary_blue_x,  nclx->color_primary_blue_y,
                       nclx->color_primary_white_x, nclx->color_primary_white_y, TColourSpace::TCurve::Srgb};
    switch (int(nclx->transfer_characteristics)) {
    case 4: space.Curve = TColourSpace::TCurve::Gamma22; break;
    case 5: space.Curve = TColourSpace::TCurve::Gamma28; break;
    case 8: space.Curve = TColourSpace::TCurve::Linear; break;
    default: break; // sRGB, BT.709 and the rest: shown with the sRGB curve, as displays do
    }
    const int primaries = int(nclx->color_primaries);
    if ((primaries == 1 || primaries == 2) && space.Curve == TColourSpace::TCurve::Srgb)
        return;
    if (space.WhiteY <= 0 || space.RedY <= 0 || space.GreenY <= 0 || space.BlueY <= 0)
        return;
    ConvertToSrgb(picture, space);
}

void ApplyProfile(const heif_image_handle* handle, TBitmap& picture)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) {
        ApplyNclx(handle, picture);
        return;
    }
    std::vector<std::uint8_t> profile(heif_image_handle_get_raw_color_profile_size(handle));
    if (profile.empty() || heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
        return;
    ConvertToSrgb(picture, profile.data(), profile.size());
}

// Loads the decoder plugins where libheif ships them apart; once, and kept
// for the whole run.
void InitialiseOnce()
{
    static const bool initialised = heif_init(nullptr).code == heif_error_Ok;
    (void)initialised;
}

struct TOpened {
    std::unique_ptr<heif_context, TContextFree> context;
    std::unique_ptr<heif_image_handle, THandleRelease> primary;
    bool avif = false;
};

TOpened Open(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    InitialiseOnce();
    if (!DerivedImagesReferToImages(data, size))
        throw TFileError("Cannot read " + name + ": a picture in the file is made from an item that is not a picture");
    TOpened opened;
    opened.context.reset(heif_context_alloc());
    if (!opened.context)
        throw TFileError("Cannot read " + name + ": out of memory");
    heif_context_set_maximum_image_size_limit(opened.context.get(), HeifMaxSide);
    Check(heif_context_read_from_memory_without_copy(opened.context.get(), data, size, nullptr), name);
    heif_image_handle* rawHandle = nullptr;
    Check(heif_context_get_primary_image_handle(opened.context.get(), &rawHandle), name);
    opened.primary.reset(rawHandle);
    // The brands say AV1 (AVIF) rather than HEVC.
    opened.avif = FtypNamesBrand(data, size, {"avif", "avis"});
    return opened;
}

TBitmap Decode(const heif_image_handle* handle, bool avif, const std::string& name)
{
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const int bits = heif_image_handle_get_luma_bits_per_pixel(handle);
    const bool wide = bits > 8;
    const int channels = alpha ? 4 : 3;
    // The decoder holds its planes and our interleaved copy at once.
    const std::uint64_t decoded = std::uint64_t(width) * std::uint64_t(height) * channels * (wide ? 2 : 1);
    CheckPictureSize(width, height, 2 * decoded, name);

    const std::unique_ptr<heif_decoding_options, TOptionsFree> options(heif_decoding_options_alloc());
    // dav1d, libheif's first choice for AV1, prints to the terminal when it
    // refuses damaged data (and loses a little memory then); libaom's decoder
    // stays quiet. It is asked for by name where it is there.
    static const bool haveAom = [] {
        const heif_decoder_descriptor* decoders[8];
        const int count = heif_get_decoder_descriptors(heif_compression_AV1, decoders, 8);
        for (int i = 0; i < count; ++i)
            if (std::strcmp(heif_decoder_descriptor_get_id_name(decoders[i]), "aom") == 0)
                return true;
        return false;
    }();
    if (haveAom && avif)
        options->decoder_id = "aom";
    const heif_chroma chroma = wide ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                    : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image* rawImage = nullptr;
    Check(heif_decode_image(handle, &rawImage, heif_colorspace_RGB, chroma, options.get()), name);
    const std::unique_ptr<heif_image, TImageRelease> image(rawImage);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (plane == nullptr || heif_image_get_width(image.get(), heif_channel_interleaved) != width ||
        heif_image_get_height(image.get(), heif_channel_interleaved) != height)
        throw TFileError("Cannot read " + name + ": the decoder gave an unexpected picture layout");
    const int planeBits = wide ? heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) : 8;

    TBitmap picture(width, height);
    if (alpha)
        ConvertRows<4>(plane, stride, planeBits, picture);
    else
        ConvertRows<3>(plane, stride, planeBits, picture);
    ApplyProfile(handle, picture);
    return picture;
}

} // namespace

TBitmap DecodeHeif(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    const TOpened opened = Open(data, size, name);
    return Decode(opened.primary.get(), opened.avif, name);
}

THeifPreview DecodeHeifPreview(const std::uint8_t* data, std::size_t size, const std::string& name, int side)
{
    const TOpened opened = Open(data, size, name);
    THeifPreview preview;
    preview.Width = heif_image_handle_get_width(opened.primary.get());
    preview.Height = heif_image_handle_get_height(opened.primary.get());
    const int count = heif_image_handle_get_number_of_thumbnails(opened.primary.get());
    std::vector<heif_item_id> ids(std::size_t(std::max(count, 0)));
    heif_image_handle_get_list_of_thumbnail_IDs(opened.primary.get(), ids.data(), count);
    std::unique_ptr<heif_image_handle, THandleRelease> best;
    int bestSide = 0;
    for (const heif_item_id id : ids) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(opened.primary.get(), id, &raw).code != heif_error_Ok)
            continue;
        std::unique_ptr<heif_image_handle, THandleRelease> thumbnail(raw);
        const int longer = std::max(heif_image_handle_get_width(raw), heif_image_handle_get_height(raw));
        if (longer >= side && (!best || longer < bestSide)) {
            best = std::move(thumbnail);
            bestSide = longer;
        }
    }
    // A damaged thumbnail is no reason to show nothing.
    if (best) {
        try {
            preview.Picture = Decode(best.get(), opened.avif, name);
            return preview;
        } catch (const TFileError&) {
        }
    }
    preview.Picture = Decode(opened.primary.get(), opened.avif, name);
    return preview;
}
