#include "document/P2CFile.h"

#include "picture/BmpFile.h"
#include "picture/FileError.h"
#include "tests/document/TestFolder.h"
#include "tests/picture/PicturePrinter.h"
#include "tests/picture/TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::string BmpBytes(const TBitmap& picture)
{
    std::ostringstream out;
    WriteBmp(out, picture);
    return out.str();
}

class ProjectFile : public ::testing::Test {
protected:
    TTestFolder folder;
    std::string path = folder.File("work.p2c");

    // A document that differs from a fresh one in every picture and setting.
    static TDocument Sample()
    {
        TDocument document;
        document.SketchLayer = PatternPicture(5, 3, 11);
        document.ColorLayer = PatternPicture(5, 3, 101);
        document.SourceBitmap = PatternPicture(5, 3, 201);
        document.LayerState = TLayerState{false, true, true, false, BlendOpacity, 37};
        return document;
    }
    // Writes `document`, lets `edit` change the file's bytes, reads it into a fresh document.
    template <class F>
    TDocument ReadEdited(const TDocument& document, F edit)
    {
        EXPECT_EQ(WriteProjectFile(path, document), 0);
        std::string bytes = FileBytes(path);
        edit(bytes);
        PutFileBytes(path, bytes);
        TDocument read;
        EXPECT_NO_THROW(ReadProjectFile(path, read));
        return read;
    }
    static void ExpectSame(const TDocument& a, const TDocument& b)
    {
        EXPECT_SAME_PICTURE(a.SketchLayer, b.SketchLayer);
        EXPECT_SAME_PICTURE(a.ColorLayer, b.ColorLayer);
        EXPECT_SAME_PICTURE(a.SourceBitmap, b.SourceBitmap);
        EXPECT_SAME_PICTURE(a.ViewBitmap, b.ViewBitmap);
        EXPECT_EQ(a.LayerState, b.LayerState);
    }
};

TEST_F(ProjectFile, ASmallDocumentIsWrittenByteForByte)
{
    TDocument document;
    document.SketchLayer = PatternPicture(3, 2, 1);
    document.ColorLayer = PatternPicture(3, 2, 2);
    document.SourceBitmap = PatternPicture(3, 2, 3);
    ASSERT_EQ(WriteProjectFile(path, document), 0);

    const std::string bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 1258u);
    EXPECT_EQ(Hex(bytes.substr(0, 28)),
              "70 32 63 00 00 01 00 04 00 00 4E 00 00 00 4E 04 00 00 4E 00 00 00 00 32 01 01 01 01");
    EXPECT_EQ(bytes.substr(28, 1024 - 28), std::string(996, '\0'));
    EXPECT_EQ(bytes.substr(1024, 78), BmpBytes(document.SketchLayer));
    EXPECT_EQ(bytes.substr(1102, 78), BmpBytes(document.ColorLayer));
    EXPECT_EQ(bytes.substr(1180), BmpBytes(document.SourceBitmap));
}

TEST_F(ProjectFile, TheSettingsBytesFollowTheLayerState)
{
    TDocument document = Sample();
    ASSERT_EQ(WriteProjectFile(path, document), 0);
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(Hex(bytes.substr(10, 18)), "66 00 00 00 66 04 00 00 66 00 00 00 01 25 00 01 01 00");
}

TEST_F(ProjectFile, WritingAndReadingBackGivesTheSameDocument)
{
    const TDocument written = Sample();
    ASSERT_EQ(WriteProjectFile(path, written), 0);
    TDocument read;
    ASSERT_NO_THROW(ReadProjectFile(path, read));
    ExpectSame(read, written);
}

TEST_F(ProjectFile, ReadingReplacesOnlyTheLayersThePhotoAndTheSettings)
{
    ASSERT_EQ(WriteProjectFile(path, Sample()), 0);
    TDocument document;
    document.InitialisePhoto(PatternPicture(2, 2, 5));
    const TBitmap view = document.ViewBitmap;
    document.ShownSketch = &TDocument::SketchWork;
    ASSERT_NO_THROW(ReadProjectFile(path, document));
    EXPECT_SAME_PICTURE(document.SketchLayer, Sample().SketchLayer);
    EXPECT_SAME_PICTURE(document.ViewBitmap, view) << "the composite is the caller's to rebuild";
    EXPECT_SAME_PICTURE(document.SketchWork, view);
    EXPECT_EQ(document.ShownSketch, &TDocument::SketchWork);
}

TEST_F(ProjectFile, TheVersionBytesMayBeAnything)
{
    const TDocument read = ReadEdited(Sample(), [](std::string& b) {
        b[4] = char(0xFF);
        b[5] = char(0x7E);
    });
    ExpectSame(read, Sample());
}

TEST_F(ProjectFile, StoredSettingBytesAreReadAsThePanelWouldHoldThem)
{
    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[23] = 99; }).LayerState.Opacity, 99);
    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[23] = 0; }).LayerState.Opacity, 1);
    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[23] = char(200); }).LayerState.Opacity, 99);

    // Only 1 sets a flag.
    const TLayerState flags = ReadEdited(Sample(), [](std::string& b) {
                                  b[24] = 2;
                                  b[25] = 1;
                                  b[26] = char(0xFF);
                                  b[27] = 1;
                              }).LayerState;
    EXPECT_FALSE(flags.SketchVisible);
    EXPECT_TRUE(flags.ColorVisible);
    EXPECT_FALSE(flags.SketchDrawable);
    EXPECT_TRUE(flags.ColorDrawable);

    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[22] = 0; }).LayerState.BlendingMode, BlendMultiply);
    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[22] = 1; }).LayerState.BlendingMode, BlendOpacity);
    EXPECT_EQ(ReadEdited(Sample(), [](std::string& b) { b[22] = 2; }).LayerState.BlendingMode, BlendMultiply)
        << "an unknown mode would leave the composite stale";
}

TEST_F(ProjectFile, ABlankNameIsRefusedAndNothingIsWritten)
{
    TDocument document = Sample();
    const TDocument before = document;
    for (const char* name : {"", "   ", " \t "}) {
        EXPECT_EQ(WriteProjectFile(name, document), -1);
        EXPECT_THROW(ReadProjectFile(name, document), TFileError);
    }
    ExpectSame(document, before);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(ProjectFile, AWrongMagicIsRefusedAndTheDocumentStays)
{
    ASSERT_EQ(WriteProjectFile(path, Sample()), 0);
    TDocument document;
    document.InitialisePhoto(PatternPicture(4, 1, 9));
    document.LayerState.Opacity = 61;
    const TDocument before = document;

    std::string bytes = FileBytes(path);
    // The message the editor shows before saying that the open failed.
    auto refused = [&](const std::string& why) {
        try {
            ReadProjectFile(path, document);
            ADD_FAILURE() << why << ": read";
        } catch (const TNotAProject& e) {
            EXPECT_EQ(std::string(e.what()), path + " is not a valid .p2c file.") << why;
        }
    };
    for (std::size_t at : {0u, 3u}) {
        std::string wrong = bytes;
        wrong[at] = 'P';
        PutFileBytes(path, wrong);
        refused("byte " + std::to_string(at));
    }
    PutFileBytes(path, "p2");
    refused("shorter than the magic");
    PutFileBytes(path, "");
    refused("empty");
    PutFileBytes(path, BmpBytes(PatternPicture(2, 2, 1)));
    refused("a bitmap is not a project");
    ExpectSame(document, before);
}

TEST_F(ProjectFile, ATruncatedProjectIsAnErrorAndTheDocumentStays)
{
    ASSERT_EQ(WriteProjectFile(path, Sample()), 0);
    const std::string bytes = FileBytes(path);
    TDocument document;
    document.InitialisePhoto(PatternPicture(4, 1, 9));
    const TDocument before = document;

    // In the header, in the first block, at the last block's last byte.
    for (std::size_t length : {std::size_t(30), std::size_t(1100), bytes.size() - 1}) {
        PutFileBytes(path, bytes.substr(0, length));
        try {
            ReadProjectFile(path, document);
            ADD_FAILURE() << "no error at length " << length;
        } catch (const TFileError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            // Damaged, not another kind of file: the editor adds no second message.
            EXPECT_EQ(dynamic_cast<const TNotAProject*>(&e), nullptr) << e.what();
        }
        ExpectSame(document, before);
    }
}

TEST_F(ProjectFile, LayersOfDifferentSizesAreRefusedWithTheirSizes)
{
    TDocument odd = Sample();
    odd.ColorLayer = PatternPicture(4, 3, 0);
    ASSERT_EQ(WriteProjectFile(path, odd), 0);
    TDocument document;
    document.InitialisePhoto(PatternPicture(4, 1, 9));
    const TDocument before = document;
    try {
        ReadProjectFile(path, document);
        FAIL() << "no error";
    } catch (const TFileError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("5 x 3"), std::string::npos) << message;
        EXPECT_NE(message.find("4 x 3"), std::string::npos) << message;
    }
    ExpectSame(document, before);
}

TEST_F(ProjectFile, APhotoOfAnotherSizeThanTheLayersIsAccepted)
{
    // The program leaves the photo reduced when an effect run on a reduced
    // copy is cancelled; its own states must stay readable.
    TDocument reduced = Sample();
    reduced.SourceBitmap = PatternPicture(2, 1, 44);
    ASSERT_EQ(WriteProjectFile(path, reduced), 0);
    TDocument read;
    ASSERT_NO_THROW(ReadProjectFile(path, read));
    ExpectSame(read, reduced);
}

TEST_F(ProjectFile, AMissingFileIsAnErrorNamingIt)
{
    TDocument document;
    try {
        ReadProjectFile(folder.File("none.p2c"), document);
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_NE(std::string(e.what()).find("none.p2c"), std::string::npos) << e.what();
    }
}

// A named pipe with no writer would hang the open for ever: refused at
// once (the child is stopped by an alarm if it hangs).
TEST_F(ProjectFile, ANamedPipeIsRefusedWithoutWaiting)
{
    const std::string pipe = folder.File("pipe.p2c");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EXIT(
        {
            ::alarm(10);
            TDocument document;
            try {
                ReadProjectFile(pipe, document);
            } catch (const TFileError&) {
                std::_Exit(document.SketchLayer.Width() == 0 ? 0 : 2);
            }
            std::_Exit(1);
        },
        testing::ExitedWithCode(0), "");
}

// An 8-bit run-length bitmap whose every row is painted in runs of one
// colour: a few hundred kilobytes for a picture of hundreds of megabytes.
std::string PaintedRleBitmap(int width, int height)
{
    std::string data;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 255) {
            data += char(std::min(255, width - x));
            data += char(0);
        }
        data += std::string("\0\0", 2); // end of row
    }
    data += std::string("\0\1", 2); // end of picture
    const std::uint32_t offset = 14 + 40 + 4;
    std::string bmp(offset, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + std::size_t(i)] = char(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, std::uint32_t(offset + data.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, std::uint32_t(width));
    put32(22, std::uint32_t(height));
    bmp[26] = 1; // planes
    bmp[28] = 8; // bits per pixel
    put32(30, 1); // RLE8
    put32(34, std::uint32_t(data.size()));
    put32(46, 1); // one colour
    bmp[54] = bmp[55] = bmp[56] = char(200);
    return bmp + data;
}

// A small file that claims huge layers is refused by their stated size,
// before anything is decoded, with the program's one message (in a child
// process, under an address-space limit).
TEST_F(ProjectFile, LayersThatCannotFitInMemoryAreRefusedBeforeDecoding)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space limit";
#endif
    ASSERT_EQ(WriteProjectFile(path, Sample()), 0);
    const std::string block = PaintedRleBitmap(8000, 8000);
    PutFileBytes(path, FileBytes(path).substr(0, P2CHeaderSize) + block + block + block);
    ASSERT_LT(FileBytes(path).size(), 2u << 20);
    // 0 when refused with the message and the document untouched.
    auto openUnderLimit = [this]() -> int {
        std::ifstream statm("/proc/self/statm");
        std::uint64_t pages = 0;
        statm >> pages;
        const rlim_t limit = rlim_t(pages * std::uint64_t(::sysconf(_SC_PAGESIZE)) + (300u << 20));
        const rlimit as{limit, limit};
        ::setrlimit(RLIMIT_AS, &as);
        TDocument document;
        try {
            ReadProjectFile(path, document);
        } catch (const TFileError& e) {
            const bool named =
                std::string(e.what()).find("not enough memory for a 8000 x 8000 picture") != std::string::npos;
            return named && document.SketchLayer.Width() == 0 ? 0 : 2;
        } catch (...) {
            return 3;
        }
        return 1;
    };
    EXPECT_EXIT(std::_Exit(openUnderLimit()), testing::ExitedWithCode(0), "");
}

TEST_F(ProjectFile, AWriteThatFailsHalfWayKeepsTheOldProject)
{
    ASSERT_EQ(WriteProjectFile(path, Sample()), 0);
    const std::string old = FileBytes(path);
    TDocument big;
    big.SketchLayer = big.ColorLayer = big.SourceBitmap = PatternPicture(100, 100, 0);
    {
        TFileSizeLimit diskFull(20000); // the new project needs about 91000 bytes
        EXPECT_THROW(WriteProjectFile(path, big), TFileError);
    }
    EXPECT_EQ(FileBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no temporary stays";

    PutFileBytes(folder.File("blocker"), "x");
    EXPECT_THROW(WriteProjectFile(folder.File("blocker/work.p2c"), Sample()), TFileError);
}

} // namespace
