#include "picture/PictureFiles.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "picture/FileFormats.h"
#include "picture/FileNames.h"
#include "picture/HeifFile.h"
#include "picture/JpegFile.h"
#include "picture/PictureDecoders.h"
#include "picture/PictureKind.h"
#include "picture/PngFile.h"
#include "picture/SafeFile.h"
#include "picture/WebPFile.h"
#include "picture/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

bool IsPictureFile(const std::string& path)
{
    const TFileFormat* format = FormatOfName(path);
    return format && format->IsPicture();
}

bool IsWritablePictureFile(const std::string& path)
{
    const TFileFormat* format = FormatOfName(path);
    return format && format->IsPicture() && format->Writes;
}

namespace {

TPictureKind KindOfContent(const std::string& path)
{
    const std::vector<std::uint8_t> start = ReadFileBytes(path, PictureKindBytes, true);
    return PictureKindOf(start.data(), start.size());
}

TPictureKind KindOfName(const std::string& path)
{
    const TFileFormat* format = FormatOfName(path);
    return format ? format->Picture : TPictureKind::Unknown;
}

std::string CannotWriteText(const std::string& path)
{
    return path + " cannot be written: only " + ListText(PictureExtensions(TFormatUse::Written), "and") +
           " pictures are written";
}

} // namespace

bool HoldsPicture(const std::string& path)
{
    try {
        return KindOfContent(path) != TPictureKind::Unknown;
    } catch (const TFileError&) {
        return false;
    }
}

TBitmap ReadPicture(const std::string& path, std::string* warning)
{
    if (warning != nullptr)
        warning->clear();
    // A named pipe or a device could block a reader for ever, or feed it
    // without end: only a regular file is a picture (checked on opening).
    TPictureKind kind = KindOfContent(path);
    // Content of no known kind goes to the reader the name asks for, whose
    // own message then says what is wrong ("Not a JPEG file").
    if (kind == TPictureKind::Unknown)
        kind = KindOfName(path);
    switch (kind) {
    case TPictureKind::Jpeg: return ReadJpegFile(path, warning);
    case TPictureKind::Bitmap: return ReadBmpFile(path);
    case TPictureKind::Unknown: break;
    default: {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(path, PictureFileLimit);
        return DecodePicture(kind, bytes.data(), bytes.size(), path);
    }
    }
    throw TFileError(NotAPictureText(path));
}

TBitmap ReadPictureForPreview(const std::string& path, int side, int* width, int* height)
{
    if (KindOfContent(path) == TPictureKind::Heif) {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(path, PictureFileLimit);
        THeifPreview preview = DecodeHeifPreview(bytes.data(), bytes.size(), path, side);
        *width = preview.Width;
        *height = preview.Height;
        return std::move(preview.Picture);
    }
    std::string warning;
    TBitmap picture = ReadPicture(path, &warning);
    *width = picture.Width();
    *height = picture.Height();
    return picture;
}

void WritePicture(const std::string& path, const TBitmap& picture, TWriteOptions options)
{
    if (!IsWritablePictureFile(path))
        throw TFileError(CannotWriteText(path));
    WriteFileSafely(path, [&](std::ostream& out) { WritePictureTo(out, path, picture, options); });
}

void WritePictureTo(std::ostream& out, const std::string& path, const TBitmap& picture, TWriteOptions options)
{
    switch (FileKindOf(path)) {
    case TFileKind::Jpeg: WriteJpeg(out, picture, 90, path); return;
    case TFileKind::Bitmap: WriteBmp(out, picture); return;
    case TFileKind::Png: WritePng(out, picture, path); return;
    case TFileKind::WebP: WriteWebP(out, picture, options.Lossless, path); return;
    default: break;
    }
    throw TFileError(CannotWriteText(path));
}

std::string CannotCreateReason(const std::string& path)
{
    namespace fs = std::filesystem;
    // The file finally written, as the safe writer finds it.
    std::string target = path;
    try {
        target = FollowLinks(path);
    } catch (const TFileError& e) {
        return e.what();
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) {
        // A device (the null device) is written into as it stands.
        if (::access(target.c_str(), W_OK) != 0)
            return path + " cannot be written: " + std::strerror(errno);
        return {};
    }
    fs::path folder = fs::path(target).parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        const bool exists = fs::exists(folder, error);
        return path + " cannot be written: the folder " + folder.string() +
               (exists ? " is not a folder" : " does not exist");
    }
    if (fs::is_directory(target, error))
        return path + " cannot be written: it is a folder";
    // The safe writer creates a temporary file beside the target, so the
    // folder itself must be writable, not just an existing file.
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return path + " cannot be written: " + std::strerror(errno);
    return {};
}
