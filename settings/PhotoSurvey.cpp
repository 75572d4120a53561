#include "settings/PhotoSurvey.h"

#include "engine/GaussianBlur.h"
#include "engine/Region.h"
#include "engine/Sketch.h"
#include "picture/Bitmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// About one pixel in so many is sampled for the levels and colours, within
// these bounds: only colour renders read them, and those cost far more per
// pixel than a sketch.
constexpr double PixelsPerLevelSample = 16.0;
constexpr double FewestLevelSamples = 8192.0;
constexpr double MostLevelSamples = 32768.0;
// Noise: about one pixel in so many is sampled, within these bounds, so that
// the survey costs the same small share of a sketch-only render (the
// cheapest) on every photo but the smallest. The samples lie along rows
// spread over the picture, as densely as the count allows but on at least
// and at most so many rows: a few dense rows read less memory than many
// sparse ones, and after a render the photo is no longer in the cache.
// Points of light are looked for at every pixel of those rows.
constexpr int FewestDetailRows = 16;
constexpr int MostDetailRows = 96;
constexpr double PixelsPerDetailSample = 192.0;
constexpr double FewestDetailSamples = 4096.0;
constexpr double MostDetailSamples = 40960.0;
// The edge survey measures tiles of this size spread over the picture, each
// computed with an apron as wide as the smoothing reaches, within these
// bounds of measured pixels. Each measured pixel costs about what the
// sketch's own pass costs for two.
constexpr int TileWidth = 48;
constexpr int TileHeight = 24;
constexpr double FewestMeasured = 3072.0;
constexpr double MostMeasured = 32768.0;

int Luma(const std::uint8_t* p) { return (p[0] * 29 + p[1] * 150 + p[2] * 77) >> 8; }

void SurveyLevels(const TBitmap& photo, TPhotoSurvey& survey)
{
    const double pixels = double(photo.Width()) * photo.Height();
    const double samples = std::clamp(pixels / PixelsPerLevelSample, FewestLevelSamples, MostLevelSamples);
    const int step = std::max(1, int(std::sqrt(pixels / samples)));
    for (int y = step / 2; y < photo.Height(); y += step) {
        const std::uint8_t* row = photo.ScanLine(y);
        for (int x = step / 2; x < photo.Width(); x += step) {
            const std::uint8_t* p = row + std::size_t(x) * 3;
            ++survey.Levels[p[0]];
            ++survey.Levels[p[1]];
            ++survey.Levels[p[2]];
            survey.Colours.Add(p[0], p[1], p[2]);
        }
    }
    for (std::uint32_t n : survey.Levels)
        survey.LevelCount += n;
}

void SurveyNoiseAndPoints(const TBitmap& photo, TPhotoSurvey& survey)
{
    if (photo.Width() < 9 || photo.Height() < 9)
        return;
    const int usable = photo.Height() - 8;
    const double samples = std::clamp(double(photo.Width()) * photo.Height() / PixelsPerDetailSample,
                                      FewestDetailSamples, MostDetailSamples);
    const int denseRows = int(std::lround(samples / (photo.Width() - 8)));
    const int rows = std::min(usable, std::clamp(denseRows, FewestDetailRows, MostDetailRows));
    const int step = std::max(1, int(double(photo.Width() - 8) * rows / samples));
    // |4c - l - r - u - d| lies in 0..1020: a histogram gives its median
    // without sorting.
    std::array<std::uint32_t, 1021> flatSteps{};
    std::uint64_t flatCount = 0;
    std::uint64_t points = 0, scanned = 0;
    std::vector<std::uint8_t> luma(std::size_t(photo.Width()));
    for (int i = 0; i < rows; ++i) {
        const int y = 4 + int(std::int64_t(i) * usable / rows);
        const std::uint8_t* up4 = photo.ScanLine(y - 4);
        const std::uint8_t* up = photo.ScanLine(y - 1);
        const std::uint8_t* row = photo.ScanLine(y);
        const std::uint8_t* down = photo.ScanLine(y + 1);
        const std::uint8_t* down4 = photo.ScanLine(y + 4);
        for (int x = 0; x < photo.Width(); ++x)
            luma[std::size_t(x)] = std::uint8_t(Luma(row + std::size_t(x) * 3));
        const std::uint8_t* l = luma.data();
        // Noise, at every step-th pixel: where the picture is flat, what is
        // left of the Laplacian is noise.
        for (int x = 4; x + 4 < photo.Width(); x += step) {
            const std::size_t i3 = std::size_t(x) * 3;
            const int c = l[x], left = l[x - 1], right = l[x + 1];
            const int u = Luma(up + i3), d = Luma(down + i3);
            if (std::abs(right - left) + std::abs(d - u) < 12) {
                ++flatSteps[std::size_t(std::abs(4 * c - left - right - u - d))];
                ++flatCount;
            }
        }
        // Points of light, at every pixel of the row, so that a photo's few
        // stars are counted steadily: a local maximum at least 40 levels
        // brighter than every pixel of a ring four pixels out, all of them
        // dark (60 at most). The row's own pixels rule out nearly all.
        for (int x = 4; x + 4 < photo.Width(); ++x) {
            const int c = l[x];
            const int ringLimit = std::min(60, c - 40);
            if (ringLimit < 0 || c < l[x - 1] || c < l[x + 1] || l[x - 4] > ringLimit || l[x + 4] > ringLimit)
                continue;
            const std::size_t i3 = std::size_t(x) * 3;
            if (c >= Luma(up + i3) && c >= Luma(down + i3) && Luma(up4 + i3) <= ringLimit &&
                Luma(down4 + i3) <= ringLimit && Luma(up4 + i3 - 12) <= ringLimit &&
                Luma(up4 + i3 + 12) <= ringLimit && Luma(down4 + i3 - 12) <= ringLimit &&
                Luma(down4 + i3 + 12) <= ringLimit)
                ++points;
        }
        scanned += std::uint64_t(photo.Width() - 8);
    }
    if (flatCount > 0) {
        // The element at flatCount / 2 in sorted order.
        std::uint64_t below = 0;
        int median = 0;
        while (below + flatSteps[std::size_t(median)] <= flatCount / 2)
            below += flatSteps[std::size_t(median++)];
        // The median absolute Laplacian of Gaussian noise of deviation s is
        // about 3 s (its deviation is sqrt(20) s).
        survey.Noise = median / 3.0;
    }
    if (scanned > 0)
        survey.PointLightShare = double(points) / double(scanned);
}

// The measured tiles of the edge survey: a grid as square as the picture
// allows, each tile centred in its cell; a small picture is one tile.
std::vector<TRegion> EdgeTiles(int width, int height, double share)
{
    const double pixels = double(width) * height;
    const double measured = std::clamp(pixels * share, FewestMeasured, MostMeasured);
    const int tiles = int(std::ceil(measured / (TileWidth * TileHeight)));
    if (double(tiles) * TileWidth * TileHeight * 2 >= pixels)
        return {TRegion{0, 0, width, height}};
    const int columns = std::clamp(int(std::lround(std::sqrt(tiles * double(width) / height))), 1, tiles);
    const int rows = (tiles + columns - 1) / columns;
    std::vector<TRegion> result;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const int w = std::min(TileWidth, width), h = std::min(TileHeight, height);
            const int cx = int((std::int64_t(2 * i + 1) * width) / (2 * columns));
            const int cy = int((std::int64_t(2 * j + 1) * height) / (2 * rows));
            result.push_back({std::clamp(cx - w / 2, 0, width - w), std::clamp(cy - h / 2, 0, height - h), w, h});
        }
    return result;
}

} // namespace

int TPhotoSurvey::LevelAt(double share) const
{
    const double wanted = share * double(LevelCount);
    double below = 0.0;
    for (int v = 0; v < 256; ++v) {
        below += Levels[v];
        if (below > wanted)
            return v;
    }
    return 255;
}

TPhotoSurvey SurveyPhoto(const TBitmap& photo, bool withLevels)
{
    TPhotoSurvey survey;
    survey.Width = photo.Width();
    survey.Height = photo.Height();
    if (photo.Empty())
        return survey;
    if (withLevels)
        SurveyLevels(photo, survey);
    SurveyNoiseAndPoints(photo, survey);
    return survey;
}

int TEdgeSurvey::CreditForShare(double share) const
{
    for (std::size_t v = 0; v < ShareAtLeast.size(); ++v)
        if (ShareAtLeast[v] <= share)
            return int(v);
    return int(ShareAtLeast.size());
}

TEdgeSurvey SurveyEdges(const TBitmap& photo, double smoothRadius, double measuredShare)
{
    TEdgeSurvey survey;
    if (photo.Empty())
        return survey;
    int apron = 2;
    if (smoothRadius > 0.0) {
        TGaussKernel kernel;
        BuildGaussKernel(kernel, smoothRadius, 255.0, 1.0);
        apron += kernel.Size;
    }
    std::vector<std::uint64_t> counts(survey.ShareAtLeast.size(), 0);
    std::uint64_t measured = 0;
    TSketch sketch;
    for (const TRegion& tile : EdgeTiles(photo.Width(), photo.Height(), measuredShare)) {
        const int left = std::max(0, tile.Left - apron), top = std::max(0, tile.Top - apron);
        const int right = std::min(photo.Width(), tile.Left + tile.Width + apron);
        const int bottom = std::min(photo.Height(), tile.Top + tile.Height + apron);
        sketch.LoadPicture(&photo, left, top, right - left, bottom - top);
        if (!sketch.RenderEdges(smoothRadius, 0.0))
            break;
        for (int y = tile.Top; y < tile.Top + tile.Height; ++y) {
            const std::int32_t* credits = sketch.Values() + std::size_t(y - top) * sketch.Width() - left;
            for (int x = tile.Left; x < tile.Left + tile.Width; ++x) {
                ++counts[std::min<std::size_t>(std::size_t(std::max(credits[x], 0)), counts.size() - 1)];
                ++measured;
            }
        }
    }
    if (measured > 0) {
        std::uint64_t atLeast = measured;
        for (std::size_t v = 0; v < counts.size(); ++v) {
            survey.ShareAtLeast[v] = float(double(atLeast) / double(measured));
            atLeast -= counts[v];
        }
    }
    return survey;
}
