#pragma once

#include <functional>
#include <ostream>
#include <string>

// Writes a file so that a file already standing at that path is replaced only
// once the new content is complete and on disk: the content goes to a
// temporary file beside it, which is then renamed over the old one. A full
// disk, a failed write or a crash therefore leaves the old file intact.
// Throws TFileError with a readable message when the file cannot be written.
void WriteFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);
