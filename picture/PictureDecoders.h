#pragma once

#include "picture/Bitmap.h"
#include "picture/PictureKind.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes a whole picture file held in memory by its kind (see
// PictureKindOf). A damaged JPEG is refused here (there is no one to warn).
// Errors, also for TPictureKind::Unknown, throw TFileError naming `name`.
TBitmap DecodePicture(TPictureKind kind, const std::uint8_t* data, std::size_t size, const std::string& name);
