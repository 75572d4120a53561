#include "picture/FileFormats.h"

#include <iterator>

namespace {

constexpr std::string_view JpegExtensions[] = {".jpg", ".jpeg"};
constexpr std::string_view BitmapExtensions[] = {".bmp"};
constexpr std::string_view PngExtensions[] = {".png"};
constexpr std::string_view WebPExtensions[] = {".webp"};
constexpr std::string_view TiffExtensions[] = {".tif", ".tiff"};
constexpr std::string_view HeicExtensions[] = {".heic", ".heif"};
constexpr std::string_view AvifExtensions[] = {".avif"};
constexpr std::string_view ProjectExtensions[] = {".p2c"};

// HEIC and AVIF share one container and one reader, but a person knows them
// as two formats. The two JPEG spellings have kept a filter each since the
// first version.
constexpr TFileFormat Formats[] = {
    {.Kind = TFileKind::Jpeg,
     .Picture = TPictureKind::Jpeg,
     .Name = "JPEG",
     .FilterLabel = "JPEG Image File",
     .Extensions = JpegExtensions,
     .Reads = true,
     .Writes = true,
     .WrittenAs = "baseline, quality 90",
     .FilterPerExtension = true},
    {.Kind = TFileKind::Bitmap,
     .Picture = TPictureKind::Bitmap,
     .Name = "bitmap",
     .FilterLabel = "Bitmaps",
     .Extensions = BitmapExtensions,
     .Reads = true,
     .Writes = true,
     .WrittenAs = "24-bit"},
    {.Kind = TFileKind::Png,
     .Picture = TPictureKind::Png,
     .Name = "PNG",
     .FilterLabel = "PNG Image File",
     .Extensions = PngExtensions,
     .Reads = true,
     .Writes = true,
     .WrittenAs = "8-bit RGB"},
    {.Kind = TFileKind::WebP,
     .Picture = TPictureKind::WebP,
     .Name = "WebP",
     .FilterLabel = "WebP Image File",
     .Extensions = WebPExtensions,
     .Reads = true,
     .Writes = true,
     .WrittenAs = "quality 90",
     .LosslessLabel = "WebP Lossless Image File"},
    {.Kind = TFileKind::Tiff,
     .Picture = TPictureKind::Tiff,
     .Name = "TIFF",
     .FilterLabel = "TIFF Image File",
     .Extensions = TiffExtensions,
     .Reads = true},
    {.Kind = TFileKind::Heif,
     .Picture = TPictureKind::Heif,
     .Name = "HEIC",
     .FilterLabel = "HEIC Image File",
     .Extensions = HeicExtensions,
     .Reads = true},
    {.Kind = TFileKind::Heif,
     .Picture = TPictureKind::Heif,
     .Name = "AVIF",
     .FilterLabel = "AVIF Image File",
     .Extensions = AvifExtensions,
     .Reads = true},
    {.Kind = TFileKind::Project,
     .Name = "project",
     .FilterLabel = "Lumenquilla Project",
     .Extensions = ProjectExtensions,
     .Reads = true,
     .Writes = true},
};

static_assert(SaveFilterKinds[SaveFilterBitmap - 1].Kind == TFileKind::Bitmap);
static_assert(SaveFilterKinds[SaveFilterJpeg - 1].Kind == TFileKind::Jpeg);
static_assert(SaveFilterKinds[SaveFilterPng - 1].Kind == TFileKind::Png);
static_assert(SaveFilterKinds[SaveFilterWebP - 1].Kind == TFileKind::WebP &&
              !SaveFilterKinds[SaveFilterWebP - 1].Lossless);
static_assert(SaveFilterKinds[SaveFilterWebPLossless - 1].Kind == TFileKind::WebP &&
              SaveFilterKinds[SaveFilterWebPLossless - 1].Lossless);
static_assert(SaveFilterKinds[SaveFilterProject - 1].Kind == TFileKind::Project);
static_assert(std::size(SaveFilterKinds) == SaveFilterProject);

std::string Pattern(std::string_view extension)
{
    std::string pattern = "*";
    return pattern.append(extension);
}

std::string PatternList(const std::vector<std::string>& patterns)
{
    std::string list;
    for (const std::string& pattern : patterns)
        list += (list.empty() ? "" : ";") + pattern;
    return list;
}

TDialogFilter FilterOf(std::string_view label, std::vector<std::string> patterns)
{
    return {std::string(label) + " (" + PatternList(patterns) + ")", std::move(patterns)};
}

bool Uses(const TFileFormat& format, TFormatUse use) { return use == TFormatUse::Read ? format.Reads : format.Writes; }

} // namespace

std::span<const TFileFormat> FileFormats() { return Formats; }

const TFileFormat* FormatOfKind(TFileKind kind)
{
    for (const TFileFormat& format : Formats)
        if (format.Kind == kind)
            return &format;
    return nullptr;
}

std::vector<TDialogFilter> OpenDialogFilters()
{
    std::vector<TDialogFilter> filters;
    std::vector<std::string> everything;
    for (const TFileFormat& format : Formats) {
        if (!format.Reads)
            continue;
        std::vector<std::string> patterns;
        for (std::string_view extension : format.Extensions) {
            everything.push_back(Pattern(extension));
            if (format.FilterPerExtension)
                filters.push_back(FilterOf(format.FilterLabel, {Pattern(extension)}));
            else
                patterns.push_back(Pattern(extension));
        }
        if (!patterns.empty())
            filters.push_back(FilterOf(format.FilterLabel, std::move(patterns)));
    }
    // The first and the last keep the first version's texts, without a space.
    filters.insert(filters.begin(), {std::string("All Picture(").append(PatternList(everything)) + ")", everything});
    filters.push_back({"All File(*.*)", {"*"}});
    return filters;
}

std::vector<TDialogFilter> SaveDialogFilters()
{
    std::vector<TDialogFilter> filters;
    for (const TSaveFilter& save : SaveFilterKinds) {
        const TFileFormat& format = *FormatOfKind(save.Kind);
        filters.push_back(
            FilterOf(save.Lossless ? format.LosslessLabel : format.FilterLabel, {Pattern(format.Extensions[0])}));
    }
    return filters;
}

std::vector<std::string> PictureExtensions(TFormatUse use)
{
    std::vector<std::string> extensions;
    for (const TFileFormat& format : Formats)
        if (format.IsPicture() && Uses(format, use))
            extensions.insert(extensions.end(), format.Extensions.begin(), format.Extensions.end());
    return extensions;
}

std::vector<std::string> PictureNames(TFormatUse use)
{
    std::vector<std::string> names;
    for (const TFileFormat& format : Formats)
        if (format.IsPicture() && Uses(format, use))
            names.emplace_back(format.Name);
    return names;
}

std::vector<std::string> SavedExtensions()
{
    std::vector<std::string> extensions;
    for (const TSaveFilter& save : SaveFilterKinds) {
        // The lossless filter saves under the same names as its kind's own.
        if (save.Lossless)
            continue;
        const TFileFormat& format = *FormatOfKind(save.Kind);
        extensions.insert(extensions.end(), format.Extensions.begin(), format.Extensions.end());
    }
    return extensions;
}

std::string ListText(const std::vector<std::string>& items, std::string_view conjunction)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i + 1 == items.size() && i > 0)
            text.append(" ").append(conjunction).append(" ");
        else if (i > 0)
            text += ", ";
        text += items[i];
    }
    return text;
}

std::string NotAPictureText(const std::string& path)
{
    return path + " is not a picture this program can read (" + ListText(PictureNames(TFormatUse::Read), "or") + ")";
}
