#include "document/DocumentFiles.h"

#include "document/P2CFile.h"
#include "picture/FileError.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TempFolder.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

// Layers that differ from the photo and from each other, so that the
// composite is neither.
TDocument Sample()
{
    TDocument document;
    document.SourceBitmap = PatternPicture(5, 3, 201);
    document.SketchLayer = PatternPicture(5, 3, 11);
    document.ColorLayer = PatternPicture(5, 3, 101);
    document.LayerState.Opacity = 37;
    document.RebuildAll();
    return document;
}

// A project by its name; a picture by its name or content; the document
// changes only when something opened, and then as the editor shows it.
TEST(DocumentFiles, AFileOpensAsItsNameOrContentSays)
{
    TTempFolder folder;
    const TBitmap photo = PatternPicture(4, 2, 7);
    WritePicture(folder.File("photo.png"), photo);
    const std::string png = FileBytes(folder.File("photo.png"));
    const TDocument project = Sample();
    WriteProjectFile(folder.File("scene.P2C"), project);
    const struct {
        const char* Name;
        std::string Bytes;
        TDocumentFileKind Kind;
        const char* Error; // in the message, where the open fails
    } cases[] = {
        {"photo.png", png, TDocumentFileKind::Picture, nullptr},
        {"photo.txt", png, TDocumentFileKind::Picture, nullptr},
        {"scene.P2C", FileBytes(folder.File("scene.P2C")), TDocumentFileKind::Project, nullptr},
        {"notes.txt", "just some notes", TDocumentFileKind::None, nullptr},
        {"fake.png", "just some notes", TDocumentFileKind::Picture, "fake.png"},
        {"photo.p2c", png, TDocumentFileKind::Project, "photo.p2c is not a valid .p2c file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.File(c.Name);
        PutFileBytes(path, c.Bytes);
        EXPECT_EQ(OpenKindOf(path), c.Kind);
        TDocument document;
        document.InitialisePhoto(PatternPicture(2, 2, 9));
        const TDocument before = document;
        std::string warning = "left from before";
        try {
            EXPECT_EQ(OpenDocumentFile(path, document, &warning), c.Kind);
            EXPECT_EQ(c.Error, nullptr);
            EXPECT_EQ(warning, "");
        } catch (const TFileError& e) {
            ASSERT_NE(c.Error, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(folder.File(c.Error)), std::string::npos) << e.what();
            // Only a project's name over other content is no project at all.
            EXPECT_EQ(dynamic_cast<const TNotAProject*>(&e) != nullptr, c.Kind == TDocumentFileKind::Project);
        }
        const TDocument* expected = c.Error || c.Kind == TDocumentFileKind::None ? &before : &project;
        if (c.Kind == TDocumentFileKind::Picture && !c.Error) {
            // A photo opens under a white sketch layer: the composite is the photo.
            EXPECT_SAME_PICTURE(document.SourceBitmap, photo);
            EXPECT_SAME_PICTURE(document.ViewBitmap, photo);
            continue;
        }
        EXPECT_SAME_PICTURE(document.SourceBitmap, expected->SourceBitmap);
        EXPECT_SAME_PICTURE(document.ViewBitmap, expected->ViewBitmap);
        EXPECT_EQ(document.LayerState, expected->LayerState);
    }
}

// Saved under a name is what the picture or the project writer makes, into a
// file or a stream alike; a name of no kind written is refused, naming the
// extensions that are, and nothing is written.
TEST(DocumentFiles, ADocumentIsSavedAsItsNameSays)
{
    TTempFolder folder;
    const TDocument document = Sample();
    WritePicture(folder.File("reference.jpg"), document.ViewBitmap);
    WriteProjectFile(folder.File("reference.p2c"), document);
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"out.JPEG", FileBytes(folder.File("reference.jpg"))},
        {"out.p2c", FileBytes(folder.File("reference.p2c"))},
        {"out.tif", ""},
        {"out", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.File(c.Name);
        std::ostringstream stream;
        try {
            SaveDocumentFile(path, document);
            SaveDocumentTo(stream, path, document);
            ASSERT_NE(c.Bytes, "") << "saved";
            EXPECT_EQ(FileBytes(path), c.Bytes);
            EXPECT_EQ(stream.str(), c.Bytes);
        } catch (const TFileError& e) {
            EXPECT_EQ(SaveKindOf(path), TDocumentFileKind::None);
            EXPECT_EQ(std::string(e.what()),
                      path + " was not saved: the name must end in .bmp, .jpg, .jpeg, .png, .webp or .p2c.");
            EXPECT_FALSE(std::filesystem::exists(path));
        }
    }
}

} // namespace
