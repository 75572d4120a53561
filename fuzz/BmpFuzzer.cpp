// libFuzzer target for the bitmap reader: reads the input as a stream and
// checks that what was read survives the writer and the reader unchanged.
// Anything but a TFileError, a crash or a sanitizer report is a finding.
#include "picture/BmpFile.h"
#include "picture/FileError.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// Larger inputs only slow the search; small files that claim big pictures
// reach every limit.
constexpr std::size_t MaxInput = std::size_t(1) << 20;
constexpr std::int64_t MaxRewritten = std::int64_t(1) << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    TBitmap picture;
    try {
        picture = ReadBmp(in, "fuzz input");
    } catch (const TFileError&) {
        return 0;
    }
    if (std::int64_t(picture.Width()) * picture.Height() > MaxRewritten)
        return 0;
    std::stringstream copy;
    WriteBmp(copy, picture);
    if (!(ReadBmp(copy, "rewritten picture") == picture)) {
        std::fprintf(stderr, "a picture read from the input changed when written and read again\n");
        std::abort();
    }
    return 0;
}
