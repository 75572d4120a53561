#include "SafeFile.h"

#include "FileError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return std::strerror(error); }

// The mode a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void WriteFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write, bool durable)
{
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::error_code error;
    fs::path target = fs::is_symlink(path, error) ? fs::weakly_canonical(path, error) : fs::path(path);
    if (target.empty())
        target = path;

    fs::path dir = target.parent_path();
    std::string pattern = (dir.empty() ? fs::path(".") : dir).string() + "/." + target.filename().string() + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw TFileError("Cannot write " + path + ": " + Reason(errno));
    std::string tempPath = temp.data();

    struct stat old {};
    mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    ::fchmod(fd, mode);

    std::string problem;
    try {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        if (!out) {
            problem = Reason(errno);
        } else {
            write(out);
            out.flush();
            if (!out)
                problem = "the data could not be written (is the disk full?)";
        }
    } catch (...) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        throw;
    }
    if (problem.empty() && durable && ::fsync(fd) != 0)
        problem = Reason(errno);
    ::close(fd);
    if (!problem.empty()) {
        ::unlink(tempPath.c_str());
        throw TFileError("Cannot write " + path + ": " + problem);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        int code = errno;
        ::unlink(tempPath.c_str());
        throw TFileError("Cannot write " + path + ": " + Reason(code));
    }
}
