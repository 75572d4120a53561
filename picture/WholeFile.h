#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A regular file open for reading, closed again when this goes. Opened
// without blocking, so that a named pipe cannot hang the open; anything but a
// regular file (a pipe, a device, a folder) is refused before a byte is read.
// Errors throw TFileError naming the file.
class TRegularFile {
public:
    explicit TRegularFile(const std::string& path);
    ~TRegularFile();
    TRegularFile(const TRegularFile&) = delete;
    TRegularFile& operator=(const TRegularFile&) = delete;

    int Descriptor() const { return fd_; }
    std::uint64_t Size() const { return size_; }

private:
    int fd_;
    std::uint64_t size_ = 0;
};

// The bytes of a regular file, for the decoders that take a picture from
// memory. At most `limit` bytes are read: a longer file is refused as too
// large, a shorter `limit` with `partial` set just returns the start (for
// telling a file's kind by its first bytes). A named pipe or a device is
// refused without blocking. Errors throw TFileError naming the file.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t limit, bool partial = false);

// The most a picture file of the newer formats may hold (a 2^28-pixel
// picture stored without compression at 16 bits a sample, with room).
constexpr std::size_t PictureFileLimit = std::size_t(2) << 30;
