#include "PictureFiles.h"

#include "BmpFile.h"
#include "FileError.h"
#include "FileNames.h"
#include "JpegFile.h"
#include "SafeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

bool IsPictureFile(const std::string& path)
{
    const TFileKind kind = FileKindOf(path);
    return kind == TFileKind::Jpeg || kind == TFileKind::Bitmap;
}

TBitmap ReadPicture(const std::string& path, std::string* warning)
{
    // A named pipe or a device could block the reader for ever, or feed it
    // without end: only a regular file is a picture.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw TFileError("Cannot open " + path + ": it is not a regular file");
    switch (FileKindOf(path)) {
    case TFileKind::Jpeg:
        return ReadJpegFile(path, warning);
    case TFileKind::Bitmap:
        return ReadBmpFile(path);
    case TFileKind::Project:
    case TFileKind::None:
        break;
    }
    throw TFileError(path + " is neither a JPEG (.jpg, .jpeg) nor a bitmap (.bmp) file");
}

void WritePicture(const std::string& path, const TBitmap& picture)
{
    switch (FileKindOf(path)) {
    case TFileKind::Jpeg:
        WriteJpegFile(path, picture, 90);
        return;
    case TFileKind::Bitmap:
        WriteBmpFile(path, picture);
        return;
    case TFileKind::Project:
    case TFileKind::None:
        break;
    }
    throw TFileError(path + " cannot be written: only .jpg, .jpeg and .bmp pictures are written");
}

void WritePictureTo(std::ostream& out, const std::string& path, const TBitmap& picture)
{
    switch (FileKindOf(path)) {
    case TFileKind::Jpeg:
        WriteJpeg(out, picture, 90, path);
        return;
    case TFileKind::Bitmap:
        WriteBmp(out, picture);
        return;
    case TFileKind::Project:
    case TFileKind::None:
        break;
    }
    throw TFileError(path + " cannot be written: only .jpg, .jpeg and .bmp pictures are written");
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
