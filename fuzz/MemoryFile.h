#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

// The fuzz input as a file that exists only in memory, for readers that take
// a path: the input reaches them exactly as a file on disk would.
class TMemoryFile {
public:
    TMemoryFile(const std::uint8_t* data, std::size_t size)
    {
        fd_ = ::memfd_create("fuzz-input", MFD_CLOEXEC);
        if (fd_ < 0)
            return;
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, size - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
    }
    ~TMemoryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    bool Ok() const { return fd_ >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_ = -1;
};
