#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Raw record files: settings, colours tables and options are stored as the
// bare bytes of a packed record, with no header. These two helpers hold the
// rules all of them share.

// Reads at most `size` bytes of the file at the start of `record`; bytes past
// the end of a shorter file are left as they were. Returns the number of bytes
// read, or nothing when the file does not exist, is not a regular file or
// cannot be read (then `record` is untouched).
std::optional<std::size_t> ReadRecordBytes(const std::string& path, void* record, std::size_t size);

// Writes exactly `size` bytes through WriteFileSafely. Returns false, without
// an exception, when the file cannot be created or written; an existing file
// is then left as it was.
bool WriteRecordBytes(const std::string& path, const void* record, std::size_t size);
