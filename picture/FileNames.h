#pragma once

#include "picture/FileFormats.h"

#include <string>

// The rules that tie file names to file kinds when pictures and projects are
// opened and saved. Extensions are compared in upper case; a file's extension
// runs from the last dot of its name (not of a folder's) to the end,
// including the dot, and is empty when the name has no dot.

std::string FileNameOnly(const std::string& path);
std::string ExtensionOf(const std::string& path);
std::string UpperExtension(const std::string& path);

// The row of FileFormats whose extensions hold the name's, in any case, or
// null. A picture is opened by its content, whatever its name says (see
// ReadPicture); the name decides what a file is saved as.
const TFileFormat* FormatOfName(const std::string& path);
// That row's kind, or None.
TFileKind FileKindOf(const std::string& path);

// The name the save dialog proposes for a document opened from `openedPath`,
// without a folder, and the filter it preselects: a project keeps its name
// with the project filter; a photo is proposed as a bitmap named after it
// with "_cartoon" in place of its extension (beach.jpg gives beach_cartoon).
struct TSaveProposal {
    std::string Name;
    int FilterIndex = SaveFilterBitmap;
    friend bool operator==(const TSaveProposal&, const TSaveProposal&) = default;
};
TSaveProposal ProposeSaveName(const std::string& openedPath);

// A chosen name without an extension gets the filter's first, in upper case
// (".BMP", ".JPG", ".WEBP" for both WebP filters); a name with one, or an
// unknown filter, is left as it is.
std::string WithSaveExtension(const std::string& path, int filterIndex);
