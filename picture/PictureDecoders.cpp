#include "picture/PictureDecoders.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "picture/FileFormats.h"
#include "picture/HeifFile.h"
#include "picture/JpegFile.h"
#include "picture/PngFile.h"
#include "picture/TiffFile.h"
#include "picture/WebPFile.h"

#include <sstream>

TBitmap DecodePicture(TPictureKind kind, const std::uint8_t* data, std::size_t size, const std::string& name)
{
    switch (kind) {
    case TPictureKind::Jpeg: return DecodeJpeg(data, size, name);
    case TPictureKind::Bitmap: {
        std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
        return ReadBmp(in, name);
    }
    case TPictureKind::Png: return DecodePng(data, size, name);
    case TPictureKind::WebP: return DecodeWebP(data, size, name);
    case TPictureKind::Tiff: return DecodeTiff(data, size, name);
    case TPictureKind::Heif: return DecodeHeif(data, size, name);
    case TPictureKind::Unknown: break;
    }
    throw TFileError(NotAPictureText(name));
}
