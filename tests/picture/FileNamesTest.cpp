#include "picture/FileNames.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNames, TheExtensionRunsFromTheLastDotOfTheName)
{
    EXPECT_EQ(ExtensionOf("/home/u/beach.jpg"), ".jpg");
    EXPECT_EQ(ExtensionOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("name."), ".");
    EXPECT_EQ(ExtensionOf("/photos.2024/shot"), "");
    EXPECT_EQ(ExtensionOf("shot"), "");
    EXPECT_EQ(UpperExtension("/a/PHOTO.Jpg"), ".JPG");
    EXPECT_EQ(FileNameOnly("/a/b/c.bmp"), "c.bmp");
    EXPECT_EQ(FileNameOnly("c.bmp"), "c.bmp");
}

TEST(FileNames, TheExtensionDecidesTheKindWhateverItsCase)
{
    const struct {
        const char* Path;
        TFileKind Kind;
    } cases[] = {
        {"/p/PHOTO.Jpg", TFileKind::Jpeg},    {"/p/photo.jpeg", TFileKind::Jpeg},
        {"/p/photo.JPEG", TFileKind::Jpeg},   {"/p/coffee.bmp", TFileKind::Bitmap},
        {"/p/scene.P2c", TFileKind::Project}, {"/p/logo.Png", TFileKind::Png},
        {"/p/photo.jpg.png", TFileKind::Png}, {"/p/web.WEBP", TFileKind::WebP},
        {"/p/scan.tif", TFileKind::Tiff},     {"/p/scan.TIFF", TFileKind::Tiff},
        {"/p/phone.HEIC", TFileKind::Heif},   {"/p/phone.heif", TFileKind::Heif},
        {"/p/phone.avif", TFileKind::Heif},   {"/p/photo.jp", TFileKind::None},
        {"/p/photo.pn", TFileKind::None},     {"/p/bmp", TFileKind::None},
        {"/p.jpg/photo", TFileKind::None},    {"/p/photo.webp.txt", TFileKind::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileKindOf(c.Path), c.Kind) << c.Path;
}

TEST(FileNames, APhotoIsProposedAsABitmapNamedAfterIt)
{
    EXPECT_EQ(ProposeSaveName("/home/u/beach.jpg"), (TSaveProposal{"beach_cartoon", SaveFilterBitmap}));
    EXPECT_EQ(ProposeSaveName("/home/u/Coffee.BMP"), (TSaveProposal{"Coffee_cartoon", SaveFilterBitmap}));
    EXPECT_EQ(ProposeSaveName("/photos.v2/shot.jpeg"), (TSaveProposal{"shot_cartoon", SaveFilterBitmap}));
    // Only the last extension goes, even when it also stands earlier in the name.
    EXPECT_EQ(ProposeSaveName("/p/my.jpg.old.jpg"), (TSaveProposal{"my.jpg.old_cartoon", SaveFilterBitmap}));
}

TEST(FileNames, AProjectIsProposedUnderItsOwnName)
{
    EXPECT_EQ(ProposeSaveName("/home/u/scene.p2c"), (TSaveProposal{"scene.p2c", SaveFilterProject}));
    EXPECT_EQ(ProposeSaveName("/home/u/SCENE.P2C"), (TSaveProposal{"SCENE.P2C", SaveFilterProject}));
}

TEST(FileNames, ANameWithoutExtensionTakesTheFiltersOne)
{
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterBitmap), "/t/out.BMP");
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterJpeg), "/t/out.JPG");
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterPng), "/t/out.PNG");
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterWebP), "/t/out.WEBP");
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterWebPLossless), "/t/out.WEBP");
    EXPECT_EQ(WithSaveExtension("/t/out", SaveFilterProject), "/t/out.P2C");
    EXPECT_EQ(WithSaveExtension("/t.d/out", SaveFilterJpeg), "/t.d/out.JPG");
    // A name that has an extension keeps it, known or not.
    EXPECT_EQ(WithSaveExtension("/t/out.png", SaveFilterJpeg), "/t/out.png");
    EXPECT_EQ(WithSaveExtension("/t/out.bmp", SaveFilterProject), "/t/out.bmp");
    EXPECT_EQ(WithSaveExtension("/t/out", 0), "/t/out");
    EXPECT_EQ(FileKindOf(WithSaveExtension("/t/out", SaveFilterJpeg)), TFileKind::Jpeg);
}

} // namespace
