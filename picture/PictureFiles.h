#pragma once

#include "picture/Bitmap.h"

#include <ostream>
#include <string>

// Pictures read by their content and written by their name (see
// FileKindOf). The editor's Open and Save and the renderer both come here,
// so a file means the same in both.

// True when the name's extension is one of a picture kind (not a project,
// not nothing), readable or writable.
bool IsPictureFile(const std::string& path);
// True for the picture kinds written (see FileFormats).
bool IsWritablePictureFile(const std::string& path);
// True when the file's first bytes are those of a picture this program
// reads, whatever its name; false for a file that cannot be read.
bool HoldsPicture(const std::string& path);

// Reads a picture of any kind FileFormats lists as read, told by the file's
// first bytes, so that a name that lies does not matter. A damaged JPEG that
// still decodes comes back with *warning set (it must be shown); errors
// throw TFileError.
TBitmap ReadPicture(const std::string& path, std::string* warning);

// A picture for a preview of at most `side` pixels a side, and in *width and
// *height the size of the whole picture: a HEIC or AVIF file's own
// thumbnail where it has one large enough, otherwise the whole picture, as
// ReadPicture reads it (a damaged JPEG included). Errors throw TFileError.
TBitmap ReadPictureForPreview(const std::string& path, int side, int* width, int* height);

// How a WebP is written: lossy at quality 90, or lossless on request.
struct TWriteOptions {
    bool Lossless = false;
};

// Writes a baseline JPEG of quality 90, a 24-bit bitmap, an 8-bit RGB PNG or
// a WebP, by the name's extension; an existing file is replaced only by a
// complete new one. Errors throw TFileError.
void WritePicture(const std::string& path, const TBitmap& picture, TWriteOptions options = {});

// The same content into a stream, the kind taken from `path`; for a caller
// that stages several files before any replaces its old one.
void WritePictureTo(std::ostream& out, const std::string& path, const TBitmap& picture, TWriteOptions options = {});

// Why a file could not be created at `path` (its folder is missing, not a
// folder or not writable), or an empty text when it probably can. Checked
// before a long computation, so that a typo does not cost the whole render.
std::string CannotCreateReason(const std::string& path);
