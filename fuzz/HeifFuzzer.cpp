// libFuzzer target for the HEIC and AVIF reader (see PictureFuzzer.h).
#include "PictureFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPicture(TPictureKind::Heif, data, size);
}
