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

// About this many pixels are sampled for the levels, and for noise and
// points of light, whatever the photo's size: enough for the shares the fit
// reads, and a small part of a render's work.
constexpr double LevelSamples = 32768.0;
constexpr double DetailSamples = 40960.0;
constexpr int DetailRows = 96;
// The edge survey measures tiles of this size spread over the picture, each
// computed with an apron as wide as the smoothing reaches: about this share
// of the pixels, within these bounds.
constexpr int TileWidth = 48;
constexpr int TileHeight = 24;
constexpr double MeasuredShare = 0.008;
constexpr double FewestMeasured = 3072.0;
constexpr double MostMeasured = 32768.0;

int Luma(const std::uint8_t* p) { return (p[0] * 29 + p[1] * 150 + p[2] * 77) >> 8; }

void SurveyLevels(const TBitmap& photo, TPhotoSurvey& survey)
{
    const double pixels = double(photo.Width()) * photo.Height();
    const int step = std::max(1, int(std::sqrt(pixels / LevelSamples)));
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
    const int rows = std::min(usable, DetailRows);
    const int step = std::max(1, int(double(photo.Width() - 8) * rows / DetailSamples));
    // |4c - l - r - u - d| lies in 0..1020: a histogram gives its median
    // without sorting.
    std::array<std::uint32_t, 1021> flatSteps{};
    std::uint64_t flatCount = 0;
    std::uint64_t points = 0, sampled = 0;
    for (int i = 0; i < rows; ++i) {
        const int y = 4 + int(std::int64_t(i) * usable / rows);
        const std::uint8_t* up4 = photo.ScanLine(y - 4);
        const std::uint8_t* up = photo.ScanLine(y - 1);
        const std::uint8_t* row = photo.ScanLine(y);
        const std::uint8_t* down = photo.ScanLine(y + 1);
        const std::uint8_t* down4 = photo.ScanLine(y + 4);
        for (int x = 4; x + 4 < photo.Width(); x += step) {
            const std::size_t i3 = std::size_t(x) * 3;
            const int c = Luma(row + i3);
            const int l = Luma(row + i3 - 3), r = Luma(row + i3 + 3), u = Luma(up + i3), d = Luma(down + i3);
            // Where the picture is flat, what is left of the Laplacian is noise.
            if (std::abs(r - l) + std::abs(d - u) < 12) {
                ++flatSteps[std::size_t(std::abs(4 * c - l - r - u - d))];
                ++flatCount;
            }
            ++sampled;
            if (c >= l && c >= r && c >= u && c >= d) {
                const int ring =
                    std::max({Luma(row + i3 - 12), Luma(row + i3 + 12), Luma(up4 + i3), Luma(down4 + i3),
                              Luma(up4 + i3 - 12), Luma(up4 + i3 + 12), Luma(down4 + i3 - 12), Luma(down4 + i3 + 12)});
                if (c - ring >= 40 && ring <= 60)
                    ++points;
            }
        }
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
    if (sampled > 0)
        survey.PointLightShare = double(points) / double(sampled);
}

// The measured tiles of the edge survey: a grid as square as the picture
// allows, each tile centred in its cell; a small picture is one tile.
std::vector<TRegion> EdgeTiles(int width, int height)
{
    const double pixels = double(width) * height;
    const double measured = std::clamp(pixels * MeasuredShare, FewestMeasured, MostMeasured);
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

TPhotoSurvey SurveyPhoto(const TBitmap& photo)
{
    TPhotoSurvey survey;
    survey.Width = photo.Width();
    survey.Height = photo.Height();
    if (photo.Empty())
        return survey;
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

TEdgeSurvey SurveyEdges(const TBitmap& photo, double smoothRadius)
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
    for (const TRegion& tile : EdgeTiles(photo.Width(), photo.Height())) {
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
