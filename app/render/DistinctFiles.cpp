#include "app/render/DistinctFiles.h"

#include "picture/FileError.h"
#include "picture/SafeFile.h"

#include <filesystem>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

struct TIdentity {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    fs::path Normal;
};

TIdentity IdentityOf(const std::string& named)
{
    // A dangling link is where its output will be created.
    std::string path = named;
    try {
        path = FollowLinks(named);
    } catch (const TFileError&) {
    }
    TIdentity id;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        id.Exists = true;
        id.Device = info.st_dev;
        id.Inode = info.st_ino;
    }
    std::error_code error;
    id.Normal = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error)
        id.Normal = fs::absolute(path, error).lexically_normal();
    return id;
}

bool Same(const TIdentity& a, const TIdentity& b)
{
    if (a.Exists && b.Exists)
        return a.Device == b.Device && a.Inode == b.Inode;
    return a.Normal == b.Normal;
}

} // namespace

std::string SameFileReason(const std::vector<TNamedFile>& files)
{
    std::vector<TIdentity> ids;
    for (const TNamedFile& f : files)
        ids.push_back(IdentityOf(f.Path));
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (Same(ids[i], ids[j]))
                return files[j].Role + " '" + files[j].Path + "' is the same file as " + files[i].Role + " '" +
                       files[i].Path + "'";
    return {};
}
