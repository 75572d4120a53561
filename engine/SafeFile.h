#pragma once

#include <functional>
#include <ostream>
#include <string>

// Writes a file so that a file already standing at that path is replaced only
// once the new content is complete and on disk: the content goes to a
// temporary file beside it, which is then renamed over the old one. A full
// disk, a failed write or a crash therefore leaves the old file intact.
// Throws TFileError with a readable message when the file cannot be written.
// With `durable` false the wait for the disk (fsync) is skipped: the old file
// is still replaced only by a complete new one, but a power cut soon after may
// lose both. Only for scratch files that the program can do without.
void WriteFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write,
                     bool durable = true);
