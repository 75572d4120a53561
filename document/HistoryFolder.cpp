#include "document/HistoryFolder.h"

#include "picture/FileError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Temporary names differ between the threads of one run; O_EXCL keeps them
// apart from anything else.
std::atomic<unsigned> TemporaryNumber{0};

} // namespace

std::vector<std::string> FolderEntries(int dirFd)
{
    std::vector<std::string> names;
    const int copy = ::dup(dirFd);
    if (copy < 0)
        return names;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    // A duplicate shares the read position of the descriptor it copies.
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

int OpenFolder(int atFd, const std::string& name)
{
    return ::openat(atFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

void RemoveRunFolder(int baseFd, const std::string& name)
{
    const int dir = OpenFolder(baseFd, name);
    if (dir < 0)
        return;
    for (const std::string& entry : FolderEntries(dir))
        ::unlinkat(dir, entry.c_str(), 0);
    ::close(dir);
    ::unlinkat(baseFd, name.c_str(), AT_REMOVEDIR);
}

THistoryFolder::THistoryFolder(std::string base)
    : base_(std::move(base))
{
}

THistoryFolder::~THistoryFolder() { Close(); }

void THistoryFolder::Open()
{
    if (IsOpen())
        return;
    std::error_code error;
    std::filesystem::create_directories(base_, error);
    if (!std::filesystem::is_directory(base_))
        throw TFileError("Cannot create the history folder " + base_ + ": " +
                         (error ? error.message() : std::string("something else stands there")));

    std::string pattern = base_ + "/run-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw TFileError("Cannot create a folder in the history folder " + base_ + ": " + Reason(errno));
    const std::string name = pattern.substr(base_.size() + 1);

    const int baseFd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int dir = baseFd < 0 ? -1 : OpenFolder(baseFd, name);
    const int code = errno;
    if (baseFd >= 0)
        ::close(baseFd);
    if (dir < 0)
        throw TFileError("Cannot open the history folder " + pattern + ": " + Reason(code));
    const int lock = ::openat(dir, LockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        if (lock >= 0)
            ::close(lock);
        ::close(dir);
        throw TFileError("Cannot lock the history folder " + pattern + ": " + Reason(lockError));
    }
    dir_ = dir;
    lock_ = lock;
    runName_ = name;
    path_ = pattern;
}

void THistoryFolder::WriteFile(const std::string& name, const std::function<void(int fd)>& write) const
{
    if (!IsOpen())
        throw TFileError("Cannot write " + name + ": the history folder is not open");
    const std::string shown = path_ + "/" + name;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = ".tmp" + std::to_string(TemporaryNumber++);
        fd = ::openat(dir_, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw TFileError("Cannot write " + shown + ": " + Reason(errno));
    try {
        write(fd);
    } catch (...) {
        ::close(fd);
        ::unlinkat(dir_, temporary.c_str(), 0);
        throw;
    }
    // A state only needs to be whole, not to survive a power cut: no fsync.
    if (::close(fd) != 0 || ::renameat(dir_, temporary.c_str(), dir_, name.c_str()) != 0) {
        const int code = errno;
        ::unlinkat(dir_, temporary.c_str(), 0);
        throw TFileError("Cannot write " + shown + ": " + Reason(code));
    }
}

int THistoryFolder::OpenForReading(const std::string& name) const
{
    const std::string shown = path_ + "/" + name;
    if (!IsOpen())
        throw TFileError("Cannot open " + shown + ": the history folder is not open");
    const int fd = ::openat(dir_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw TFileError("Cannot open " + shown + ": " + Reason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw TFileError("Cannot open " + shown + ": it is not a file");
    }
    return fd;
}

bool THistoryFolder::Exists(const std::string& name) const
{
    struct stat info {};
    return IsOpen() && ::fstatat(dir_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

void THistoryFolder::Remove(const std::string& name) const
{
    if (IsOpen())
        ::unlinkat(dir_, name.c_str(), 0);
}

std::string THistoryFolder::SetAside(const std::string& name) const
{
    struct stat info {};
    // A folder standing there is no file of ours: left for the write to fail on.
    if (!IsOpen() || ::fstatat(dir_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(info.st_mode))
        return {};
    const std::string aside = ".old" + std::to_string(TemporaryNumber++);
    return ::renameat(dir_, name.c_str(), dir_, aside.c_str()) == 0 ? aside : std::string();
}

std::vector<std::string> THistoryFolder::Files() const
{
    std::vector<std::string> names;
    if (!IsOpen())
        return names;
    for (const std::string& name : FolderEntries(dir_)) {
        struct stat info {};
        if (::fstatat(dir_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    return names;
}

void THistoryFolder::Close()
{
    if (dir_ >= 0)
        ::close(dir_);
    if (lock_ >= 0)
        ::close(lock_);
    dir_ = lock_ = -1;
}

void THistoryFolder::RemoveAll()
{
    if (!IsOpen())
        return;
    const int baseFd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // The lock is held until the files are gone, so that no other start
    // takes the folder for an abandoned one meanwhile.
    if (baseFd >= 0) {
        RemoveRunFolder(baseFd, runName_);
        ::close(baseFd);
    }
    Close();
}
