#include "settings/FitToPhoto.h"

#include "picture/PictureDecoders.h"
#include "picture/PictureKind.h"
#include "settings/ColorRowFit.h"
#include "settings/EffectControls.h"
#include "settings/PhotoSurvey.h"
#include "settings/SettingsFile.h"
#include "tests/picture/PictureFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

// A repeatable pseudo-random byte stream.
struct TNumbers {
    std::uint32_t State;
    std::uint8_t Next()
    {
        State = State * 1664525u + 1013904223u;
        return std::uint8_t(State >> 24);
    }
};

TBitmap Filled(int width, int height, const std::function<void(int x, int y, std::uint8_t* bgr)>& pixel)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixel(x, y, picture.ScanLine(y) + std::size_t(x) * 3);
    return picture;
}

TBitmap OneColour(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    return Filled(width, height, [&](int, int, std::uint8_t* p) { p[0] = b, p[1] = g, p[2] = r; });
}

// Squares of two levels, `step` apart around `middle`, with a little noise.
TBitmap Blocks(int width, int height, int middle, int step, int block = 40)
{
    TNumbers numbers{7};
    return Filled(width, height, [&](int x, int y, std::uint8_t* p) {
        const int level = middle + (((x / block) + (y / block)) % 2 ? step / 2 : -step / 2) + numbers.Next() % 3;
        p[0] = p[1] = p[2] = std::uint8_t(std::clamp(level, 0, 255));
    });
}

// Black sky with points of light of three pixels across, every 20 pixels.
TBitmap StarField(int width, int height)
{
    TNumbers numbers{11};
    return Filled(width, height, [&](int x, int y, std::uint8_t* p) {
        const bool star = (x % 20 < 3) && (y % 20 < 3) && ((x / 20 + y / 20) % 2 == 0);
        const std::uint8_t noise = numbers.Next() % 8;
        p[0] = p[1] = p[2] = std::uint8_t(star ? 230 : noise);
    });
}

// A 16-bit photo of a narrow range (a scientific camera's), as the PNG reader
// brings it to 8 bits: nearly every sample on one or two levels.
TBitmap SixteenBitNarrow()
{
    TPngPicture png;
    png.width = 120;
    png.height = 80;
    png.depth = 16;
    png.colorType = 0;
    for (int y = 0; y < png.height; ++y)
        for (int x = 0; x < png.width; ++x)
            png.samples.push_back(std::uint16_t(1000 + x * 3 + y));
    const TBytes bytes = EncodePng(png);
    return DecodePicture(TPictureKind::Png, bytes.data(), bytes.size(), "narrow.png");
}

std::unique_ptr<TEffectSettings> Preset(const char* name)
{
    auto settings = std::make_unique<TEffectSettings>();
    if (std::strcmp(name, "designed") == 0)
        *settings = DesignedSettings();
    else if (!ReadSettingsFile(std::string(LQ_PROGRAM_DIR) + "/" + name + ".set", *settings))
        throw std::runtime_error(std::string("no shipped preset ") + name);
    return settings;
}

const char* const PresetNames[] = {"designed", "cartoon", "sketch", "linedrawing", "canvas"};

std::vector<std::uint8_t> Row(const TEffectSettings& s, int scale)
{
    const std::uint8_t* row = s.ColorTable + std::size_t(scale - 1) * ColorTableRowSize;
    return std::vector<std::uint8_t>(row, row + 1 + row[0]);
}

TEST(FitToPhoto, GivesAValidRecordOfThePresetsKindForAnyPhoto)
{
    struct TCase {
        const char* Name;
        std::function<TBitmap()> Make;
    };
    const TCase cases[] = {
        {"black", [] { return OneColour(64, 48, 0, 0, 0); }},
        {"white", [] { return OneColour(64, 48, 255, 255, 255); }},
        {"one colour", [] { return OneColour(64, 48, 90, 30, 200); }},
        {"1 x 1", [] { return OneColour(1, 1, 128, 128, 128); }},
        {"1 x 700", [] { return Blocks(1, 700, 128, 100); }},
        {"700 x 2", [] { return Blocks(700, 2, 128, 100); }},
        {"16-bit narrow", SixteenBitNarrow},
        {"noise",
         [] {
             TNumbers n{3};
             return Filled(300, 200,
                           [&](int, int, std::uint8_t* p) { p[0] = n.Next(), p[1] = n.Next(), p[2] = n.Next(); });
         }},
        {"star field", [] { return StarField(400, 300); }},
        {"huge", [] { return Blocks(7000, 4000, 120, 60, 500); }},
    };
    for (const TCase& c : cases) {
        const TBitmap photo = c.Make();
        for (const char* name : PresetNames) {
            SCOPED_TRACE(std::string(c.Name) + ", " + name);
            const auto preset = Preset(name);
            const auto fitted = std::make_unique<TEffectSettings>(FitToPhoto(*preset, photo));
            // Inside every control's range: loading it into the dialogs
            // changes nothing.
            auto limited = std::make_unique<TEffectSettings>(*fitted);
            LimitToControls(*limited);
            EXPECT_EQ(std::memcmp(limited.get(), fitted.get(), sizeof(TEffectSettings)), 0);
            // The preset's kind of picture.
            EXPECT_EQ(+fitted->SketchType, +preset->SketchType);
            EXPECT_EQ(+fitted->ScaleType, +preset->ScaleType);
            EXPECT_EQ(+fitted->ColorScale, +preset->ColorScale);
            EXPECT_EQ(+fitted->BlendMode, +preset->BlendMode);
            EXPECT_EQ(+fitted->Opacity, +preset->Opacity);
            EXPECT_EQ(fitted->DrawSketch, preset->DrawSketch);
            EXPECT_EQ(fitted->DrawColor, preset->DrawColor);
            // Only the row in use may move; it keeps its count and ends and
            // stays strictly ascending.
            for (int scale = 1; scale <= ColorTableRows; ++scale) {
                const auto before = Row(*preset, scale), after = Row(*fitted, scale);
                if (scale != preset->ColorScale) {
                    EXPECT_EQ(after, before) << "row " << scale;
                    continue;
                }
                ASSERT_EQ(after.size(), before.size());
                EXPECT_EQ(after[1], before[1]);
                EXPECT_EQ(after.back(), before.back());
                for (std::size_t k = 2; k < after.size(); ++k)
                    EXPECT_LT(after[k - 1], after[k]) << "boundary " << k - 1;
            }
        }
    }
}

TEST(FitToPhoto, TheSamePhotoAndPresetAlwaysGiveTheSameRecord)
{
    const TBitmap photo = Blocks(900, 600, 60, 30);
    const TBitmap copy = photo;
    for (const char* name : PresetNames) {
        const auto preset = Preset(name);
        const auto first = std::make_unique<TEffectSettings>(FitToPhoto(*preset, photo));
        const auto second = std::make_unique<TEffectSettings>(FitToPhoto(*preset, copy));
        EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof(TEffectSettings)), 0) << name;
    }
}

TEST(FitToPhoto, AdaptsWhatDependsOnThePhoto)
{
    const auto cartoon = Preset("cartoon");
    const auto row = Row(*cartoon, cartoon->ColorScale);

    // A dim photo: the bands move down into its levels, and its colours are
    // lifted.
    const auto dim = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, Blocks(800, 600, 35, 40)));
    const auto dimRow = Row(*dim, dim->ColorScale);
    for (std::size_t k = 2; k + 1 < row.size(); ++k)
        EXPECT_LT(dimRow[k], row[k]) << "boundary " << k - 1;
    EXPECT_GT(+dim->Brightness, +cartoon->Brightness);

    // Weak edges draw with more gain; edges as strong as a daylight photo's
    // keep the preset's.
    const auto weak = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, Blocks(800, 600, 128, 12)));
    EXPECT_GT(+weak->Darkness, +cartoon->Darkness);
    const auto usual = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, Blocks(1600, 1000, 128, 60, 8)));
    EXPECT_EQ(+usual->Darkness, +cartoon->Darkness);

    // A larger photo of the same scene is smoothed further.
    const TBitmap small = Blocks(800, 500, 128, 60);
    const TBitmap large = Filled(3200, 2000, [&](int x, int y, std::uint8_t* p) {
        std::memcpy(p, small.ScanLine(y / 4) + std::size_t(x / 4) * 3, 3);
    });
    const auto atSmall = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, small));
    const auto atLarge = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, large));
    EXPECT_GT(+atLarge->SketchSmooth, +atSmall->SketchSmooth);
    EXPECT_GT(+atLarge->ColorSmooth, +atSmall->ColorSmooth);
    EXPECT_GT(+atLarge->BorderBlur, +atSmall->BorderBlur);

    // Stars: the median narrows to keep them, and their outlines fade.
    const auto stars = std::make_unique<TEffectSettings>(FitToPhoto(*cartoon, StarField(1000, 800)));
    EXPECT_EQ(+stars->ColorSmooth, 1);
    EXPECT_LT(+stars->Darkness, +cartoon->Darkness);
}

// Single-pixel stars scattered at `perTenThousand` per 10,000 pixels over a
// dark, slightly noisy sky: the survey's share is the density, within the
// chance spread of the stars its rows happen to cross, on a small photo and a
// mid-size one.
TEST(PhotoSurvey, CountsPointsOfLightAtTheirDensity)
{
    struct TCase {
        int Width, Height;
        double PerTenThousand;
    };
    for (const TCase c : {TCase{512, 512, 3}, TCase{512, 512, 30}, TCase{1920, 1280, 3}, TCase{1920, 1280, 10},
                          TCase{1920, 1280, 30}}) {
        SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Height << ", " << c.PerTenThousand);
        TNumbers numbers{5};
        const TBitmap sky = Filled(c.Width, c.Height, [&](int x, int y, std::uint8_t* p) {
            const std::uint32_t hash = (std::uint32_t(x) * 73856093u) ^ (std::uint32_t(y) * 19349663u);
            const bool star = (hash * 2654435761u) % 10000u < c.PerTenThousand;
            p[0] = p[1] = p[2] = std::uint8_t(star ? 230 : numbers.Next() % 8);
        });
        const TPhotoSurvey survey = SurveyPhoto(sky, false);
        // The rows cross at least 16 x (width - 8) pixels; their stars are a
        // Poisson count.
        const double crossed = 16.0 * (c.Width - 8);
        const double expected = c.PerTenThousand * 1e-4 * crossed;
        EXPECT_NEAR(survey.PointLightShare * 1e4, c.PerTenThousand,
                    (3.0 * std::sqrt(expected) + 1.0) / crossed * 1e4);
    }
}

TColourCounts Colours(std::initializer_list<std::array<int, 3>> bgrs, int each = 100)
{
    TColourCounts colours;
    for (const auto& bgr : bgrs)
        for (int i = 0; i < each; ++i)
            colours.Add(std::uint8_t(bgr[0]), std::uint8_t(bgr[1]), std::uint8_t(bgr[2]));
    return colours;
}

TEST(ColorRowFit, BoundariesMoveToKeepThePhotosColoursApart)
{
    // Three greys that the designed row already keeps apart: nothing moves.
    const TColourCounts greys = Colours({{40, 40, 40}, {130, 130, 130}, {220, 220, 220}});
    EXPECT_EQ(greys.SpreadWithin({0, 63, 155, 255}), 0.0);
    EXPECT_EQ(LeastSpreadBoundaries(greys, {0, 63, 155, 255}), (std::vector<int>{0, 63, 155, 255}));
    // A row that puts them all into its last band moves until they are
    // apart, for three bands and for more.
    EXPECT_GT(greys.SpreadWithin({0, 20, 30, 255}), 0.0);
    const std::vector<int> apart = LeastSpreadBoundaries(greys, {0, 20, 30, 255});
    EXPECT_EQ(greys.SpreadWithin(apart), 0.0);
    EXPECT_EQ(apart.front(), 0);
    EXPECT_EQ(apart.back(), 255);
    for (std::size_t k = 1; k < apart.size(); ++k)
        EXPECT_LT(apart[k - 1], apart[k]);
    const std::vector<int> fourBands = LeastSpreadBoundaries(greys, {0, 20, 150, 200, 255});
    EXPECT_EQ(greys.SpreadWithin(fourBands), 0.0);

    // Yellow beside a grey of a similar brightness: a boundary above the
    // yellow's green and red would make them one region of one colour, as
    // averaging joins colours whose channels share their bands.
    const TColourCounts yellowOnGrey = Colours({{0, 190, 200}, {110, 110, 110}});
    EXPECT_GT(yellowOnGrey.SpreadWithin({0, 210, 255}), 0.0);
    const std::vector<int> kept = LeastSpreadBoundaries(yellowOnGrey, {0, 210, 255});
    EXPECT_EQ(yellowOnGrey.SpreadWithin(kept), 0.0);

    // No colours, or no interior boundary: nothing to move.
    EXPECT_EQ(LeastSpreadBoundaries(TColourCounts(), {0, 63, 155, 255}), (std::vector<int>{0, 63, 155, 255}));
    EXPECT_EQ(LeastSpreadBoundaries(greys, {0, 255}), (std::vector<int>{0, 255}));
}

// The spread by its definition: every sample's distance (in the tone scale
// of its 8-level cell's middle) from the mean of its class, squared and
// summed, where a channel's band is the last boundary at or below the cell's
// middle, held to the row's bands.
double SpreadByDefinition(const std::vector<std::array<int, 3>>& samples, const std::vector<int>& boundaries)
{
    const int bands = std::max<int>(int(boundaries.size()) - 1, 1);
    auto cellMiddle = [](int level) { return level / 8 * 8 + 3.5; };
    auto band = [&](int level) {
        int k = 0;
        while (k + 1 < int(boundaries.size()) && boundaries[std::size_t(k + 1)] <= cellMiddle(level))
            ++k;
        return std::min(k, bands - 1);
    };
    auto tone = [&](int level) { return std::pow(cellMiddle(level) / 255.0, 1.0 / 1.3); };
    std::vector<std::array<double, 4>> sums(std::size_t(bands * bands * bands));
    auto classOf = [&](const std::array<int, 3>& c) {
        return std::size_t((band(c[0]) * bands + band(c[1])) * bands + band(c[2]));
    };
    for (const auto& c : samples) {
        auto& sum = sums[classOf(c)];
        for (int i = 0; i < 3; ++i)
            sum[std::size_t(i)] += tone(c[std::size_t(i)]);
        sum[3] += 1;
    }
    double spread = 0;
    for (const auto& c : samples) {
        const auto& sum = sums[classOf(c)];
        for (int i = 0; i < 3; ++i) {
            const double d = tone(c[std::size_t(i)]) - sum[std::size_t(i)] / sum[3];
            spread += d * d;
        }
    }
    return spread;
}

TEST(ColorRowFit, SpreadIsTheSpreadOfTheClasses)
{
    TNumbers numbers{3};
    std::vector<std::array<int, 3>> samples;
    TColourCounts colours;
    for (int i = 0; i < 3000; ++i) {
        // Clustered and scattered colours, and the ends of the range.
        const int base = (i % 3) * 90;
        const std::array<int, 3> c = {std::min(255, base + numbers.Next() % 60), numbers.Next(),
                                      i % 7 == 0 ? 255 : std::min(255, base + numbers.Next() % 30)};
        samples.push_back(c);
        colours.Add(std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]));
    }
    for (const std::vector<int>& boundaries :
         {std::vector<int>{0, 63, 155, 255}, std::vector<int>{0, 20, 50, 85, 123, 164, 208, 255},
          std::vector<int>{0, 255}, std::vector<int>{0, 7, 9, 100, 101, 255}, std::vector<int>{0, 250, 251, 252, 255},
          std::vector<int>{30, 60, 200}}) {
        SCOPED_TRACE(testing::PrintToString(boundaries));
        const double expected = SpreadByDefinition(samples, boundaries);
        EXPECT_NEAR(colours.SpreadWithin(boundaries), expected, 1e-9 * std::max(1.0, expected));
    }
}

TEST(ColorRowFit, AMovedRowKeepsItsEndsAndItsOrder)
{
    const std::vector<std::uint8_t> row = {4, 0, 63, 155, 255};
    EXPECT_EQ(MovedRow(row, {0, 21, 121, 255}, 0.0), row);
    EXPECT_EQ(MovedRow(row, {0, 21, 121, 255}, 1.0), (std::vector<std::uint8_t>{4, 0, 21, 121, 255}));
    // Half way in the tone scale, not in levels.
    const auto half = MovedRow(row, {0, 21, 121, 255}, 0.5);
    EXPECT_EQ(+half[2], LevelOfTone((ToneOfLevel(63) + ToneOfLevel(21)) / 2));
    // Targets that collide still give ascending boundaries inside the ends.
    const std::vector<std::uint8_t> five = {5, 10, 40, 80, 120, 200};
    EXPECT_EQ(MovedRow(five, {10, 250, 250, 250, 200}, 1.0), (std::vector<std::uint8_t>{5, 10, 197, 198, 199, 200}));
    EXPECT_EQ(MovedRow(five, {10, 0, 0, 0, 200}, 1.0), (std::vector<std::uint8_t>{5, 10, 11, 12, 13, 200}));
    // A row the colouring step cannot read in order is left alone.
    const std::vector<std::uint8_t> disordered = {4, 0, 155, 63, 255};
    EXPECT_EQ(MovedRow(disordered, {0, 21, 121, 255}, 1.0), disordered);
}

} // namespace
