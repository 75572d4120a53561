#pragma once

#include "document/Document.h"
#include "picture/FileError.h"

#include <ostream>
#include <string>

// Project files (.p2c): a 1024-byte header, then the sketch layer, the
// colouring layer and the photo, each as a complete 24-bit bitmap file. The
// same format holds the states of the undo history.
//
// Header, little-endian: "p2c" and a zero byte; version bytes 0, 1; the
// offset and size of the first two picture blocks (signed 32-bit each); then
// one byte each for BlendingMode, Opacity, SketchVisible, ColorVisible,
// SketchDrawable, ColorDrawable; zeros to the end.
inline constexpr int P2CHeaderSize = 1024;

// Writes SketchLayer, ColorLayer, SourceBitmap and the layer settings.
// Returns 0 when written, -1 when the name is blank (nothing is written).
// A file already there is replaced only once the new one is complete; with
// `durable` false the wait for the disk is skipped (history states).
// Throws TFileError when the file cannot be written.
int WriteProjectFile(const std::string& fileName, const TDocument& document, bool durable = true);
// The same content into a stream, for a caller that stages several files.
void WriteProjectTo(std::ostream& out, const TDocument& document);

// A file that does not start with the project magic: no project at all, as
// against a damaged one. The editor says so and then that the open failed.
class TNotAProject : public TFileError {
public:
    using TFileError::TFileError;
};

// Reads a project into SketchLayer, ColorLayer, SourceBitmap and the layer
// settings; ViewBitmap, the work copies and everything else are left to the
// caller. Throws TNotAProject when the file does not start with the project
// magic, and TFileError when the name is blank or the file cannot be read, is
// truncated or damaged, or its two layers differ in size. After an error the
// document is exactly as it was.
void ReadProjectFile(const std::string& fileName, TDocument& document);
