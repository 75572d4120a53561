// libFuzzer target for the JPEG reader: decodes the input and writes what it
// read back out. Anything but a TFileError, a crash or a sanitizer report is
// a finding.
#include "picture/FileError.h"
#include "picture/JpegFile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

// Larger inputs only slow the search; small files that claim big pictures
// reach every limit.
constexpr std::size_t MaxInput = std::size_t(1) << 20;
constexpr std::int64_t MaxRewritten = std::int64_t(1) << 18;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    TBitmap picture;
    std::string warning;
    try {
        picture = DecodeJpeg(data, size, "fuzz input", &warning);
    } catch (const TFileError&) {
        return 0;
    }
    // Whatever was read can be written (small pictures only, to keep the pace).
    if (std::int64_t(picture.Width()) * picture.Height() <= MaxRewritten) {
        std::ostringstream out;
        WriteJpeg(out, picture);
    }
    return 0;
}
