#include "PictureFiles.h"

#include "BmpFile.h"
#include "FileError.h"
#include "JpegFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - std::ptrdiff_t(suffix.size()), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

TPictureType PictureTypeOf(const std::string& path)
{
    // A bare extension (".jpg") names no file.
    const std::string name = std::filesystem::path(path).filename().string();
    auto is = [&](const char* ext) { return name.size() > std::strlen(ext) && EndsWithNoCase(name, ext); };
    if (is(".jpg") || is(".jpeg"))
        return TPictureType::Jpeg;
    if (is(".bmp"))
        return TPictureType::Bmp;
    return TPictureType::Unknown;
}

TBitmap ReadPicture(const std::string& path, std::string* warning)
{
    switch (PictureTypeOf(path)) {
    case TPictureType::Jpeg:
        return ReadJpegFile(path, warning);
    case TPictureType::Bmp:
        return ReadBmpFile(path);
    case TPictureType::Unknown:
        break;
    }
    throw TFileError(path + " is neither a JPEG (.jpg, .jpeg) nor a bitmap (.bmp) file");
}

void WritePicture(const std::string& path, const TBitmap& picture)
{
    switch (PictureTypeOf(path)) {
    case TPictureType::Jpeg:
        WriteJpegFile(path, picture, 90);
        return;
    case TPictureType::Bmp:
        WriteBmpFile(path, picture);
        return;
    case TPictureType::Unknown:
        break;
    }
    throw TFileError(path + " cannot be written: only .jpg, .jpeg and .bmp pictures are written");
}

std::string CannotCreateReason(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        const bool exists = fs::exists(folder, error);
        return path + " cannot be written: the folder " + folder.string() +
               (exists ? " is not a folder" : " does not exist");
    }
    if (fs::is_directory(path, error))
        return path + " cannot be written: it is a folder";
    // The safe writer creates a temporary file beside the target, so the
    // folder itself must be writable, not just an existing file.
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return path + " cannot be written: " + std::strerror(errno);
    return {};
}
