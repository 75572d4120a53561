#include "picture/SafeFile.h"

#include "picture/FileError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Refuse(const std::string& path, const std::string& why)
{
    throw TFileError("Cannot write " + path + ": " + why);
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string FolderOf(const std::string& path)
{
    const std::string dir = fs::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

std::string TempPrefix(const std::string& target)
{
    // Appended piece by piece: GCC 12 warns wrongly about "." + string.
    std::string prefix(1, '.');
    prefix += fs::path(target).filename().string();
    prefix += ".lumenquilla-";
    return prefix;
}

// Temporary files of `target` left by runs that were killed: their process
// is gone. Another running program's file is left alone.
void RemoveStaleTemporaries(const std::string& target)
{
    const std::string folder = FolderOf(target);
    const std::string prefix = TempPrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // PID-XXXXXX
        const std::string rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == std::string::npos || dash == 0 || rest.size() - dash - 1 != 6)
            continue;
        pid_t pid = 0;
        bool digits = true;
        for (std::size_t i = 0; i < dash; ++i) {
            if (rest[i] < '0' || rest[i] > '9' || i >= 9) {
                digits = false;
                break;
            }
            pid = pid * 10 + (rest[i] - '0');
        }
        if (!digits || pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const std::string stale = folder + "/" + name;
        struct stat info {};
        // Only our own kind of leftover: a plain file, never through a link.
        if (::lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlink(stale.c_str());
    }
    ::closedir(dir);
}

std::mutex JournalMutex;
std::string JournalFolder;
std::atomic<unsigned> NoteNumber{0};

// Notes the target of a write that is about to begin; the note's path, or
// empty when there is no journal or the note cannot be written (the write
// goes on without one).
std::string NoteWrite(const std::string& target)
{
    std::string folder;
    {
        std::lock_guard lock(JournalMutex);
        folder = JournalFolder;
    }
    if (folder.empty())
        return {};
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    const std::string note = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(NoteNumber++);
    const int fd = ::open(note.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return {};
    const bool whole = ::write(fd, target.data(), target.size()) == ssize_t(target.size());
    ::close(fd);
    if (!whole) {
        ::unlink(note.c_str());
        return {};
    }
    return note;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // some file systems cannot sync a folder: nothing more to do then
    ::close(fd);
}

} // namespace

void SetWriteJournal(const std::string& folder)
{
    std::lock_guard lock(JournalMutex);
    JournalFolder = folder;
}

void RemoveLeftoverWrites(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::string> notes;
    while (const dirent* entry = ::readdir(dir))
        notes.push_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : notes) {
        // PID-NUMBER, of a program that no longer runs.
        const std::size_t dash = name.find('-');
        if (dash == std::string::npos || dash == 0 || dash > 9 || name.find_first_not_of("0123456789") != dash)
            continue;
        const pid_t pid = pid_t(std::stol(name.substr(0, dash)));
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const std::string note = folder + "/" + name;
        struct stat info {};
        if (::lstat(note.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > 65536)
            continue;
        std::ifstream in(note, std::ios::binary);
        const std::string target((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!target.empty())
            RemoveStaleTemporaries(target);
        ::unlink(note.c_str());
    }
}

std::string FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::vector<char> buffer(std::size_t(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0 || std::size_t(n) >= buffer.size())
            return current; // changed under us: let the write report it
        const fs::path link(std::string(buffer.data(), std::size_t(n)));
        current = link.is_absolute() ? link.string() : (fs::path(current).parent_path() / link).string();
    }
    Refuse(path, Reason(ELOOP));
}

TStagedFile::TStagedFile(const std::string& path, bool durable)
    : path_(path)
    , durable_(durable)
{
    target_ = FollowLinks(path);
    struct stat info {};
    if (::stat(target_.c_str(), &info) == 0) {
        if (S_ISCHR(info.st_mode))
            device_ = true;
        else if (S_ISDIR(info.st_mode))
            Refuse(path, "it is a folder");
        else if (!S_ISREG(info.st_mode))
            Refuse(path, "it is not a regular file");
    }
}

TStagedFile::~TStagedFile() { Discard(); }

void TStagedFile::Discard() noexcept
{
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    if (!note_.empty())
        ::unlink(note_.c_str());
    note_.clear();
}

void TStagedFile::Write(const std::function<void(std::ostream&)>& write)
{
    Discard();
    written_ = false;
    if (device_) {
        // Written as it stands; nothing can be replaced here.
        std::ofstream out(target_, std::ios::binary);
        if (!out)
            Refuse(path_, Reason(errno));
        write(out);
        out.flush();
        if (!out)
            Refuse(path_, "the data could not be written");
        written_ = true;
        return;
    }

    RemoveStaleTemporaries(target_);
    // Noted before the temporary file exists, so that a kill at any moment
    // after leaves nothing unnoted.
    note_ = NoteWrite(target_);
    std::string pattern = FolderOf(target_) + "/" + TempPrefix(target_) + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        Refuse(path_, Reason(errno));
    temp_ = temp.data();

    struct stat old {};
    const mode_t mode = ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    ::fchmod(fd, mode);

    std::string problem;
    try {
        std::ofstream out(temp_, std::ios::binary | std::ios::trunc);
        if (!out) {
            problem = Reason(errno);
        } else {
            errno = 0;
            write(out);
            out.flush();
            if (!out)
                problem = errno == ENOSPC || errno == EFBIG || errno == EDQUOT
                              ? "the disk is full (" + Reason(errno) + ")"
                              : std::string("the data could not be written (is the disk full?)");
        }
    } catch (...) {
        ::close(fd);
        Discard();
        throw;
    }
    if (problem.empty() && durable_ && ::fsync(fd) != 0)
        problem = Reason(errno);
    ::close(fd);
    if (!problem.empty()) {
        Discard();
        Refuse(path_, problem);
    }
    written_ = true;
}

void TStagedFile::Commit()
{
    if (!written_)
        Refuse(path_, "nothing was written");
    if (device_)
        return;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int code = errno;
        Discard();
        Refuse(path_, Reason(code));
    }
    temp_.clear();
    if (durable_)
        SyncFolder(FolderOf(target_));
    Discard();
}

void WriteFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write, bool durable)
{
    TStagedFile file(path, durable);
    file.Write(write);
    file.Commit();
}
