#include "PictureFiles.h"

#include "BmpFile.h"
#include "FileError.h"
#include "JpegFile.h"
#include "TestFolder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureFilesTest, OnlyJpegsAndBitmapsArePicturesInAnyLetterCase)
{
    const struct {
        const char* Name;
        bool Picture;
    } cases[] = {
        {"a.jpg", true},  {"a.JPEG", true},  {"a.Bmp", true}, {"dir.bmp/a.jpg", true},
        {"a.p2c", false}, {"a.png", false},  {"a", false},    {"a.jpg/b", false},
        {"a.jpg.", false}, {"a.jpgx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPictureFile(c.Name), c.Picture) << c.Name;
}

// The kind comes from the name, so a file keeps the same meaning in the
// editor and the renderer: each is written and read back by its extension.
TEST(PictureFilesTest, WritesAndReadsEachKindByItsExtension)
{
    TTestFolder folder;
    const TBitmap picture = PatternPicture(13, 9, 5);

    WritePicture(folder.File("p.BMP"), picture);
    std::string warning;
    EXPECT_EQ(ReadPicture(folder.File("p.BMP"), &warning), picture);
    EXPECT_EQ(ReadBmpFile(folder.File("p.BMP")), picture);

    WritePicture(folder.File("p.jpeg"), picture);
    WriteJpegFile(folder.File("reference.jpg"), picture, 90);
    EXPECT_EQ(FileBytes(folder.File("p.jpeg")), FileBytes(folder.File("reference.jpg")));
    EXPECT_EQ(ReadPicture(folder.File("p.jpeg"), &warning), ReadJpegFile(folder.File("reference.jpg")));
    EXPECT_EQ(warning, "");

    // A project or an unknown name is no picture: refused without a file.
    for (const char* name : {"p.p2c", "p.png"}) {
        EXPECT_THROW(WritePicture(folder.File(name), picture), TFileError) << name;
        EXPECT_FALSE(std::filesystem::exists(folder.File(name))) << name;
        PutFileBytes(folder.File(name), FileBytes(folder.File("p.BMP")));
        EXPECT_THROW(ReadPicture(folder.File(name), &warning), TFileError) << name;
    }
}

} // namespace
