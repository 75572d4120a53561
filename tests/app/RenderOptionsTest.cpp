// The renderer's own texts that list the file kinds, compared whole: they
// are built from the table of formats and must read as they always have.
#include "app/render/RenderOptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
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

// The options a usage text names: "-x" or "--word-word" after the start, a
// space, a comma or a bracket. (Not std::regex: GCC 12 warns inside it in
// the sanitizer build.)
std::vector<std::string> OptionsIn(const std::string& text)
{
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    std::vector<std::string> options;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-' || (i > 0 && std::string_view(" ,(").find(text[i - 1]) == std::string_view::npos))
            continue;
        std::size_t end = i + 1;
        if (end < text.size() && text[end] == '-')
            ++end;
        if (end >= text.size() || !lower(text[end]))
            continue;
        while (end < text.size() && (lower(text[end]) || text[end] == '-'))
            ++end;
        options.push_back(text.substr(i, end - i));
        i = end - 1;
    }
    return options;
}

// The manual page documents every option the usage lists (in roff, where a
// hyphen is written "\-").
TEST(RenderOptions, TheManualPageNamesEveryOptionOfTheUsage)
{
    std::ifstream in(LQ_RENDER_MAN_PAGE);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(page.empty());
    const std::string usage = RenderUsage();
    const std::vector<std::string> options = OptionsIn(usage);
    for (const std::string& option : options) {
        std::string roff;
        for (char c : option)
            roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.find(roff), std::string::npos) << option << " is not in the manual page";
    }
    EXPECT_GT(options.size(), 20u);
}

// A memory size in binary units, a plain number in MiB as batch systems count.
TEST(RenderOptions, MemorySizesAreReadInBinaryUnits)
{
    const std::uint64_t MiB = 1 << 20;
    const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
        {"512", 512 * MiB},       {"512M", 512 * MiB},   {"4G", 4096 * MiB},        {"1.5g", 1536 * MiB},
        {"300MiB", 300 * MiB},    {"2048K", 2 * MiB},    {"1T", 1024 * 1024 * MiB}, {"100MB", 100 * MiB},
        {"0", std::nullopt},      {"", std::nullopt},    {"G", std::nullopt},       {"4X", std::nullopt},
        {"1.2.3G", std::nullopt}, {"-4G", std::nullopt}, {"0.5B", std::nullopt},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(ParseMemorySize(text), bytes) << text;
}

// The two forms take their own options, and a batch needs an input.
TEST(RenderOptions, EachFormRefusesTheOthersOptions)
{
    const struct {
        std::vector<std::string> Args;
        std::string Error;
    } cases[] = {
        {{"--format", "png", "in.jpg", "out.jpg"}, "--format goes with -o FOLDER only"},
        {{"-r", "in.jpg", "out.jpg"}, "-r goes with -o FOLDER only"},
        {{"in.jpg", "out.jpg", "--skip-existing"}, "--skip-existing goes with -o FOLDER only"},
        {{"photos", "-o", "out", "--sketch-out", "s.png"}, "--sketch-out names one file: it does not go with -o"},
        {{"-o", "out"}, "-o out needs an INPUT photo or folder"},
        {{"photos", "-o", "out", "--format", "tif"}, "the format 'tif' is none of jpg, jpeg, bmp, png or webp"},
        {{"photos", "-o", "out", "--suffix", "a/b"}, "the suffix 'a/b' holds a /"},
        {{"photos", "-o", "out", "--jobs", "257"},
         "the job count '257' is neither auto nor a whole number from 1 to 256"},
        {{"photos", "-o", "out", "--memory", "much"}, "the memory size 'much' is no size (such as 4G or 512M)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseRenderOptions(c.Args, error)) << c.Error;
        EXPECT_EQ(error, c.Error);
    }
    std::string error;
    const auto batch =
        ParseRenderOptions({"-p", "auto", "a.jpg", "photos", "--output-folder=out", "-r", "--format=webp", "--suffix",
                            "-c", "--jobs", "auto", "--memory", "2G", "--skip-existing"},
                           error);
    ASSERT_TRUE(batch) << error;
    EXPECT_TRUE(batch->IsBatch());
    EXPECT_EQ(batch->Inputs, (std::vector<std::string>{"a.jpg", "photos"}));
    EXPECT_EQ(batch->OutputFolder, "out");
    EXPECT_TRUE(batch->Recurse && batch->SkipExisting && batch->Fit);
    EXPECT_EQ(batch->Format, TFileKind::WebP);
    EXPECT_EQ(batch->Suffix, "-c");
    EXPECT_EQ(batch->Jobs, 0);
    EXPECT_EQ(batch->Memory, std::uint64_t(2) << 30);
}

} // namespace
