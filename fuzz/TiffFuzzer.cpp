// libFuzzer target for the Tiff reader (see PictureFuzzer.h).
#include "fuzz/PictureFuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPicture(TPictureKind::Tiff, data, size);
}
