#include "settings/ColorRowFit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double ToneCurve = 1.3;
constexpr int Cells = TColourCounts::CellsPerChannel;
// Sweeps of the boundary search; it settles in two or three.
constexpr int MostSweeps = 8;

// The tone of each cell's middle level.
const std::array<double, Cells>& CellTones()
{
    static const std::array<double, Cells> tones = [] {
        std::array<double, Cells> t{};
        for (int c = 0; c < Cells; ++c)
            t[c] = std::pow((c * TColourCounts::CellLevels + TColourCounts::CellLevels / 2 - 0.5) / 255.0,
                            1.0 / ToneCurve);
        return t;
    }();
    return tones;
}

// The band of each cell of a channel under `boundaries`.
std::array<int, Cells> CellBands(const std::vector<int>& boundaries)
{
    std::array<int, Cells> bands{};
    const int last = std::max<int>(int(boundaries.size()) - 2, 0);
    for (int c = 0; c < Cells; ++c) {
        const double middle = c * TColourCounts::CellLevels + TColourCounts::CellLevels / 2 - 0.5;
        int band = 0;
        while (band + 1 < int(boundaries.size()) && boundaries[band + 1] <= middle)
            ++band;
        bands[c] = std::min(band, last);
    }
    return bands;
}

} // namespace

double ToneOfLevel(int level)
{
    // A table: the boundary search asks for the same 256 tones many times.
    static const std::array<double, 256> tones = [] {
        std::array<double, 256> t{};
        for (int v = 0; v < 256; ++v)
            t[std::size_t(v)] = std::pow(v / 255.0, 1.0 / ToneCurve);
        return t;
    }();
    return tones[std::size_t(std::clamp(level, 0, 255))];
}

int LevelOfTone(double tone) { return int(std::lround(255.0 * std::pow(std::clamp(tone, 0.0, 1.0), ToneCurve))); }

TColourCounts::TColourCounts()
    : counts_(std::size_t(Cells) * Cells * Cells, 0)
{
}

void TColourCounts::Add(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    ++counts_[(std::size_t(blue / CellLevels) * Cells + green / CellLevels) * Cells + red / CellLevels];
    ++total_;
    below_.clear();
}

namespace {

constexpr int Corners = Cells + 1;

std::size_t Corner(int blue, int green, int red) { return (std::size_t(blue) * Corners + green) * Corners + red; }

} // namespace

const std::vector<TColourCounts::TSums>& TColourCounts::Below() const
{
    if (!below_.empty())
        return below_;
    const std::array<double, Cells>& tone = CellTones();
    below_.assign(std::size_t(Corners) * Corners * Corners, TSums{});
    squares_ = 0;
    for (int b = 0; b < Cells; ++b)
        for (int g = 0; g < Cells; ++g)
            for (int r = 0; r < Cells; ++r) {
                const double n = counts_[(std::size_t(b) * Cells + g) * Cells + r];
                below_[Corner(b + 1, g + 1, r + 1)] = {n, n * tone[b], n * tone[g], n * tone[r]};
                squares_ += n * (tone[b] * tone[b] + tone[g] * tone[g] + tone[r] * tone[r]);
            }
    // Running sums along red, then green, then blue.
    auto accumulate = [&](std::size_t from, std::size_t to) {
        TSums& s = below_[to];
        const TSums& p = below_[from];
        s.Count += p.Count;
        s.Blue += p.Blue;
        s.Green += p.Green;
        s.Red += p.Red;
    };
    for (int b = 1; b < Corners; ++b)
        for (int g = 1; g < Corners; ++g)
            for (int r = 2; r < Corners; ++r)
                accumulate(Corner(b, g, r - 1), Corner(b, g, r));
    for (int b = 1; b < Corners; ++b)
        for (int g = 2; g < Corners; ++g)
            for (int r = 1; r < Corners; ++r)
                accumulate(Corner(b, g - 1, r), Corner(b, g, r));
    for (int b = 2; b < Corners; ++b)
        for (int g = 1; g < Corners; ++g)
            for (int r = 1; r < Corners; ++r)
                accumulate(Corner(b - 1, g, r), Corner(b, g, r));
    return below_;
}

// The sums of the cells blue[0] <= b < blue[1], and so on.
TColourCounts::TSums TColourCounts::BoxSums(const int (&blue)[2], const int (&green)[2], const int (&red)[2]) const
{
    const std::vector<TSums>& p = Below();
    TSums box;
    for (int i = 0; i < 8; ++i) {
        const int b = blue[(i >> 2) & 1], g = green[(i >> 1) & 1], r = red[i & 1];
        // Inclusion and exclusion: a corner counts with the sign of how many
        // of its coordinates are box starts.
        const double sign = (((i >> 2) ^ (i >> 1) ^ i) & 1) ? 1.0 : -1.0;
        const TSums& c = p[Corner(b, g, r)];
        box.Count += sign * c.Count;
        box.Blue += sign * c.Blue;
        box.Green += sign * c.Green;
        box.Red += sign * c.Red;
    }
    return box;
}

double TColourCounts::SpreadWithin(const std::vector<int>& boundaries) const
{
    if (Empty())
        return 0.0;
    const std::array<int, Cells> band = CellBands(boundaries);
    const int bands = std::max<int>(int(boundaries.size()) - 1, 1);
    // A band's cells run from its start to the next band's; bands never
    // come in decreasing order along the cells.
    std::vector<int> start(std::size_t(bands) + 1);
    for (int k = 0; k <= bands; ++k)
        start[std::size_t(k)] = int(std::lower_bound(band.begin(), band.end(), k) - band.begin());
    start[0] = 0;
    Below();
    double explained = 0;
    for (int kb = 0; kb < bands; ++kb)
        for (int kg = 0; kg < bands; ++kg)
            for (int kr = 0; kr < bands; ++kr) {
                const int blue[2] = {start[kb], start[kb + 1]};
                const int green[2] = {start[kg], start[kg + 1]};
                const int red[2] = {start[kr], start[kr + 1]};
                if (blue[0] == blue[1] || green[0] == green[1] || red[0] == red[1])
                    continue;
                const TSums s = BoxSums(blue, green, red);
                if (s.Count > 0.5)
                    explained += (s.Blue * s.Blue + s.Green * s.Green + s.Red * s.Red) / s.Count;
            }
    return std::max(0.0, squares_ - explained);
}

namespace {

// Every pair of cell edges for the two boundaries of a three-band row.
// Whether every band of the row is at least `width` wide in the tone scale.
bool WideEnough(const std::vector<int>& boundaries, double width)
{
    for (std::size_t k = 1; k < boundaries.size(); ++k)
        if (ToneOfLevel(boundaries[k]) - ToneOfLevel(boundaries[k - 1]) < width - 1e-12)
            return false;
    return true;
}

std::vector<int> BestPair(const TColourCounts& colours, std::vector<int> best, double spread, double width)
{
    std::vector<int> trial = best;
    for (int a = trial[0] + 1; a < trial[3]; ++a) {
        if (a % TColourCounts::CellLevels != 0)
            continue;
        for (int b = a + TColourCounts::CellLevels; b < trial[3]; b += TColourCounts::CellLevels) {
            trial[1] = a;
            trial[2] = b;
            if (!WideEnough(trial, width))
                continue;
            const double s = colours.SpreadWithin(trial);
            if (s < spread * (1.0 - 1e-9)) {
                spread = s;
                best = trial;
            }
        }
    }
    return best;
}

} // namespace

std::vector<int> LeastSpreadBoundaries(const TColourCounts& colours, const std::vector<int>& boundaries,
                                       double narrowestBand)
{
    std::vector<int> best = boundaries;
    if (best.size() < 3 || colours.Empty())
        return best;
    double spread = colours.SpreadWithin(best);
    // Three bands, the cartoon's: every pair is tried.
    if (best.size() == 4)
        return BestPair(colours, best, spread, narrowestBand);
    for (int sweep = 0; sweep < MostSweeps; ++sweep) {
        bool moved = false;
        for (std::size_t k = 1; k + 1 < best.size(); ++k) {
            const int low = best[k - 1] + 1, high = best[k + 1] - 1;
            const int kept = best[k];
            int chosen = kept;
            for (int edge =
                     (low + TColourCounts::CellLevels - 1) / TColourCounts::CellLevels * TColourCounts::CellLevels;
                 edge <= high; edge += TColourCounts::CellLevels) {
                best[k] = edge;
                if (!WideEnough(best, narrowestBand))
                    continue;
                const double s = colours.SpreadWithin(best);
                // Only a clear gain moves a boundary, so that rounding in the
                // sums never decides.
                if (s < spread * (1.0 - 1e-9)) {
                    spread = s;
                    chosen = edge;
                }
            }
            best[k] = chosen;
            moved = moved || chosen != kept;
        }
        if (!moved)
            break;
    }
    return best;
}

std::vector<std::uint8_t> MovedRow(const std::vector<std::uint8_t>& row, const std::vector<int>& target, double weight)
{
    std::vector<std::uint8_t> moved = row;
    const int count = row.empty() ? 0 : row[0];
    if (count < 3 || int(row.size()) < count + 1 || int(target.size()) != count)
        return moved;
    for (int k = 1; k < count; ++k)
        if (row[1 + k] <= row[k])
            return moved; // not a row the colouring step can read in order
    const double w = std::clamp(weight, 0.0, 1.0);
    const int last = row[count];
    for (int k = 1; k + 1 < count; ++k) {
        const double tone = (1.0 - w) * ToneOfLevel(row[1 + k]) + w * ToneOfLevel(target[k]);
        // Strictly between its neighbours, with room left for the boundaries
        // still to come before the last one.
        const int low = moved[k] + 1, high = last - (count - 1 - k);
        moved[1 + k] = std::uint8_t(std::clamp(LevelOfTone(tone), low, high));
    }
    return moved;
}
