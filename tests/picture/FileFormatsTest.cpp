#include "picture/FileFormats.h"

#include "picture/FileError.h"
#include "picture/FileNames.h"
#include "picture/PictureFiles.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace {

std::string PatternOf(std::string_view extension) { return std::string("*").append(extension); }

// What the program reads from the table holds only if the table does: each
// extension, lower case in the table, names its own row in any case; a kind
// written is also read; every kind and every reader has its row; the save
// dialog offers each kind written once, and lossless only where the row has a
// text for it.
TEST(FileFormats, EveryRowIsConsistentWithItselfAndTheNames)
{
    std::set<TFileKind> kinds, written;
    std::set<TPictureKind> readers;
    for (const TFileFormat& format : FileFormats()) {
        SCOPED_TRACE(std::string(format.Name));
        kinds.insert(format.Kind);
        readers.insert(format.Picture);
        if (format.Writes)
            written.insert(format.Kind);
        EXPECT_TRUE(format.Reads);
        EXPECT_EQ(format.IsPicture(), format.Kind != TFileKind::Project);
        EXPECT_EQ(!format.WrittenAs.empty(), format.IsPicture() && format.Writes);
        ASSERT_FALSE(format.Extensions.empty());
        for (std::string_view extension : format.Extensions) {
            std::string upper(extension);
            std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return char(std::toupper(c)); });
            EXPECT_TRUE(std::none_of(extension.begin(), extension.end(), [](char c) { return std::isupper(c); }));
            for (const std::string& name : {std::string("/p/a").append(extension), "/p/A" + upper}) {
                EXPECT_EQ(FormatOfName(name), &format) << name;
                EXPECT_EQ(IsPictureFile(name), format.IsPicture()) << name;
                EXPECT_EQ(IsWritablePictureFile(name), format.IsPicture() && format.Writes) << name;
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<TFileKind>{TFileKind::Jpeg, TFileKind::Bitmap, TFileKind::Png, TFileKind::WebP,
                                          TFileKind::Tiff, TFileKind::Heif, TFileKind::Project}));
    EXPECT_EQ(readers.size(), 7u) << "every picture reader and none for the project";

    std::set<TFileKind> saved;
    for (const TSaveFilter& save : SaveFilterKinds) {
        ASSERT_TRUE(written.count(save.Kind)) << int(save.Kind);
        EXPECT_EQ(save.Lossless, !saved.insert(save.Kind).second);
        EXPECT_TRUE(!save.Lossless || !FormatOfKind(save.Kind)->LosslessLabel.empty());
    }
    EXPECT_EQ(saved, written);
}

// Each open filter lists exactly its row's extensions (the JPEG spellings
// one each), the first everything read; a save filter lists the extension a
// bare name gets.
TEST(FileFormats, EveryFilterListsItsKindsExtensions)
{
    const std::vector<TDialogFilter> open = OpenDialogFilters();
    std::vector<std::vector<std::string>> expected(1);
    for (const TFileFormat& format : FileFormats()) {
        expected.emplace_back();
        for (std::string_view extension : format.Extensions) {
            if (format.FilterPerExtension && !expected.back().empty())
                expected.emplace_back();
            expected.back().push_back(PatternOf(extension));
            expected.front().push_back(PatternOf(extension));
        }
    }
    expected.push_back({"*"});
    ASSERT_EQ(open.size(), expected.size());
    for (std::size_t i = 0; i < open.size(); ++i)
        EXPECT_EQ(open[i].Patterns, expected[i]) << open[i].Text;

    const std::vector<TDialogFilter> save = SaveDialogFilters();
    ASSERT_EQ(save.size(), std::size(SaveFilterKinds));
    for (std::size_t i = 0; i < save.size(); ++i) {
        ASSERT_EQ(save[i].Patterns.size(), 1u);
        EXPECT_EQ(FileKindOf(save[i].Patterns[0]), SaveFilterKinds[i].Kind);
        EXPECT_EQ(FileKindOf(WithSaveExtension("/t/out", int(i) + 1)), SaveFilterKinds[i].Kind);
    }
}

TEST(FileFormats, ListsReadAsASentence)
{
    EXPECT_EQ(ListText({}, "or"), "");
    EXPECT_EQ(ListText({".a"}, "or"), ".a");
    EXPECT_EQ(ListText({".a", ".b"}, "or"), ".a or .b");
    EXPECT_EQ(ListText({".a", ".b", ".c"}, "nor"), ".a, .b nor .c");
    EXPECT_EQ(NotAPictureText("/p/x"),
              "/p/x is not a picture this program can read (JPEG, bitmap, PNG, WebP, TIFF, HEIC or AVIF)");
    try {
        WritePicture("/p/x.tif", PatternPicture(1, 1, 0));
        ADD_FAILURE() << "written";
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "/p/x.tif cannot be written: only .jpg, .jpeg, .bmp, .png and .webp pictures are written");
    }
}

} // namespace
