// libFuzzer target for the WebP reader (see PictureFuzzer.h).
#include "fuzz/PictureFuzzer.h"

#include <webp/decode.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A few bytes can describe a legitimate 16383 x 16383 picture (a
    // lossless one of a single colour needs no bits a pixel), which takes
    // seconds to decode: such claims only slow the search, the size checks
    // they meet are the same as for small ones.
    int width = 0, height = 0;
    if (WebPGetInfo(data, size, &width, &height) && std::int64_t(width) * height > (std::int64_t(1) << 22))
        return 0;
    return FuzzPicture(TPictureKind::WebP, data, size);
}
