#include "tests/picture/PictureFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <unistd.h>

#include <lcms2.h>
#include <libheif/heif.h>
#include <spng.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

namespace {

TBytes PackRows(const TPngPicture& png)
{
    const int channels = png.colorType == 2 ? 3 : png.colorType == 6 ? 4 : png.colorType == 4 ? 2 : 1;
    const std::size_t perRow = std::size_t(png.width) * channels;
    const std::size_t rowBytes = (perRow * png.depth + 7) / 8;
    TBytes out(rowBytes * png.height, 0);
    for (int y = 0; y < png.height; ++y) {
        std::uint8_t* row = out.data() + y * rowBytes;
        for (std::size_t i = 0; i < perRow; ++i) {
            const std::uint16_t v = png.samples.at(y * perRow + i);
            if (png.depth == 16) {
                // Host order: libspng's own layout for 16-bit rows.
                std::uint16_t host = v;
                std::memcpy(row + i * 2, &host, 2);
            } else if (png.depth == 8) {
                row[i] = std::uint8_t(v);
            } else {
                const std::size_t bit = i * png.depth;
                row[bit / 8] |= std::uint8_t(v << (8 - png.depth - bit % 8));
            }
        }
    }
    return out;
}

void CheckSpng(int code)
{
    if (code != 0)
        throw std::runtime_error(std::string("spng: ") + spng_strerror(code));
}

std::string TempName(const char* suffix)
{
    static int count = 0;
    return (std::filesystem::temp_directory_path() /
            ("lq-fixture-" + std::to_string(::getpid()) + "-" + std::to_string(++count) + suffix))
        .string();
}

TBytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), {});
}

TBytes SaveProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    TBytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

heif_error WriteBytes(heif_context*, const void* data, std::size_t size, void* user)
{
    auto* out = static_cast<TBytes*>(user);
    out->insert(out->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

} // namespace

TBytes EncodePng(const TPngPicture& png)
{
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{std::uint32_t(png.width),
                   std::uint32_t(png.height),
                   std::uint8_t(png.depth),
                   std::uint8_t(png.colorType),
                   0,
                   0,
                   0};
    CheckSpng(spng_set_ihdr(ctx, &ihdr));
    if (!png.palette.empty()) {
        spng_plte plte{};
        plte.n_entries = std::uint32_t(png.palette.size() / 3);
        for (std::uint32_t i = 0; i < plte.n_entries; ++i)
            plte.entries[i] = {png.palette[i * 3], png.palette[i * 3 + 1], png.palette[i * 3 + 2], 255};
        CheckSpng(spng_set_plte(ctx, &plte));
    }
    if (!png.transparent.empty()) {
        spng_trns trns{};
        if (png.colorType == 3) {
            trns.n_type3_entries = std::uint32_t(png.transparent.size());
            for (std::size_t i = 0; i < png.transparent.size(); ++i)
                trns.type3_alpha[i] = std::uint8_t(png.transparent[i]);
        } else if (png.colorType == 0) {
            trns.gray = png.transparent[0];
        } else {
            trns.red = png.transparent[0];
            trns.green = png.transparent[1];
            trns.blue = png.transparent[2];
        }
        CheckSpng(spng_set_trns(ctx, &trns));
    }
    TBytes profile = png.profile;
    if (!profile.empty()) {
        spng_iccp iccp{};
        std::snprintf(iccp.profile_name, sizeof iccp.profile_name, "test");
        iccp.profile_len = profile.size();
        iccp.profile = reinterpret_cast<char*>(profile.data());
        CheckSpng(spng_set_iccp(ctx, &iccp));
    }
    TBytes exif = png.exif;
    if (!exif.empty()) {
        spng_exif block{exif.size(), reinterpret_cast<char*>(exif.data())};
        CheckSpng(spng_set_exif(ctx, &block));
    }
    TBytes rows = PackRows(png);
    CheckSpng(spng_encode_image(ctx, rows.data(), rows.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE));
    std::size_t length = 0;
    int error = 0;
    auto* buffer = static_cast<std::uint8_t*>(spng_get_png_buffer(ctx, &length, &error));
    CheckSpng(error);
    TBytes out(buffer, buffer + length);
    std::free(buffer);
    spng_ctx_free(ctx);
    return out;
}

TBytes EncodeTiff(const TTiffPicture& picture)
{
    const std::string path = TempName(".tif");
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("cannot create " + path);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(picture.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(picture.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, std::uint16_t(picture.depth));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, std::uint16_t(picture.samplesPerPixel));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, std::uint16_t(picture.photometric));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, std::uint16_t(picture.orientation));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t(picture.height));
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    if (picture.alpha) {
        std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, std::uint16_t(1), &extra);
    }
    if (picture.photometric == PHOTOMETRIC_SEPARATED)
        TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    if (!picture.profile.empty())
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, std::uint32_t(picture.profile.size()), picture.profile.data());
    const std::size_t perRow = std::size_t(picture.width) * picture.samplesPerPixel;
    TBytes row(perRow * picture.depth / 8);
    for (int y = 0; y < picture.height; ++y) {
        for (std::size_t i = 0; i < perRow; ++i) {
            const std::uint16_t v = picture.samples.at(y * perRow + i);
            if (picture.depth == 16)
                std::memcpy(row.data() + i * 2, &v, 2);
            else
                row[i] = std::uint8_t(v);
        }
        TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), 0);
    }
    TIFFClose(tiff);
    TBytes bytes = ReadAll(path);
    std::filesystem::remove(path);
    return bytes;
}

TBytes ExifBlock(int orientation)
{
    return {'I',
            'I',
            42,
            0,
            8,
            0,
            0,
            0, // header, first directory at 8
            1,
            0, // one entry
            0x12,
            0x01,
            3,
            0,
            1,
            0,
            0,
            0, // orientation, SHORT, count 1
            std::uint8_t(orientation),
            0,
            0,
            0, // its value
            0,
            0,
            0,
            0}; // no next directory
}

TBytes AdobeRgbProfile()
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return SaveProfile(profile);
}

namespace {

double SrgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// Linear RGB through a D65 matrix to XYZ, then to encoded sRGB.
void LinearToSrgb(const double linear[3], const double toXyz[3][3], double out[3])
{
    static const double ToSrgb[3][3] = {
        {3.2404542, -1.5371385, -0.4985314}, {-0.9692660, 1.8760108, 0.0415560}, {0.0556434, -0.2040259, 1.0572252}};
    const auto& ToXyz = toXyz;
    double xyz[3];
    for (int i = 0; i < 3; ++i)
        xyz[i] = ToXyz[i][0] * linear[0] + ToXyz[i][1] * linear[1] + ToXyz[i][2] * linear[2];
    for (int i = 0; i < 3; ++i) {
        double v = ToSrgb[i][0] * xyz[0] + ToSrgb[i][1] * xyz[1] + ToSrgb[i][2] * xyz[2];
        v = std::clamp(v, 0.0, 1.0);
        v = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
        out[i] = v * 255.0;
    }
}

} // namespace

void AdobeToSrgb(const std::uint8_t rgb[3], double out[3])
{
    static const double ToXyz[3][3] = {
        {0.5767309, 0.1855540, 0.1881852}, {0.2973769, 0.6273491, 0.0752741}, {0.0270343, 0.0706872, 0.9911085}};
    double linear[3];
    for (int i = 0; i < 3; ++i)
        linear[i] = std::pow(rgb[i] / 255.0, 563.0 / 256.0);
    LinearToSrgb(linear, ToXyz, out);
}

void DisplayP3ToSrgb(const std::uint8_t rgb[3], double out[3])
{
    static const double ToXyz[3][3] = {
        {0.4865709, 0.2656677, 0.1982173}, {0.2289746, 0.6917385, 0.0792869}, {0.0000000, 0.0451134, 1.0439444}};
    double linear[3];
    for (int i = 0; i < 3; ++i)
        linear[i] = SrgbDecode(rgb[i] / 255.0);
    LinearToSrgb(linear, ToXyz, out);
}

TBytes SrgbProfile() { return SaveProfile(cmsCreate_sRGBProfile()); }

namespace {

int GreyLightness(const cmsUInt16Number in[], cmsUInt16Number out[], void*)
{
    const double c = in[0] / 65535.0, k = in[3] / 65535.0;
    const double lightness = 100 - 20 * c - 60 * k;
    out[0] = cmsUInt16Number(std::lround(lightness / 100 * 65535));
    out[1] = out[2] = 0x8080; // a* = b* = 0
    return TRUE;
}

} // namespace

TBytes GreyCmykProfile()
{
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 4.3);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    // Linear in c and k, so the two-point grid is exact; the identity curves
    // around it are what an A-to-B table must have.
    cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 2, 4, 3, nullptr);
    cmsStageSampleCLut16bit(grid, GreyLightness, nullptr, 0);
    cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 4, nullptr));
    cmsPipelineInsertStage(lut, cmsAT_END, grid);
    cmsPipelineInsertStage(lut, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
    cmsWriteTag(profile, cmsSigAToB0Tag, lut);
    cmsPipelineFree(lut);
    return SaveProfile(profile);
}

double SrgbGreyOfLightness(double lightness)
{
    const double f = (lightness + 16) / 116;
    const double y = lightness > 8 ? f * f * f : lightness / 903.3;
    const double v = y <= 0.0031308 ? 12.92 * y : 1.055 * std::pow(y, 1 / 2.4) - 0.055;
    return v * 255;
}

TBytes EncodeWebPWith(const TBitmap& picture, const TBytes& alpha, const TBytes& profile, const TBytes& exif)
{
    const int width = picture.Width(), height = picture.Height();
    TBytes rgba(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = picture.ScanLine(y) + x * 3;
            std::uint8_t* q = rgba.data() + (std::size_t(y) * width + x) * 4;
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = alpha.empty() ? 255 : alpha[std::size_t(y) * width + x];
        }
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    config.exact = 1;
    WebPPicture pic;
    WebPPictureInit(&pic);
    pic.use_argb = 1;
    pic.width = width;
    pic.height = height;
    WebPPictureImportRGBA(&pic, rgba.data(), width * 4);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    if (!WebPEncode(&config, &pic))
        throw std::runtime_error("WebP encoding failed");
    WebPPictureFree(&pic);
    TBytes bitstream(writer.mem, writer.mem + writer.size);
    WebPMemoryWriterClear(&writer);
    if (profile.empty() && exif.empty())
        return bitstream;

    WebPMux* mux = WebPMuxNew();
    const WebPData image{bitstream.data(), bitstream.size()};
    WebPMuxSetImage(mux, &image, 1);
    if (!profile.empty()) {
        const WebPData chunk{profile.data(), profile.size()};
        WebPMuxSetChunk(mux, "ICCP", &chunk, 1);
    }
    if (!exif.empty()) {
        const WebPData chunk{exif.data(), exif.size()};
        WebPMuxSetChunk(mux, "EXIF", &chunk, 1);
    }
    WebPData assembled{};
    if (WebPMuxAssemble(mux, &assembled) != WEBP_MUX_OK)
        throw std::runtime_error("WebP assembly failed");
    TBytes out(assembled.bytes, assembled.bytes + assembled.size);
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    return out;
}

std::optional<TBytes> EncodeHeif(const TBitmap& picture, bool avif, const TBytes& profile, int primaries, int thumbnail)
{
    static const bool initialised = heif_init(nullptr).code == heif_error_Ok;
    (void)initialised;
    heif_context* ctx = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(ctx, avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        heif_context_free(ctx);
        return std::nullopt;
    }
    heif_encoder_set_lossy_quality(encoder, 95);
    const int width = picture.Width(), height = picture.Height();
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = picture.ScanLine(y) + x * 3;
            std::uint8_t* q = plane + std::size_t(y) * stride + x * 3;
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
    if (!profile.empty())
        heif_image_set_raw_color_profile(image, "prof", profile.data(), profile.size());
    if (primaries != 0) {
        heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
        heif_nclx_color_profile_set_color_primaries(nclx, std::uint16_t(primaries));
        heif_nclx_color_profile_set_transfer_characteristics(nclx, 13);
        heif_nclx_color_profile_set_matrix_coefficients(nclx, 6);
        heif_image_set_nclx_color_profile(image, nclx);
        heif_nclx_color_profile_free(nclx);
    }
    TBytes out;
    heif_image_handle* handle = nullptr;
    heif_error encoded = heif_context_encode_image(ctx, image, encoder, nullptr, &handle);
    if (encoded.code == heif_error_Ok && thumbnail != 0)
        encoded = heif_context_encode_thumbnail(ctx, image, handle, encoder, nullptr, thumbnail, nullptr);
    if (handle)
        heif_image_handle_release(handle);
    if (encoded.code == heif_error_Ok) {
        heif_writer writer{1, WriteBytes};
        heif_context_write(ctx, &writer, &out);
    }
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(ctx);
    if (out.empty())
        return std::nullopt;
    return out;
}

TBitmap PictureOfPixels(int width, int height, const std::vector<std::uint8_t>& bgr)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        std::copy_n(bgr.begin() + std::ptrdiff_t(y) * width * 3, width * 3, picture.ScanLine(y));
    return picture;
}

std::vector<std::uint8_t> PixelsOf(const TBitmap& picture)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < picture.Height(); ++y)
        out.insert(out.end(), picture.ScanLine(y), picture.ScanLine(y) + picture.Width() * 3);
    return out;
}
