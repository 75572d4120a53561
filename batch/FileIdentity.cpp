#include "batch/FileIdentity.h"

#include "picture/FileError.h"
#include "picture/SafeFile.h"

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;

TFileIdentity IdentityOf(const std::string& named)
{
    std::string path = named;
    try {
        path = FollowLinks(named);
    } catch (const TFileError&) {
    }
    TFileIdentity id;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        id.Exists = true;
        id.Device = info.st_dev;
        id.Inode = info.st_ino;
    }
    std::error_code error;
    id.Normal = fs::weakly_canonical(fs::absolute(path, error), error).string();
    if (error)
        id.Normal = fs::absolute(path, error).lexically_normal().string();
    return id;
}

bool SameFile(const TFileIdentity& a, const TFileIdentity& b)
{
    if (a.Exists && b.Exists)
        return a.Device == b.Device && a.Inode == b.Inode;
    return a.Normal == b.Normal;
}
