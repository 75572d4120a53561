#include "picture/FileNames.h"

std::string FileNameOnly(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

// Position of the extension's dot in `path`, or npos.
std::size_t ExtensionStart(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

// ASCII only: the desktop's locale must not change how an extension compares.
std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

TFileKind KindOfExtension(const std::string& upper)
{
    if (upper == ".JPG" || upper == ".JPEG")
        return TFileKind::Jpeg;
    if (upper == ".BMP")
        return TFileKind::Bitmap;
    if (upper == ".PNG")
        return TFileKind::Png;
    if (upper == ".WEBP")
        return TFileKind::WebP;
    if (upper == ".TIF" || upper == ".TIFF")
        return TFileKind::Tiff;
    if (upper == ".HEIC" || upper == ".HEIF" || upper == ".AVIF")
        return TFileKind::Heif;
    if (upper == ".P2C")
        return TFileKind::Project;
    return TFileKind::None;
}

} // namespace

std::string ExtensionOf(const std::string& path)
{
    const std::size_t dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string UpperExtension(const std::string& path) { return AsciiUpper(ExtensionOf(path)); }

TFileKind FileKindOf(const std::string& path) { return KindOfExtension(UpperExtension(path)); }

TSaveProposal ProposeSaveName(const std::string& openedPath)
{
    const std::string name = FileNameOnly(openedPath);
    if (UpperExtension(name) == ".P2C")
        return TSaveProposal{name, SaveFilterProject};
    // Cut at the extension's own dot, so that a name like "my.jpg.old.jpg"
    // keeps everything before its last extension.
    const std::size_t dot = ExtensionStart(name);
    return TSaveProposal{name.substr(0, dot) + "_cartoon", SaveFilterBitmap};
}

std::string WithSaveExtension(const std::string& path, int filterIndex)
{
    if (ExtensionStart(path) != std::string::npos)
        return path;
    switch (filterIndex) {
    case SaveFilterBitmap: return path + ".BMP";
    case SaveFilterJpeg: return path + ".JPG";
    case SaveFilterPng: return path + ".PNG";
    case SaveFilterWebP:
    case SaveFilterWebPLossless: return path + ".WEBP";
    case SaveFilterProject: return path + ".P2C";
    default: return path;
    }
}
