#include "settings/RecordFile.h"

#include "picture/FileError.h"
#include "picture/SafeFile.h"
#include "picture/WholeFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

std::optional<std::size_t> ReadRecordBytes(const std::string& path, void* record, std::size_t size)
{
    // Read aside first, so that a read error half way leaves the record as it
    // was instead of half replaced; a pipe or device is refused unread.
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path, size, true);
    } catch (const TFileError&) {
        return std::nullopt;
    }
    if (!bytes.empty())
        std::memcpy(record, bytes.data(), bytes.size());
    return bytes.size();
}

bool WriteRecordBytes(const std::string& path, const void* record, std::size_t size)
{
    try {
        WriteFileSafely(path,
                        [&](std::ostream& out) { out.write(static_cast<const char*>(record), std::streamsize(size)); });
    } catch (const TFileError&) {
        return false;
    }
    return true;
}
