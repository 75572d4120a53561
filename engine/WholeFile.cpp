#include "WholeFile.h"

#include "FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t limit, bool partial)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw TFileError("Cannot open " + path + ": " + std::strerror(errno));
    struct TClose {
        int fd;
        ~TClose() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw TFileError("Cannot read " + path + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        throw TFileError("Cannot open " + path + ": it is not a regular file");
    if (!partial && std::uint64_t(info.st_size) > limit)
        throw TFileError(path + " is too large to be a picture (" + std::to_string(info.st_size >> 20) + " MiB)");
    std::vector<std::uint8_t> bytes(std::min<std::uint64_t>(std::uint64_t(info.st_size), limit));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
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
