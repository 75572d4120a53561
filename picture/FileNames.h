#pragma once

#include <string>

// The rules that tie file names to file kinds when pictures and projects are
// opened and saved. Extensions are compared in upper case; a file's extension
// runs from the last dot of its name (not of a folder's) to the end,
// including the dot, and is empty when the name has no dot.

enum class TFileKind { None, Jpeg, Bitmap, Png, WebP, Tiff, Heif, Project };

std::string FileNameOnly(const std::string& path);
std::string ExtensionOf(const std::string& path);
std::string UpperExtension(const std::string& path);

// What a file is saved as, and what the open dialog lists it as: ".JPG" and
// ".JPEG" a JPEG picture, ".BMP" a Windows bitmap, ".PNG", ".WEBP", ".TIF"
// and ".TIFF", ".HEIC", ".HEIF" and ".AVIF" those pictures, ".P2C" a project;
// any other extension nothing. A picture is opened by its content, whatever
// its name says (see ReadPicture).
TFileKind FileKindOf(const std::string& path);

// The save dialog's filters, in the order it lists them (1-based).
inline constexpr int SaveFilterBitmap = 1;
inline constexpr int SaveFilterJpeg = 2;
inline constexpr int SaveFilterPng = 3;
inline constexpr int SaveFilterWebP = 4;
inline constexpr int SaveFilterWebPLossless = 5;
inline constexpr int SaveFilterProject = 6;

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

// A chosen name without an extension gets the filter's: ".BMP", ".JPG",
// ".PNG", ".WEBP" (both WebP filters) or ".P2C"; a name with one, or an
// unknown filter, is left as it is.
std::string WithSaveExtension(const std::string& path, int filterIndex);
