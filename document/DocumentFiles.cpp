#include "document/DocumentFiles.h"

#include "document/P2CFile.h"
#include "picture/FileError.h"
#include "picture/FileFormats.h"
#include "picture/FileNames.h"

#include <utility>

TDocumentFileKind OpenKindOf(const std::string& path)
{
    if (FileKindOf(path) == TFileKind::Project)
        return TDocumentFileKind::Project;
    // A picture opens by its content, also under a name of no kind.
    if (IsPictureFile(path) || HoldsPicture(path))
        return TDocumentFileKind::Picture;
    return TDocumentFileKind::None;
}

TDocumentFileKind SaveKindOf(const std::string& path)
{
    if (FileKindOf(path) == TFileKind::Project)
        return TDocumentFileKind::Project;
    if (IsWritablePictureFile(path))
        return TDocumentFileKind::Picture;
    return TDocumentFileKind::None;
}

TDocumentFileKind OpenDocumentFile(const std::string& path, TDocument& document, std::string* warning)
{
    if (warning != nullptr)
        warning->clear();
    const TDocumentFileKind kind = OpenKindOf(path);
    if (kind == TDocumentFileKind::Project) {
        ReadProjectFile(path, document);
        document.InitialiseProject();
    } else if (kind == TDocumentFileKind::Picture) {
        // A file that cannot be read throws here, before the document is touched.
        TBitmap picture = ReadPicture(path, warning);
        document.InitialisePhoto(std::move(picture));
    }
    return kind;
}

namespace {

[[noreturn]] void RefuseName(const std::string& path)
{
    // Writing nothing without a word would look like a saved file.
    throw TFileError(path + " was not saved: the name must end in " + ListText(SavedExtensions(), "or") + ".");
}

} // namespace

void SaveDocumentFile(const std::string& path, const TDocument& document, TWriteOptions options)
{
    switch (SaveKindOf(path)) {
    case TDocumentFileKind::Project: WriteProjectFile(path, document); return;
    case TDocumentFileKind::Picture: WritePicture(path, document.ViewBitmap, options); return;
    case TDocumentFileKind::None: break;
    }
    RefuseName(path);
}

void SaveDocumentTo(std::ostream& out, const std::string& path, const TDocument& document, TWriteOptions options)
{
    switch (SaveKindOf(path)) {
    case TDocumentFileKind::Project: WriteProjectTo(out, document); return;
    case TDocumentFileKind::Picture: WritePictureTo(out, path, document.ViewBitmap, options); return;
    case TDocumentFileKind::None: break;
    }
    RefuseName(path);
}
