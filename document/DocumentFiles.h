#pragma once

#include "document/Document.h"
#include "picture/PictureFiles.h"

#include <ostream>
#include <string>

// Whether a file is opened and saved as a project or as a picture, decided
// in one place for the editor and the renderer, so that a file means the same
// in both: a name of the project's extension is a project; a picture opens by
// its name or its content and is saved by its name.

enum class TDocumentFileKind { None, Picture, Project };

// How a file opens: a project by its name, otherwise a picture when its name
// or its first bytes say so; None for anything else.
TDocumentFileKind OpenKindOf(const std::string& path);
// What a document is saved as under a name: a project, a picture of a kind
// written, or None.
TDocumentFileKind SaveKindOf(const std::string& path);

// Opens a file into the document as OpenKindOf says, ready to be shown: a
// picture as a new photo with white sketch layer, a project with its layers
// and composite. Returns what it was opened as; None leaves the document as
// it was. A damaged JPEG that still decodes sets *warning (it must be shown).
// Errors throw TFileError (TNotAProject for a project's name on another
// file) and leave the document as it was.
TDocumentFileKind OpenDocumentFile(const std::string& path, TDocument& document, std::string* warning);

// Saves the document as SaveKindOf says: a project, or the composite
// ViewBitmap as a picture, the old file replaced only by a complete new one.
// A name of no kind saved throws TFileError naming the extensions that are,
// and writes nothing; so do other errors.
void SaveDocumentFile(const std::string& path, const TDocument& document, TWriteOptions options = {});
// The same content into a stream, for a caller that stages several files.
void SaveDocumentTo(std::ostream& out, const std::string& path, const TDocument& document, TWriteOptions options = {});
