// lumenquilla-render driven the way a user or a script drives it: the built
// program, run on small pictures that each test writes into a temporary
// folder, its files compared with what the engine and the document make here.
#include "tests/app/RenderFixture.h"

#include "document/Document.h"
#include "document/P2CFile.h"
#include "engine/DrawEffect.h"
#include "picture/BmpFile.h"
#include "picture/JpegFile.h"
#include "picture/PictureFiles.h"
#include "settings/SettingsFile.h"
#include "tests/picture/PicturePrinter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

TEST_F(RenderTest, NoEffectConvertsBetweenFormatsInAnyLetterCase)
{
    const TBitmap photo = Photo(37, 23); // odd width: padded bitmap rows
    const std::string in = PutPhoto("in.bmp", photo);

    TRun run = Run({"--no-effect", in, File("same.BMP")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("same.BMP")), photo);

    // Quality 90, baseline, exactly what the editor's Save writes.
    run = Run({"--no-effect", in, File("photo.JPG")});
    EXPECT_SUCCESS(run);
    WriteJpegFile(File("reference.jpg"), photo, 90);
    EXPECT_EQ(FileBytes(File("photo.JPG")), FileBytes(File("reference.jpg")));

    run = Run({"--no-effect", "--quiet", File("photo.JPG"), File("back.Bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("back.Bmp")), ReadJpegFile(File("photo.JPG")));

    fs::copy_file(File("photo.JPG"), File("photo.jPeG"));
    run = Run({"--no-effect", File("photo.jPeG"), File("again.bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("again.bmp")), ReadBmpFile(File("back.Bmp")));
}

// The newer kinds: PNG and WebP written by name (WebP lossless on request),
// any input read by its content, also under a name of no kind.
TEST_F(RenderTest, NoEffectWritesPngAndWebPAndReadsInputsByContent)
{
    const TBitmap photo = Photo(37, 23);
    const std::string in = PutPhoto("in.bmp", photo);
    std::string warning;

    TRun run = Run({"--no-effect", in, File("photo.PNG")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadPicture(File("photo.PNG"), &warning), photo);
    run = Run({"--no-effect", "--lossless", File("photo.PNG"), File("exact.webp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadPicture(File("exact.webp"), &warning), photo);
    run = Run({"--no-effect", in, File("lossy.webp")});
    EXPECT_SUCCESS(run);
    EXPECT_NE(FileBytes(File("lossy.webp")), FileBytes(File("exact.webp")));

    fs::copy_file(File("photo.PNG"), File("no-extension"));
    fs::copy_file(File("exact.webp"), File("webp-named.jpg"));
    for (const char* name : {"no-extension", "webp-named.jpg"}) {
        run = Run({"--no-effect", File(name), File(std::string(name) + ".bmp")});
        EXPECT_SUCCESS(run);
        EXPECT_SAME_PICTURE(ReadBmpFile(File(std::string(name) + ".bmp")), photo) << name;
    }
}

TEST_F(RenderTest, LayersAreTheEnginesAndALayerSwitchedOffIsWhite)
{
    const TBitmap photo = Photo(60, 40);
    const std::string in = PutPhoto("in.bmp", photo);
    TEffectSettings settings = Settings();

    const TLayers both = ExpectedLayers(settings, photo);
    TRun run = Run({"-p", PutSettings("both.set", settings), "--sketch-out", File("s.bmp"), "--color-out",
                    File("c.bmp"), in, File("out.bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("s.bmp")), both.Sketch);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("c.bmp")), both.Color);
    ASSERT_FALSE(AllWhite(both.Sketch));
    ASSERT_FALSE(AllWhite(both.Color));

    settings.DrawColor = 0;
    run = Run({"-p", PutSettings("lines.set", settings), "--sketch-out", File("s1.bmp"), "--color-out", File("c1.bmp"),
               in, File("out1.bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("s1.bmp")), both.Sketch);
    const TBitmap white1 = ReadBmpFile(File("c1.bmp"));
    EXPECT_EQ(white1.Width(), 60);
    EXPECT_EQ(white1.Height(), 40);
    EXPECT_TRUE(AllWhite(white1));

    settings.DrawColor = 1;
    settings.DrawSketch = 0;
    run = Run({"-p", PutSettings("colour.set", settings), "--sketch-out", File("s2.bmp"), "--color-out", File("c2.bmp"),
               in, File("out2.bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("c2.bmp")), both.Color);
    const TBitmap white2 = ReadBmpFile(File("s2.bmp"));
    EXPECT_EQ(white2.Width(), 60);
    EXPECT_TRUE(AllWhite(white2));
}

// The output is what the editor saves after the cartoon command: the two
// layers blended by the document's rule, with the mode the record chose.
TEST_F(RenderTest, OutputIsTheCompositeOfTheLayersInEitherBlendingMode)
{
    const TBitmap photo = Photo(45, 30);
    const std::string in = PutPhoto("in.bmp", photo);
    // BlendMode 1 multiplies; every other value (7 included) mixes by opacity,
    // as the layers panel takes it.
    for (int mode : {1, 2, 7}) {
        SCOPED_TRACE(mode);
        TEffectSettings settings = Settings();
        settings.BlendMode = mode;
        settings.Opacity = 30;
        const std::string tag = std::to_string(mode);
        const TRun run = Run({"-p", PutSettings(tag + ".set", settings), "--sketch-out", File(tag + "s.bmp"),
                              "--color-out", File(tag + "c.bmp"), in, File(tag + "out.bmp")});
        EXPECT_SUCCESS(run);
        const TBitmap s = ReadBmpFile(File(tag + "s.bmp")), c = ReadBmpFile(File(tag + "c.bmp"));
        const TBitmap out = ReadBmpFile(File(tag + "out.bmp"));
        ASSERT_EQ(out.Width(), 45);
        ASSERT_EQ(out.Height(), 30);
        int whiteOverWhite = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 45 * 3; ++x) {
                const int sb = s.ScanLine(y)[x], cb = c.ScanLine(y)[x];
                const int expected = mode == 1 ? sb * cb / 255 : ((100 - 30) * cb + 30 * sb) / 100;
                ASSERT_EQ(out.ScanLine(y)[x], expected) << x / 3 << "," << y;
                whiteOverWhite += sb == 255 && cb == 255;
            }
        // The bar is near white in the photo: the test covers white over white.
        if (mode == 1) {
            EXPECT_GT(whiteOverWhite, 0);
        }
    }
}

TEST_F(RenderTest, PresetsAreFoundByNameBesideTheProgramOrByPath)
{
    // A copy of the program in a folder of its own, with presets that draw
    // different sketches, so that each result shows which file was read.
    fs::create_directory(File("program"));
    const std::string program = File("program/lumenquilla-render");
    fs::copy_file(Renderer, program);
    TEffectSettings cartoon = Settings(), fresh = Settings(), last = Settings();
    cartoon.Detail = 10;
    fresh.Detail = 80;
    last.Detail = 0;
    last.SketchType = 1;
    PutSettings("program/cartoon.set", cartoon);
    PutSettings("program/default.set", fresh);
    PutSettings("program/last.set", last);
    fs::create_directory(File("elsewhere"));
    const std::string path = PutSettings("elsewhere/mine.set", cartoon);

    const TBitmap photo = Photo(50, 30);
    const std::string in = PutPhoto("in.bmp", photo);
    auto sketchOf = [&](std::vector<std::string> presetArgs, const std::string& tag) {
        presetArgs.insert(presetArgs.end(), {"--sketch-out", File(tag + ".bmp"), in, File(tag + "-out.jpg")});
        const TRun run = Run(presetArgs, {}, program);
        EXPECT_SUCCESS(run);
        return ReadBmpFile(File(tag + ".bmp"));
    };
    EXPECT_SAME_PICTURE(sketchOf({"-p", "cartoon"}, "byname"), ExpectedLayers(cartoon, photo).Sketch);
    EXPECT_SAME_PICTURE(sketchOf({"--preset=" + path}, "bypath"), ExpectedLayers(cartoon, photo).Sketch);
    EXPECT_SAME_PICTURE(sketchOf({}, "default"), ExpectedLayers(fresh, photo).Sketch);
    EXPECT_SAME_PICTURE(sketchOf({"-plast"}, "last"), ExpectedLayers(last, photo).Sketch);
    ASSERT_NE(ExpectedLayers(cartoon, photo).Sketch, ExpectedLayers(fresh, photo).Sketch);

    // A named preset that is not there is an error, not a blank picture.
    const TRun missing = Run({"-p", "sketch", in, File("none.jpg")}, {}, program);
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find(File("program/sketch.set")), std::string::npos) << missing.Err;
    EXPECT_FALSE(fs::exists(File("none.jpg")));
}

// Only a whole record is a preset: anything else would render a white or
// half-set picture as if all were well.
TEST_F(RenderTest, APresetOfAnyOtherSizeIsRefused)
{
    const std::string in = PutPhoto("in.bmp", Photo(20, 20));
    const std::string whole = FileBytes(PutSettings("whole.set", Settings()));
    ASSERT_EQ(whole.size(), 18430u);
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"empty.set", ""},
        {"one.set", "x"},
        {"short.set", whole.substr(0, whole.size() - 1)},
        {"long.set", whole + "x"},
        {"double.set", whole + whole},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        PutFileBytes(File(c.Name), c.Bytes);
        const TRun run = Run({"-p", File(c.Name), in, File("out.jpg")});
        EXPECT_EQ(run.Status, 1);
        EXPECT_NE(run.Err.find("is not a preset"), std::string::npos) << run.Err;
        EXPECT_FALSE(fs::exists(File("out.jpg")));
    }
}

// A preset's values are held to the ranges of the editor's controls, as its
// Load does: a median radius of 128 would overflow the engine's counts.
TEST_F(RenderTest, PresetValuesAreHeldToTheControlsRanges)
{
    const TBitmap photo = Photo(64, 48);
    const std::string in = PutPhoto("in.bmp", photo);
    TEffectSettings wild = Settings(), limited = Settings();
    wild.ColorSmooth = 128;
    wild.Darkness = -40;
    wild.Detail = 5000;
    wild.ColorScale = 1000;
    limited.ColorSmooth = 19;
    limited.Darkness = 1;
    limited.Detail = 1024;
    limited.ColorScale = 142;
    const TLayers expected = ExpectedLayers(limited, photo);
    const TRun run = Run({"-p", PutSettings("wild.set", wild), "--sketch-out", File("s.bmp"), "--color-out",
                          File("c.bmp"), in, File("out.bmp")});
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("s.bmp")), expected.Sketch);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("c.bmp")), expected.Color);
}

TEST_F(RenderTest, EveryFaultEndsWithStatus1AndOneLineAndWritesNothing)
{
    const std::string in = PutPhoto("in.bmp", Photo(20, 20));
    PutFileBytes(File("garbage.jpg"), "this is no picture");
    PutFileBytes(File("garbage.png"), "this is no picture either");
    const std::string out = File("out.jpg");
    const std::vector<std::vector<std::string>> cases = {
        {File("missing.jpg"), out},
        {File("garbage.jpg"), out},
        {File("garbage.png"), out},
        {in, File("out.tif")},
        {in, File("out")},
        {"--sketch-out", File("s.tif"), in, out},
        {in, File("no-such-folder/out.jpg")},
        {in, in + "/out.jpg"}, // a file where the folder should be
        {"--project-out", File("no-such-folder/p.p2c"), in, out},
        {"--frobnicate", in, out},
        {"-x", in, out},
        {in, out, "--preset"},
        {in, out, "--color-out"},
        {"--threads=", in, out},
        {"-j", "0", in, out},
        {"-j", "-2", in, out},
        {"-j", "two", in, out},
        {"-j", "65", in, out},
        {"--threads=3x", in, out},
        {"--quiet=yes", in, out},
        {"--lossless=yes", in, out},
        {in},
        {in, out, File("third.jpg")},
        {"-p", File("no-such.set"), in, out},
        {"--no-effect", "--sketch-out", File("s.bmp"), in, out},
        {"--project-out", File("p.jpg"), in, out},
        {"--project-out", File("p"), in, out},
    };
    const std::set<std::string> before = Files();
    for (const auto& args : cases) {
        SCOPED_TRACE(CommandLine(args));
        const TRun run = Run(args);
        EXPECT_EQ(run.Status, 1);
        ASSERT_FALSE(run.Err.empty());
        EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
        EXPECT_EQ(run.Err.rfind("lumenquilla-render: ", 0), 0u) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    EXPECT_EQ(Files(), before);
}

// An output named as the input (or as another output) in any spelling or
// through any link would destroy the photo or a result: refused before
// anything is read or written.
TEST_F(RenderTest, AnOutputThatIsTheInputOrAnotherOutputIsRefused)
{
    const std::string in = PutPhoto("in.bmp", Photo(20, 20));
    const std::string preset = PutSettings("s.set", Settings());
    fs::create_symlink(in, File("link.bmp"));
    fs::create_hard_link(in, File("hard.bmp"));
    fs::create_directory(File("sub"));
    fs::create_symlink("in.bmp", File("relative-link.bmp"));
    fs::create_symlink(in, File("p.p2c"));
    fs::create_symlink(File("new.bmp"), File("to-new.bmp")); // dangling until written
    const std::string relative = fs::relative(in, fs::current_path()).string();
    const std::vector<std::vector<std::string>> cases = {
        {in, in},
        {in, File("./in.bmp")},
        {in, File("sub/../in.bmp")},
        {in, relative},
        {in, File("link.bmp")},
        {in, File("hard.bmp")},
        {in, File("relative-link.bmp")},
        {"--sketch-out", in, in, File("out.bmp")},
        {"--color-out", File("link.bmp"), in, File("out.bmp")},
        {"--project-out", File("p.p2c"), in, File("out.bmp")},
        {"--sketch-out", File("out.bmp"), in, File("out.bmp")},
        {"--sketch-out", File("o.bmp"), "--color-out", File("./o.bmp"), in, File("out.bmp")},
        {"--sketch-out", File("new.bmp"), in, File("to-new.bmp")},
    };
    const std::string photoBytes = FileBytes(in);
    const std::set<std::string> before = Files();
    for (const auto& args : cases) {
        SCOPED_TRACE(CommandLine(args));
        std::vector<std::string> withPreset = {"-p", preset};
        withPreset.insert(withPreset.end(), args.begin(), args.end());
        const TRun run = Run(withPreset);
        EXPECT_EQ(run.Status, 1);
        EXPECT_NE(run.Err.find("is the same file as"), std::string::npos) << run.Err;
        EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
    }
    EXPECT_EQ(FileBytes(in), photoBytes);
    EXPECT_EQ(Files(), before);
}

// Outputs are created through a link that points nowhere yet, and the null
// device is written into, never replaced by a file.
TEST_F(RenderTest, OutputsFollowLinksAndADeviceStaysADevice)
{
    const std::string in = PutPhoto("in.bmp", Photo(30, 20));
    fs::create_symlink(File("made.jpg"), File("link.jpg"));
    fs::create_symlink("/dev/null", File("null.bmp"));
    const TRun run =
        Run({"-p", PutSettings("s.set", Settings()), "--sketch-out", File("null.bmp"), in, File("link.jpg")});
    EXPECT_SUCCESS(run);
    EXPECT_TRUE(fs::is_symlink(File("link.jpg")));
    EXPECT_EQ(ReadJpegFile(File("made.jpg")).Width(), 30);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_symlink(File("null.bmp")));
}

// A named pipe with no writer would block the read for ever.
TEST_F(RenderTest, AnInputThatIsNoRegularFileIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(File("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(File("pipe.set").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", File("zero.bmp"));
    const std::string in = PutPhoto("in.bmp", Photo(20, 20));
    const std::vector<std::vector<std::string>> cases = {
        {"--no-effect", File("pipe.jpg"), File("out.bmp")},
        {"-p", PutSettings("s.set", Settings()), File("pipe.jpg"), File("out.bmp")},
        {"-p", File("pipe.set"), in, File("out.bmp")},
        {"--no-effect", File("zero.bmp"), File("out.bmp")},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[args.size() - 2]);
        TChildProcess child(Renderer, args, dir_ + ".pipe");
        const std::optional<int> status = child.WaitFor(20);
        ASSERT_TRUE(status.has_value()) << "the program hung";
        EXPECT_EQ(*status, 1);
        EXPECT_EQ(child.Error().rfind("lumenquilla-render: ", 0), 0u) << child.Error();
        fs::remove(dir_ + ".pipe.out");
        fs::remove(dir_ + ".pipe.err");
    }
    EXPECT_FALSE(fs::exists(File("out.bmp")));
}

// A JPEG is read only up to its end: a picture followed by gigabytes (of a
// sparse file: no disk space) is read with little memory, and a huge file
// that is no JPEG at all is refused at its first bytes.
TEST_F(RenderTest, AJpegIsReadOnlyToItsEnd)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space limit";
#endif
    WriteJpegFile(File("good.jpg"), Photo(64, 48), 90);
    const std::uintmax_t pictureBytes = fs::file_size(File("good.jpg"));
    fs::copy_file(File("good.jpg"), File("tail.jpg"));
    fs::resize_file(File("tail.jpg"), std::uintmax_t(3) << 30);
    PutFileBytes(File("zeros.jpg"), "");
    fs::resize_file(File("zeros.jpg"), std::uintmax_t(4) << 30);
    ASSERT_GT(fs::file_size(File("tail.jpg")), pictureBytes);

    const TChildLimits small{.AddressSpace = 512LL << 20};
    TRun run = Run({"--no-effect", File("tail.jpg"), File("tail.bmp")}, small);
    EXPECT_SUCCESS(run);
    EXPECT_SAME_PICTURE(ReadBmpFile(File("tail.bmp")), ReadJpegFile(File("good.jpg")));

    run = Run({"--no-effect", File("zeros.jpg"), File("zeros.bmp")}, small);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("Not a JPEG file"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(File("zeros.bmp")));
}

// Memory that runs out ends the run with the program's one message, never
// an abort, and before any output is touched.
TEST_F(RenderTest, APictureThatCannotFitInMemoryIsRefusedWithOneMessage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory does not fit under an address-space limit";
#endif
    const std::string in = PutPhoto("in.bmp", Photo(3000, 2000));
    const std::string preset = PutSettings("s.set", Settings());
    PutFileBytes(File("out.jpg"), "the user's older picture");
    const std::set<std::string> before = Files();
    for (const char* threads : {"1", "2"}) {
        SCOPED_TRACE(threads);
        const TRun run = Run({"-j", threads, "-p", preset, in, File("out.jpg")}, {.AddressSpace = 200LL << 20});
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, "lumenquilla-render: not enough memory for a 3000 x 2000 picture\n");
    }
    EXPECT_EQ(FileBytes(File("out.jpg")), "the user's older picture");
    EXPECT_EQ(Files(), before);

    // A JPEG is measured by its header, before its picture is allocated.
    TBitmap large(6000, 4000);
    large.FillWhite();
    WriteJpegFile(File("large.jpg"), large, 90);
    const TRun run = Run({"--no-effect", File("large.jpg"), File("large.bmp")}, {.AddressSpace = 64LL << 20});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("not enough memory for a 6000 x 4000 picture"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(File("large.bmp")));
}

TEST_F(RenderTest, HelpPrintsTheUsageAndSucceeds)
{
    const TRun run = Run({"--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out.rfind("Usage: lumenquilla-render [OPTIONS] INPUT OUTPUT\n", 0), 0u) << run.Out;
    for (const char* option :
         {"--preset", "--sketch-out", "--color-out", "--project-out", "--no-effect", "--threads", "--quiet"})
        EXPECT_NE(run.Out.find(option), std::string::npos) << option;
}

// A write that fails half way (here a file size limit, as a full disk would)
// leaves any older file of that name as it was and no temporary file behind.
TEST_F(RenderTest, AFailedWriteKeepsTheOldFileAndEndsWithStatus1)
{
    const std::string in = PutPhoto("in.bmp", Photo(80, 60));
    PutFileBytes(File("out.bmp"), "the user's older picture");
    const std::set<std::string> before = Files();
    const TRun run = Run({"--no-effect", in, File("out.bmp")}, {.FileSize = 4096});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
    EXPECT_EQ(FileBytes(File("out.bmp")), "the user's older picture");
    EXPECT_EQ(Files(), before);
}

TEST_F(RenderTest, ADamagedJpegIsRenderedAfterAWarning)
{
    const TBitmap photo = Photo(64, 64);
    WriteJpegFile(File("whole.jpg"), photo, 90);
    const std::string whole = FileBytes(File("whole.jpg"));
    PutFileBytes(File("cut.jpg"), whole.substr(0, whole.size() * 2 / 3));

    const TRun run = Run({"-p", PutSettings("s.set", Settings()), File("cut.jpg"), File("out.jpg")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "lumenquilla-render: warning: " + File("cut.jpg") + " is damaged: Premature end of JPEG file\n");
    EXPECT_EQ(ReadJpegFile(File("out.jpg")).Width(), 64);
}

TEST_F(RenderTest, AProjectHoldsBothLayersThePhotoAndTheEffectsLayerSettings)
{
    const TBitmap photo = Photo(33, 21);
    const std::string in = PutPhoto("in.bmp", photo);
    struct TCase {
        int BlendMode, Opacity;
        TLayerState Expected;
    };
    const TCase cases[] = {
        {1, 77, {true, true, true, true, BlendMultiply, 77}},
        {2, 30, {true, true, true, true, BlendOpacity, 30}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.BlendMode);
        TEffectSettings settings = Settings();
        settings.BlendMode = c.BlendMode;
        settings.Opacity = c.Opacity;
        const TRun run =
            Run({"-p", PutSettings("p.set", settings), "--project-out", File("result.p2c"), in, File("out.jpg")});
        EXPECT_SUCCESS(run);

        TDocument document;
        // Layer settings other than the ones the file must bring.
        document.LayerState = {false, false, false, false, 5, 3};
        ASSERT_NO_THROW(ReadProjectFile(File("result.p2c"), document));
        const TLayers expected = ExpectedLayers(settings, photo);
        EXPECT_SAME_PICTURE(document.SketchLayer, expected.Sketch);
        EXPECT_SAME_PICTURE(document.ColorLayer, expected.Color);
        EXPECT_SAME_PICTURE(document.SourceBitmap, photo);
        EXPECT_EQ(document.LayerState, c.Expected);
    }
}

TEST_F(RenderTest, OneThreadAndTwoGiveTheSamePictureBitForBit)
{
    // Large enough for the rows to be shared out, with average scaling, which
    // runs beside the sketch when there are threads to spare.
    const std::string in = PutPhoto("in.bmp", Photo(320, 200));
    const std::string preset = PutSettings("s.set", Settings());
    for (const char* threads : {"1", "2"}) {
        const std::string tag = threads;
        const TRun run = Run({"-j", threads, "-p", preset, "--sketch-out", File("s" + tag + ".bmp"), "--color-out",
                              File("c" + tag + ".bmp"), in, File("out" + tag + ".bmp")});
        EXPECT_SUCCESS(run);
    }
    for (const char* name : {"s", "c", "out"})
        EXPECT_EQ(FileBytes(File(std::string(name) + "1.bmp")), FileBytes(File(std::string(name) + "2.bmp"))) << name;
}

// Ctrl-C during the computation stops it: no output, no temporary file, and
// the status a shell expects of an interrupted program.
TEST_F(RenderTest, AnInterruptStopsTheRenderWithoutWritingAnything)
{
    // A wide median over a noisy picture takes seconds; the signal comes
    // long before the end.
    const std::string in = PutPhoto("in.bmp", Photo(4000, 3000));
    TEffectSettings slow = Settings();
    slow.ColorSmooth = 19;
    const std::string preset = PutSettings("slow.set", slow);
    const std::set<std::string> before = Files();

    TChildProcess child(Renderer, {"-p", preset, "--sketch-out", File("s.bmp"), in, File("out.jpg")},
                        dir_ + ".interrupted");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    child.Signal(SIGINT);
    EXPECT_EQ(child.Wait(), 128 + SIGINT);
    EXPECT_EQ(child.Error(), "lumenquilla-render: interrupted\n");
    fs::remove(dir_ + ".interrupted.out");
    fs::remove(dir_ + ".interrupted.err");
    EXPECT_EQ(Files(), before);
}

} // namespace

namespace {

// Ctrl-C at any moment of a run with three outputs: either every old file
// stays (and the run says it was interrupted) or every output is new (and
// the run succeeded); never a mixed set.
TEST_F(RenderTest, AnInterruptLeavesAllOutputsOldOrAllNew)
{
    const std::string in = PutPhoto("in.bmp", Photo(1200, 900));
    const std::string preset = PutSettings("s.set", Settings());
    const std::vector<std::string> outputs = {File("out.bmp"), File("s.bmp"), File("c.bmp")};
    const std::vector<std::string> args = {"-p",       preset, "--sketch-out", outputs[1], "--color-out",
                                           outputs[2], in,     outputs[0]};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Run(args).Status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int interrupted = 0, finished = 0;
    for (int i = 1; i <= 12; ++i) {
        SCOPED_TRACE(i);
        for (const std::string& out : outputs)
            PutFileBytes(out, "old");
        TChildProcess child(Renderer, args, dir_ + ".signal");
        // From the start to past the end: the write phase sits near the end.
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds * (0.5 + i * 0.05)));
        child.Signal(SIGINT);
        const int status = child.Wait();
        int old = 0;
        for (const std::string& out : outputs)
            old += FileBytes(out) == "old";
        if (status == 0) {
            EXPECT_EQ(old, 0);
            ++finished;
        } else {
            EXPECT_EQ(status, 128 + SIGINT);
            EXPECT_EQ(old, 3);
            ++interrupted;
        }
        fs::remove(dir_ + ".signal.out");
        fs::remove(dir_ + ".signal.err");
    }
    for (const auto& name : Files())
        EXPECT_EQ(name.find(".lumenquilla-"), std::string::npos) << "a temporary file stayed: " << name;
    RecordProperty("interrupted", interrupted);
    RecordProperty("finished", finished);
}

} // namespace
