// The renderer's own texts that list the file kinds, compared whole: they
// are built from the table of formats and must read as they always have.
#include "app/render/RenderOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RenderOptions, NamesOfNoKindAreRefusedWithTheKindsThatAre)
{
    const std::string in = "/no/such/folder/in.jpg";
    const struct {
        std::vector<std::string> Args;
        std::string Error;
    } cases[] = {
        {{"/no/such/folder/notes.txt", "out.jpg"},
         "INPUT '/no/such/folder/notes.txt' is not a picture "
         "(.jpg, .jpeg, .bmp, .png, .webp, .tif, .tiff, .heic, .heif or .avif)"},
        // A project is no picture to render, as the editor would not open it as one.
        {{"scene.p2c", "out.jpg"},
         "INPUT 'scene.p2c' is not a picture (.jpg, .jpeg, .bmp, .png, .webp, .tif, .tiff, .heic, .heif or .avif)"},
        {{in, "out.tif"}, "OUTPUT 'out.tif' is neither .jpg, .jpeg, .bmp, .png nor .webp"},
        {{in, "out.p2c"}, "OUTPUT 'out.p2c' is neither .jpg, .jpeg, .bmp, .png nor .webp"},
        {{"--sketch-out", "s.heic", in, "out.jpg"},
         "--sketch-out 's.heic' is neither .jpg, .jpeg, .bmp, .png nor .webp"},
        {{"--color-out", "c", in, "out.jpg"}, "--color-out 'c' is neither .jpg, .jpeg, .bmp, .png nor .webp"},
        {{"--project-out", "p.jpg", in, "out.jpg"}, "--project-out 'p.jpg' does not end in .p2c"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseRenderOptions(c.Args, error)) << c.Error;
        EXPECT_EQ(error, c.Error);
    }
    std::string error;
    EXPECT_TRUE(ParseRenderOptions({in, "OUT.JPEG", "--project-out", "p.P2C", "--sketch-out", "s.webp"}, error))
        << error;
}

TEST(RenderOptions, AutoIsTheCartoonPresetFittedAndFitFitsAnyPreset)
{
    const struct {
        std::vector<std::string> Args;
        std::string Preset;
        bool Fit;
    } cases[] = {
        {{"in.jpg", "out.jpg"}, "default", false},
        {{"-p", "auto", "in.jpg", "out.jpg"}, "cartoon", true},
        {{"--preset=auto", "--fit", "in.jpg", "out.jpg"}, "cartoon", true},
        {{"--fit", "-p", "sketch", "in.jpg", "out.jpg"}, "sketch", true},
        {{"-p", "./auto", "in.jpg", "out.jpg"}, "./auto", false},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto options = ParseRenderOptions(c.Args, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->Preset, c.Preset);
        EXPECT_EQ(options->Fit, c.Fit) << c.Preset;
    }
}

TEST(RenderOptions, TheUsageListsTheKindsReadAndWritten)
{
    const std::string usage = RenderUsage();
    for (const char* lines : {
             "\n  INPUT               a JPEG, bitmap, PNG, WebP, TIFF, HEIC or AVIF picture, told by\n"
             "                      its content\n"
             "  OUTPUT              .jpg/.jpeg (baseline, quality 90), .bmp (24-bit), .png (8-bit\n"
             "                      RGB) or .webp (quality 90), by extension, any case\n"
             "  -p, --preset P ",
             "\n  --project-out FILE  also write a project (FILE must end in .p2c) with both\n",
             "\n  --lossless          write .webp outputs lossless\n",
         })
        EXPECT_NE(usage.find(lines), std::string::npos) << lines << "\nnot in\n" << usage;
}

} // namespace
