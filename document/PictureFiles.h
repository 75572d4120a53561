#pragma once

#include "Bitmap.h"

#include <ostream>
#include <string>

// Pictures read and written by their file kind (see FileKindOf): a JPEG or a
// Windows bitmap. The editor's Open and Save and the renderer both come here,
// so a file means the same in both.

// True for the kinds that hold a picture (not a project, not nothing).
bool IsPictureFile(const std::string& path);

// Reads a picture. A damaged JPEG that still decodes comes back with
// *warning set (it must be shown); errors throw TFileError.
TBitmap ReadPicture(const std::string& path, std::string* warning);

// Writes a baseline JPEG of quality 90 or a 24-bit bitmap; an existing file is
// replaced only by a complete new one. Errors throw TFileError.
void WritePicture(const std::string& path, const TBitmap& picture);

// The same content into a stream, the kind taken from `path`; for a caller
// that stages several files before any replaces its old one.
void WritePictureTo(std::ostream& out, const std::string& path, const TBitmap& picture);

// Why a file could not be created at `path` (its folder is missing, not a
// folder or not writable), or an empty text when it probably can. Checked
// before a long computation, so that a typo does not cost the whole render.
std::string CannotCreateReason(const std::string& path);
