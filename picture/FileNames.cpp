#include "picture/FileNames.h"

#include <iterator>
#include <string_view>

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

} // namespace

std::string ExtensionOf(const std::string& path)
{
    const std::size_t dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string UpperExtension(const std::string& path) { return AsciiUpper(ExtensionOf(path)); }

const TFileFormat* FormatOfName(const std::string& path)
{
    const std::string extension = UpperExtension(path);
    for (const TFileFormat& format : FileFormats())
        for (std::string_view known : format.Extensions)
            if (extension == AsciiUpper(std::string(known)))
                return &format;
    return nullptr;
}

TFileKind FileKindOf(const std::string& path)
{
    const TFileFormat* format = FormatOfName(path);
    return format ? format->Kind : TFileKind::None;
}

TSaveProposal ProposeSaveName(const std::string& openedPath)
{
    const std::string name = FileNameOnly(openedPath);
    if (FileKindOf(name) == TFileKind::Project)
        return TSaveProposal{name, SaveFilterProject};
    // Cut at the extension's own dot, so that a name like "my.jpg.old.jpg"
    // keeps everything before its last extension.
    const std::size_t dot = ExtensionStart(name);
    return TSaveProposal{name.substr(0, dot) + "_cartoon", SaveFilterBitmap};
}

std::string WithSaveExtension(const std::string& path, int filterIndex)
{
    if (ExtensionStart(path) != std::string::npos || filterIndex < 1 || filterIndex > int(std::size(SaveFilterKinds)))
        return path;
    return path + AsciiUpper(std::string(FormatOfKind(SaveFilterKinds[filterIndex - 1].Kind)->Extensions[0]));
}
