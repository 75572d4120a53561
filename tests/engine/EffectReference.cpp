#include "tests/engine/EffectReference.h"

#include "engine/GaussianBlur.h"
#include "engine/ToneTables.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Reference {

TBytes RegionOf(const TBitmap& picture, int left, int top, int width, int height)
{
    TBytes out(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            out[(std::size_t(y) * width) * 3 + x] = picture.ScanLine(top + y)[left * 3 + x];
    return out;
}

namespace {

std::uint8_t ToByte(double v)
{
    if (v >= 255)
        return 255;
    if (v < 0)
        return 0;
    return std::uint8_t(std::trunc(v));
}

} // namespace

void BlurRows(const TBytes& source, TBytes& destination, int width, int height, double radius)
{
    TGaussKernel k;
    BuildGaussKernel(k, radius, 255.0, 1.0);
    std::vector<std::uint8_t> line(std::size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double acc[3] = {0, 0, 0};
            for (int n = -k.Size; n <= k.Size; ++n) {
                int xi = std::clamp(x - n, 0, width - 1);
                for (int c = 0; c < 3; ++c)
                    acc[c] = acc[c] + double(source[(std::size_t(y) * width + xi) * 3 + c]) * double(k.At(n));
            }
            for (int c = 0; c < 3; ++c)
                line[std::size_t(x) * 3 + c] = ToByte(acc[c]);
        }
        std::copy(line.begin(), line.end(), destination.begin() + std::size_t(y) * width * 3);
    }
}

void GaussianBlur(const TBytes& source, TBytes& destination, int width, int height, double radius)
{
    BlurRows(source, destination, width, height, radius);
    TGaussKernel k;
    BuildGaussKernel(k, radius, 255.0, 1.0);
    std::vector<std::uint8_t> line(std::size_t(height) * 3);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            double acc[3] = {0, 0, 0};
            for (int n = -k.Size; n <= k.Size; ++n) {
                int yi = std::clamp(y - n, 0, height - 1);
                for (int c = 0; c < 3; ++c)
                    acc[c] = acc[c] + double(destination[(std::size_t(yi) * width + x) * 3 + c]) * double(k.At(n));
            }
            for (int c = 0; c < 3; ++c)
                line[std::size_t(y) * 3 + c] = ToByte(acc[c]);
        }
        for (int y = 0; y < height; ++y)
            for (int c = 0; c < 3; ++c)
                destination[(std::size_t(y) * width + x) * 3 + c] = line[std::size_t(y) * 3 + c];
    }
}

std::vector<std::int32_t> EdgeSums(const TBytes& pic, int width, int height, double sharpen)
{
    std::vector<std::int32_t> sums(std::size_t(width) * height, 0);
    double s = std::clamp(sharpen, 0.0, 10.0);
    auto round = [](double v) { return int(std::nearbyint(v)); };
    auto at = [&](int x, int y, int c) { return int(pic[(std::size_t(y) * width + x) * 3 + c]); };
    auto addEdge = [&](int x, int y, int amount) { sums[std::size_t(y) * width + x] += amount; };
    // Channel order red, green, blue, as the contributions are listed.
    const int channels[3] = {2, 1, 0};
    for (int y = 1; y <= height - 2; ++y)
        for (int x = 1; x <= width - 2; ++x)
            for (int vertical = 0; vertical < 2; ++vertical)
                for (int ci = 0; ci < 3; ++ci) {
                    int c = channels[ci];
                    int v = at(x, y, c);
                    int nx = vertical ? x : x - 1, ny = vertical ? y - 1 : y;
                    int fx = vertical ? x : x + 1, fy = vertical ? y + 1 : y;
                    int nearValue = at(nx, ny, c), farValue = at(fx, fy, c);
                    if (nearValue < v) {
                        int amount = v - nearValue;
                        if (farValue < v) {
                            int d1 = v - nearValue, d2 = v - farValue;
                            bool twice = vertical || c == 0; // horizontal blue and every vertical
                            if (d2 > d1)
                                amount = twice ? round(round(d2 * s) * s) : round(d2 * s);
                            else
                                amount = round(d1 * s);
                        }
                        addEdge(x, y, amount);
                    } else {
                        addEdge(nx, ny, nearValue - v);
                    }
                }
    return sums;
}

std::vector<std::int32_t> Sketch(const TBitmap& picture, int left, int top, int width, int height,
                                 const TEffectSettings& s)
{
    TBytes inv = RegionOf(picture, left, top, width, height);
    for (auto& b : inv)
        b = std::uint8_t(255 - b);
    double radius = s.SketchSmooth / 20.0;
    if (radius > 0)
        GaussianBlur(inv, inv, width, height, radius);
    std::vector<std::int32_t> v = EdgeSums(inv, width, height, s.Sharper / 5.0);
    for (std::size_t i = 0; i < v.size(); ++i) {
        long long a = (long long)v[i] * s.Darkness / 32 - s.Detail;
        if (s.RemainDark && inv[i * 3] >= 255 - s.RemainThreshold && inv[i * 3 + 1] >= 255 - s.RemainThreshold &&
            inv[i * 3 + 2] >= 255 - s.RemainThreshold && a < 255 - s.RemainDarkness)
            a = 255 - s.RemainDarkness;
        if (a > 255)
            v[i] = 0;
        else if (a < 0)
            v[i] = 255;
        else if (s.SketchType == 1)
            v[i] = a >= 16 ? 0 : 255;
        else if (s.SketchType == 2)
            v[i] = 255 - a > s.WhiteLevel ? 255 : int(255 - a);
        else
            v[i] = int(a);
    }
    return v;
}

namespace {

struct TBands {
    const std::uint8_t* Table;
    int Scale;
    int Index[3];
    int Low[3], High[3];

    int Byte(int offset) const
    {
        long long i = (long long)(Scale - 1) * ColorTableRowSize + offset;
        return i < ColorTableSize ? Table[i] : 0;
    }
    // Looks up the channels of one colour; a channel that matches no pair keeps
    // what it had.
    void Find(const std::uint8_t* colour)
    {
        int n = Byte(0);
        for (int i = 0; i <= n; ++i) {
            int lo = Byte(1 + i), hi = Byte(2 + i);
            for (int c = 0; c < 3; ++c)
                if (lo <= colour[c] && colour[c] < hi) {
                    Index[c] = i;
                    Low[c] = lo;
                    High[c] = hi;
                }
        }
    }
    void Start(const std::uint8_t* table, int scale)
    {
        Table = table;
        Scale = scale;
        std::uint8_t top[3] = {254, 254, 254};
        for (int c = 0; c < 3; ++c) {
            Index[c] = 0;
            Low[c] = Byte(1);
            High[c] = Byte(2);
        }
        Find(top);
    }
};

} // namespace

void ScaleFixed(const TBitmap& picture, int left, int top, int width, int height, const std::uint8_t* table,
                int colorScale, TBytes& scaled)
{
    TBands bands;
    bands.Start(table, colorScale);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = picture.ScanLine(top + y) + (left + x) * 3;
            bands.Find(p);
            for (int c = 0; c < 3; ++c)
                scaled[(std::size_t(y) * width + x) * 3 + c] = std::uint8_t(bands.Byte(1 + bands.Index[c]));
        }
}

void ScaleAverage(const TBitmap& picture, int left, int top, int width, int height, bool scanFromOrigin,
                  const std::uint8_t* table, int colorScale, TBytes& scaled)
{
    const int pw = picture.Width(), ph = picture.Height();
    std::vector<std::uint8_t> visited(std::size_t(pw) * ph, 0);
    TBands bands;
    bands.Start(table, colorScale);
    auto colour = [&](int x, int y) { return picture.ScanLine(y) + x * 3; };
    auto inside = [&](int x, int y) { return x >= left && x < left + width && y >= top && y < top + height; };
    auto output = [&](int x, int y) { return &scaled[(std::size_t(y - top) * width + (x - left)) * 3]; };

    auto fillRegion = [&](int sx, int sy) {
        std::vector<std::pair<int, int>> region;
        bands.Find(colour(sx, sy));
        int lo[3], hi[3];
        for (int c = 0; c < 3; ++c) {
            lo[c] = bands.Low[c];
            hi[c] = bands.High[c];
        }
        bool touches = false;
        std::vector<std::pair<int, int>> frontier{{sx, sy}};
        const int order[8][2] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        while (!frontier.empty()) {
            std::vector<std::pair<int, int>> next;
            for (auto [px, py] : frontier)
                for (auto& d : order) {
                    int nx = px + d[0], ny = py + d[1];
                    if (nx < 0 || ny < 0 || nx >= pw || ny >= ph || visited[std::size_t(ny) * pw + nx])
                        continue;
                    const std::uint8_t* p = colour(nx, ny);
                    bool similar = true;
                    for (int c = 0; c < 3; ++c)
                        similar = similar && lo[c] <= p[c] && p[c] < hi[c];
                    if (!similar)
                        continue;
                    next.push_back({nx, ny});
                    region.push_back({nx, ny});
                    visited[std::size_t(ny) * pw + nx] = 1;
                    touches = touches || inside(nx, ny);
                }
            frontier = std::move(next);
        }
        if (region.empty() || !touches) {
            if (inside(sx, sy))
                std::copy_n(colour(sx, sy), 3, output(sx, sy));
            return;
        }
        std::size_t count = region.size();
        int result[3];
        for (int c = 0; c < 3; ++c)
            result[c] = colour(region[count / 2].first, region[count / 2].second)[c];
        for (std::size_t k = 0; k <= (count - 1) / 2; ++k) {
            const std::uint8_t* f = colour(region[k].first, region[k].second);
            const std::uint8_t* b = colour(region[count - 1 - k].first, region[count - 1 - k].second);
            for (int c = 0; c < 3; ++c)
                result[c] = (((f[c] + b[c]) / 2) + result[c]) / 2;
        }
        for (auto [x, y] : region)
            if (inside(x, y))
                for (int c = 0; c < 3; ++c)
                    output(x, y)[c] = std::uint8_t(result[c]);
        // A seed outside its own limits keeps its own colour.
        if (!visited[std::size_t(sy) * pw + sx] && inside(sx, sy))
            std::copy_n(colour(sx, sy), 3, output(sx, sy));
    };

    int startX = scanFromOrigin ? 0 : left, startY = scanFromOrigin ? 0 : top;
    for (int y = startY; y <= top + height - 1; ++y)
        for (int x = startX; x <= left + width - 1; ++x)
            if (!visited[std::size_t(y) * pw + x])
                fillRegion(x, y);
}

TBytes Smooth(const TBytes& scaled, int width, int height, int radius, int smoothType)
{
    TBytes out = scaled;
    if (radius <= 0)
        return out;
    const int n = 2 * radius + 1;
    auto packed = [&](int x, int y) {
        const std::uint8_t* p = &scaled[(std::size_t(y) * width + x) * 3];
        return std::uint32_t(p[2]) * 65536 + std::uint32_t(p[1]) * 256 + p[0];
    };
    for (int x = radius; x <= width - 1 - radius; ++x) {
        std::vector<std::vector<std::uint32_t>> ring;
        for (int y = radius; y <= height - 1 - radius; ++y) {
            if (ring.empty()) {
                for (int wy = y - radius; wy <= y + radius; ++wy) {
                    ring.emplace_back();
                    for (int wx = x - radius; wx <= x + radius; ++wx)
                        ring.back().push_back(packed(wx, wy));
                }
            } else {
                ring.erase(ring.begin());
                ring.emplace_back();
                for (int wx = x - radius; wx <= x + radius; ++wx)
                    ring.back().push_back(packed(wx, y + radius));
            }
            std::vector<std::uint32_t> window;
            for (auto& row : ring)
                window.insert(window.end(), row.begin(), row.end());
            std::uint32_t chosen;
            if (smoothType == 0) {
                std::nth_element(window.begin(), window.begin() + (n * n - 1) / 2, window.end());
                chosen = window[(n * n - 1) / 2];
            } else {
                chosen = *std::max_element(window.begin(), window.end());
            }
            std::uint8_t* o = &out[(std::size_t(y) * width + x) * 3];
            o[0] = std::uint8_t(chosen & 255);
            o[1] = std::uint8_t((chosen >> 8) & 255);
            o[2] = std::uint8_t(chosen >> 16);
        }
    }
    return out;
}

TBytes ColorLayer(const TBitmap& picture, int left, int top, int width, int height, const TEffectSettings& s)
{
    TBytes scaled = RegionOf(picture, left, top, width, height);
    if (s.ColorScale > 0 && s.ScaleType == 1)
        ScaleFixed(picture, left, top, width, height, s.ColorTable, s.ColorScale, scaled);
    else if (s.ColorScale > 0 && s.ScaleType == 2)
        ScaleAverage(picture, left, top, width, height, s.ScanFromOrigin != 0, s.ColorTable, s.ColorScale, scaled);
    TBytes c = Smooth(scaled, width, height, s.ColorSmooth, s.SmoothType);
    if (s.BorderBlur / 20.0 > 0)
        GaussianBlur(c, c, width, height, s.BorderBlur / 20.0);

    auto clampByte = [](long long v) { return std::uint8_t(std::clamp(v, 0LL, 255LL)); };
    const int contrastK = ContrastFactor(s.Contrast);
    const long long saturationK = SaturationFactor(s.Saturation);
    auto a = [&](int i) { return (long long)(i * saturationK / 256); };
    for (std::size_t i = 0; i < c.size(); i += 3) {
        std::uint8_t* p = &c[i];
        for (int k = 0; k < 3; ++k)
            p[k] = clampByte((long long)p[k] + s.Brightness);
        for (int k = 0; k < 3; ++k) {
            long long d = (long long)std::abs(254 - p[k]) * contrastK / 256;
            p[k] = clampByte(p[k] < 253 ? p[k] - d : p[k] + d);
        }
        int sum = p[0] + p[1] + p[2];
        long long grey = sum / 3 - a(sum / 3);
        for (int k = 0; k < 3; ++k)
            p[k] = clampByte(a(p[k]) + grey);
        p[0] = clampByte((long long)p[0] + s.Blue);
        p[1] = clampByte((long long)p[1] + s.Green);
        p[2] = clampByte((long long)p[2] + s.Red);
    }
    return c;
}

} // namespace Reference
