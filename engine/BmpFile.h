#pragma once

#include "Bitmap.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

// Windows bitmap files. The writer produces the 24-bit variant only: 14-byte
// file header, 40-byte information header, positive height, no colour table,
// bottom-up rows padded to four bytes.

// Size in bytes of the file the writer produces for a picture of this size.
std::int64_t BmpFileSize(int width, int height);

void WriteBmp(std::ostream& out, const TBitmap& picture);
void WriteBmpFile(const std::string& path, const TBitmap& picture);

// Reads one bitmap file starting at the stream's position and leaves the
// position just after that file's bytes (a project file holds several back to
// back). `name` names the file in error messages. Throws TFileError for
// anything that is not a readable bitmap.
TBitmap ReadBmp(std::istream& in, const std::string& name);
TBitmap ReadBmpFile(const std::string& path);
