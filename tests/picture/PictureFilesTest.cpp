#include "picture/PictureFiles.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "picture/JpegFile.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TempFolder.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureFilesTest, PicturesAreNamedByTheirKindsAndWrittenOnlyInSome)
{
    const struct {
        const char* Name;
        bool Picture;
        bool Written;
    } cases[] = {
        {"a.jpg", true, true},    {"a.JPEG", true, true},   {"a.Bmp", true, true},  {"dir.bmp/a.jpg", true, true},
        {"a.png", true, true},    {"a.WebP", true, true},   {"a.tif", true, false}, {"a.heic", true, false},
        {"a.avif", true, false},  {"a.p2c", false, false},  {"a", false, false},    {"a.jpg/b", false, false},
        {"a.jpg.", false, false}, {"a.jpgx", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPictureFile(c.Name), c.Picture) << c.Name;
        EXPECT_EQ(IsWritablePictureFile(c.Name), c.Written) << c.Name;
    }
}

// The kind written comes from the name, so a file keeps the same meaning in
// the editor and the renderer; it is read back by its content.
TEST(PictureFilesTest, WritesEachKindByItsExtensionAndReadsItBack)
{
    TTempFolder folder;
    const TBitmap picture = PatternPicture(13, 9, 5);

    WritePicture(folder.File("p.BMP"), picture);
    std::string warning;
    EXPECT_SAME_PICTURE(ReadPicture(folder.File("p.BMP"), &warning), picture);
    EXPECT_SAME_PICTURE(ReadBmpFile(folder.File("p.BMP")), picture);

    WritePicture(folder.File("p.jpeg"), picture);
    WriteJpegFile(folder.File("reference.jpg"), picture, 90);
    EXPECT_EQ(FileBytes(folder.File("p.jpeg")), FileBytes(folder.File("reference.jpg")));
    EXPECT_SAME_PICTURE(ReadPicture(folder.File("p.jpeg"), &warning), ReadJpegFile(folder.File("reference.jpg")));
    EXPECT_EQ(warning, "");

    // Lossless kinds give the picture back; lossy WebP comes close.
    for (const char* name : {"p.png", "lossless.webp"}) {
        WritePicture(folder.File(name), picture, {true});
        EXPECT_SAME_PICTURE(ReadPicture(folder.File(name), &warning), picture) << name;
    }
    WritePicture(folder.File("lossy.webp"), picture);
    EXPECT_NE(FileBytes(folder.File("lossy.webp")), FileBytes(folder.File("lossless.webp")));
    EXPECT_EQ(ReadPicture(folder.File("lossy.webp"), &warning).Width(), 13);

    // A project, a kind only read or an unknown name is not written.
    for (const char* name : {"p.p2c", "p.tif", "p.txt"}) {
        EXPECT_THROW(WritePicture(folder.File(name), picture), TFileError) << name;
        EXPECT_FALSE(std::filesystem::exists(folder.File(name))) << name;
    }
}

// The content decides how a picture is read, whatever the name says; a name
// that promises a picture over other content gets its reader's own message.
TEST(PictureFilesTest, ThePictureIsReadByItsContentNotItsName)
{
    TTempFolder folder;
    const TBitmap picture = PatternPicture(7, 5, 3);
    WritePicture(folder.File("real.png"), picture);
    WritePicture(folder.File("real.bmp"), picture);
    std::string warning;
    for (const char* name : {"photo.jpg", "photo.bmp", "photo.webp", "photo"}) {
        PutFileBytes(folder.File(name), FileBytes(folder.File("real.png")));
        EXPECT_TRUE(HoldsPicture(folder.File(name))) << name;
        EXPECT_SAME_PICTURE(ReadPicture(folder.File(name), &warning), picture) << name;
    }
    PutFileBytes(folder.File("bitmap.png"), FileBytes(folder.File("real.bmp")));
    EXPECT_SAME_PICTURE(ReadPicture(folder.File("bitmap.png"), &warning), picture);

    const struct {
        const char* Name;
        const char* Message;
    } refused[] = {
        {"text.jpg", "Not a JPEG file"},
        {"text.png", "text.png"},
        {"text.txt", "is not a picture this program can read"},
    };
    for (const auto& c : refused) {
        PutFileBytes(folder.File(c.Name), "plain text, no picture at all");
        EXPECT_FALSE(HoldsPicture(folder.File(c.Name))) << c.Name;
        try {
            ReadPicture(folder.File(c.Name), &warning);
            ADD_FAILURE() << c.Name << " was read";
        } catch (const TFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(HoldsPicture(folder.File("missing.png")));
}

} // namespace
