// libFuzzer target for the HEIC and AVIF reader (see PictureFuzzer.h), and
// for its preview, which decodes a stored thumbnail instead.
#include "fuzz/PictureFuzzer.h"
#include "picture/HeifFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    try {
        DecodeHeifPreview(data, size, "fuzz input", 64);
    } catch (const TFileError&) {
    }
    return FuzzPicture(TPictureKind::Heif, data, size);
}
