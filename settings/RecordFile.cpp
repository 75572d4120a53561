#include "RecordFile.h"

#include "FileError.h"
#include "SafeFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::optional<std::size_t> ReadRecordBytes(const std::string& path, void* record, std::size_t size)
{
    // Non-blocking so that a named pipe put in place of a preset cannot hang
    // the program at open; anything but a regular file is then refused.
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;

    // Read into a buffer first, so that a read error half way leaves the
    // record as it was instead of half replaced.
    std::vector<unsigned char> buffer(size);
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd.Get(), buffer.data() + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    if (done > 0)
        std::memcpy(record, buffer.data(), done);
    return done;
}

bool WriteRecordBytes(const std::string& path, const void* record, std::size_t size)
{
    try {
        WriteFileSafely(path, [&](std::ostream& out) {
            out.write(static_cast<const char*>(record), std::streamsize(size));
        });
    } catch (const TFileError&) {
        return false;
    }
    return true;
}
