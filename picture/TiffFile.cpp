#include "picture/TiffFile.h"

#include "picture/ColorProfile.h"
#include "picture/FileError.h"
#include "picture/Orientation.h"
#include "picture/PictureSamples.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

#include <tiffio.h>

namespace {

// The file in memory, seen by libtiff through its client procedures.
struct TMemoryTiff {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t position;
};

TMemoryTiff& MemoryOf(thandle_t handle) { return *static_cast<TMemoryTiff*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count)
{
    TMemoryTiff& file = MemoryOf(handle);
    if (count <= 0 || file.position >= file.size)
        return 0;
    const std::uint64_t n = std::min<std::uint64_t>(std::uint64_t(count), file.size - file.position);
    std::copy_n(file.data + file.position, n, static_cast<std::uint8_t*>(buffer));
    file.position += n;
    return tmsize_t(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    TMemoryTiff& file = MemoryOf(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file.position;
    else if (whence == SEEK_END)
        base = file.size;
    if (offset > UINT64_MAX - base)
        return toff_t(-1);
    file.position = base + offset;
    return file.position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return MemoryOf(handle).size; }

int MapProc(thandle_t handle, void** base, toff_t* size)
{
    TMemoryTiff& file = MemoryOf(handle);
    *base = const_cast<std::uint8_t*>(file.data);
    *size = file.size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

struct TMessages {
    char error[512] = {};
};

int OnError(TIFF*, void* user, const char*, const char* format, va_list args)
{
    auto* messages = static_cast<TMessages*>(user);
    if (messages->error[0] == '\0')
        std::vsnprintf(messages->error, sizeof messages->error, format, args);
    return 1; // handled: nothing reaches the terminal
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TTiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct TOptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

[[noreturn]] void Fail(const std::string& name, const TMessages& messages, const char* fallback)
{
    throw TFileError("Cannot read " + name + ": " + (messages.error[0] ? messages.error : fallback));
}

// Whether the picture is stripped 16-bit grey or RGB with at most an
// unassociated alpha, which is read here rather than truncated by libtiff.
bool IsPlainWide(TIFF* tiff, int& channels)
{
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    if (bits != 16 || planar != PLANARCONFIG_CONTIG || format != SAMPLEFORMAT_UINT || TIFFIsTiled(tiff))
        return false;
    const int colours = photometric == PHOTOMETRIC_RGB ? 3 : photometric == PHOTOMETRIC_MINISBLACK ? 1 : 0;
    if (colours == 0 || (samples != colours && samples != colours + 1))
        return false;
    if (samples == colours + 1) {
        std::uint16_t extraCount = 0;
        std::uint16_t* extra = nullptr;
        if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) || extraCount != 1 ||
            extra[0] != EXTRASAMPLE_UNASSALPHA)
            return false;
    }
    channels = samples;
    return true;
}

void ReadWide(TIFF* tiff, TBitmap& picture, int channels, const std::string& name, const TMessages& messages)
{
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes < tmsize_t(picture.Width()) * channels * 2)
        Fail(name, messages, "its scanlines are shorter than its width");
    std::vector<std::uint16_t> line(std::size_t(lineBytes + 1) / 2);
    const int width = picture.Width();
    for (int y = 0; y < picture.Height(); ++y) {
        if (TIFFReadScanline(tiff, line.data(), std::uint32_t(y), 0) < 0)
            Fail(name, messages, "a row cannot be read");
        std::uint8_t* row = picture.ScanLine(y);
        switch (channels) {
        case 1: SamplesToBgr<std::uint16_t, 1, 65535>(line.data(), row, width); break;
        case 2: SamplesToBgr<std::uint16_t, 2, 65535>(line.data(), row, width); break;
        case 3: SamplesToBgr<std::uint16_t, 3, 65535>(line.data(), row, width); break;
        default: SamplesToBgr<std::uint16_t, 4, 65535>(line.data(), row, width); break;
        }
    }
}

// Whether the picture is stripped 8-bit CMYK, which its own profile (when
// it has one) converts better than libtiff's plain ink arithmetic.
bool IsPlainCmyk(TIFF* tiff)
{
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, inks = INKSET_CMYK;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
    return TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) && photometric == PHOTOMETRIC_SEPARATED && bits == 8 &&
           samples == 4 && planar == PLANARCONFIG_CONTIG && inks == INKSET_CMYK && !TIFFIsTiled(tiff);
}

void ReadCmyk(TIFF* tiff, TBitmap& picture, const TCmykConversion& profile, const std::string& name,
              const TMessages& messages)
{
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes < tmsize_t(picture.Width()) * 4)
        Fail(name, messages, "its scanlines are shorter than its width");
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    for (int y = 0; y < picture.Height(); ++y) {
        if (TIFFReadScanline(tiff, line.data(), std::uint32_t(y), 0) < 0)
            Fail(name, messages, "a row cannot be read");
        profile.Row(line.data(), picture.ScanLine(y), picture.Width());
    }
}

// libtiff's RGBA reader gives premultiplied alpha: over white a colour is
// its value plus what the alpha leaves uncovered. The picture is made only
// once libtiff has read every strip, so a small file that claims a huge
// picture fails before that memory is filled.
TBitmap ReadRgba(TIFF* tiff, int width, int height, const std::string& name, const TMessages& messages)
{
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tiff, reason))
        throw TFileError("Cannot read " + name + ": " + reason);
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageBegin(&image, tiff, 1, reason))
        throw TFileError("Cannot read " + name + ": " + reason);
    // The rows as stored; the orientation is applied afterwards, all eight
    // values alike.
    image.req_orientation = image.orientation;
    const std::unique_ptr<std::uint32_t[]> raster(new std::uint32_t[std::size_t(width) * std::size_t(height)]);
    const int ok = TIFFRGBAImageGet(&image, raster.get(), std::uint32_t(width), std::uint32_t(height));
    TIFFRGBAImageEnd(&image);
    if (!ok)
        Fail(name, messages, "its pixels cannot be read");
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = raster.get() + std::size_t(y) * width;
        std::uint8_t* out = picture.ScanLine(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const std::uint32_t p = in[x];
            const std::uint32_t uncovered = 255 - TIFFGetA(p);
            out[0] = std::uint8_t(std::min<std::uint32_t>(255, TIFFGetB(p) + uncovered));
            out[1] = std::uint8_t(std::min<std::uint32_t>(255, TIFFGetG(p) + uncovered));
            out[2] = std::uint8_t(std::min<std::uint32_t>(255, TIFFGetR(p) + uncovered));
        }
    }
    return picture;
}

} // namespace

TBitmap DecodeTiff(const std::uint8_t* data, std::size_t size, const std::string& name)
{
    TMessages messages;
    const std::unique_ptr<TIFFOpenOptions, TOptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw TFileError("Cannot read " + name + ": out of memory");
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), TiffMemoryLimit);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &messages);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &messages);
    TMemoryTiff file{data, size, 0};
    const std::unique_ptr<TIFF, TTiffClose> tiff(TIFFClientOpenExt(name.c_str(), "r", &file, ReadProc, WriteProc,
                                                                   SeekProc, CloseProc, SizeProc, MapProc, UnmapProc,
                                                                   options.get()));
    if (!tiff)
        Fail(name, messages, "it is not a readable TIFF file");

    std::uint32_t width = 0, height = 0;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    int channels = 0;
    const bool wide = IsPlainWide(tiff.get(), channels);
    CheckPictureSize(width, height, wide ? 0 : std::uint64_t(width) * height * 4, name);
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);

    std::uint32_t profileSize = 0;
    void* rawProfile = nullptr;
    TIFFGetField(tiff.get(), TIFFTAG_ICCPROFILE, &profileSize, &rawProfile);
    const auto* profile = static_cast<const std::uint8_t*>(rawProfile);
    const TCmykConversion cmyk(IsPlainCmyk(tiff.get()) ? profile : nullptr, profileSize, false);

    TBitmap picture;
    if (wide || cmyk.Ok())
        picture.SetSize(int(width), int(height));
    if (wide)
        ReadWide(tiff.get(), picture, channels, name, messages);
    else if (cmyk.Ok())
        ReadCmyk(tiff.get(), picture, cmyk, name, messages);
    else
        picture = ReadRgba(tiff.get(), int(width), int(height), name, messages);

    // An RGB profile converts the decoded picture; a CMYK one did its work above.
    ConvertToSrgb(picture, profile, profileSize);
    return ApplyOrientation(std::move(picture), orientation);
}
