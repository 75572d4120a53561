#pragma once

#include "Bitmap.h"

#include <string>

// Picture files by extension, in any letter case: .jpg and .jpeg are JPEG,
// .bmp a Windows bitmap; nothing else is a picture here.
enum class TPictureType { Unknown, Jpeg, Bmp };

TPictureType PictureTypeOf(const std::string& path);

// Reads a picture of a known type. A damaged JPEG that still decodes comes
// back with *warning set (it must be shown); errors throw TFileError.
TBitmap ReadPicture(const std::string& path, std::string* warning);

// Writes a baseline JPEG of quality 90 or a 24-bit bitmap; an existing file is
// replaced only by a complete new one. Errors throw TFileError.
void WritePicture(const std::string& path, const TBitmap& picture);

// Why a file could not be created at `path` (its folder is missing, not a
// folder or not writable), or an empty text when it probably can. Checked
// before a long computation, so that a typo does not cost the whole render.
std::string CannotCreateReason(const std::string& path);
