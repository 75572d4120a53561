#include "picture/WholeFile.h"

#include "picture/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TRegularFile::TRegularFile(const std::string& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
{
    if (fd_ < 0)
        throw TFileError("Cannot open " + path + ": " + std::strerror(errno));
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::string reason = S_ISREG(info.st_mode) ? "Cannot read " + path + ": " + std::strerror(errno)
                                                         : "Cannot open " + path + ": it is not a regular file";
        ::close(fd_);
        throw TFileError(reason);
    }
    size_ = std::uint64_t(info.st_size);
}

TRegularFile::~TRegularFile() { ::close(fd_); }

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t limit, bool partial)
{
    const TRegularFile file(path);
    if (!partial && file.Size() > limit)
        throw TFileError(path + " is too large to be a picture (" + std::to_string(file.Size() >> 20) + " MiB)");
    std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(file.Size(), limit));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.Descriptor(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw TFileError("Cannot read " + path + ": " + std::strerror(errno));
        if (got == 0)
            break; // the file shrank meanwhile
        done += std::size_t(got);
    }
    bytes.resize(done);
    return bytes;
}
