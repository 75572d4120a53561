// libFuzzer target for project files (.p2c): reads the input as a project
// into a document and prepares it for editing as the editor's Open does.
// Anything but a TFileError (a refusal included), a crash or a sanitizer
// report is a finding; a refused file must leave the document as it was.
#include "document/Document.h"
#include "document/P2CFile.h"
#include "fuzz/MemoryFile.h"
#include "picture/FileError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Three small bitmaps and the header; larger inputs only slow the search,
// and small files that claim big pictures reach every limit.
constexpr std::size_t MaxInput = std::size_t(1) << 18;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    TMemoryFile file(data, size);
    if (!file.Ok())
        return 0;
    TDocument document;
    try {
        ReadProjectFile(file.Path(), document);
    } catch (const TFileError&) {
        if (document.SketchLayer.Width() != 0 || document.PictureOpened)
            std::abort(); // a refused file changed the document
        return 0;
    }
    document.InitialiseProject();
    // The composite covers the layers it was built from.
    if (document.ViewBitmap.Width() != document.SketchLayer.Width() ||
        document.ViewBitmap.Height() != document.SketchLayer.Height())
        std::abort();
    return 0;
}
