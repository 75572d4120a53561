// libFuzzer target for the WebP reader (see PictureFuzzer.h).
#include "PictureFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPicture(TPictureKind::WebP, data, size);
}
