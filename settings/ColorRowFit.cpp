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

double ToneOfLevel(int level) { return std::pow(std::clamp(level, 0, 255) / 255.0, 1.0 / ToneCurve); }

int LevelOfTone(double tone) { return int(std::lround(255.0 * std::pow(std::clamp(tone, 0.0, 1.0), ToneCurve))); }

TColourCounts::TColourCounts()
    : counts_(std::size_t(Cells) * Cells * Cells, 0)
{
}

void TColourCounts::Add(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    ++counts_[(std::size_t(blue / CellLevels) * Cells + green / CellLevels) * Cells + red / CellLevels];
    ++total_;
    usedValid_ = false;
}

const std::vector<TColourCounts::TCell>& TColourCounts::Used() const
{
    if (!usedValid_) {
        used_.clear();
        for (std::size_t i = 0; i < counts_.size(); ++i)
            if (counts_[i])
                used_.push_back({int(i), counts_[i]});
        usedValid_ = true;
    }
    return used_;
}

double TColourCounts::SpreadWithin(const std::vector<int>& boundaries) const
{
    const std::array<int, Cells> band = CellBands(boundaries);
    const std::array<double, Cells>& tone = CellTones();
    const int bands = std::max<int>(int(boundaries.size()) - 1, 1);
    struct TSums {
        double Count = 0, Blue = 0, Green = 0, Red = 0;
    };
    std::vector<TSums> classes(std::size_t(bands) * bands * bands);
    double squares = 0;
    for (const TCell& cell : Used()) {
        const int b = cell.Index / (Cells * Cells), g = (cell.Index / Cells) % Cells, r = cell.Index % Cells;
        const double n = cell.Count;
        TSums& sums = classes[(std::size_t(band[b]) * bands + band[g]) * bands + band[r]];
        sums.Count += n;
        sums.Blue += n * tone[b];
        sums.Green += n * tone[g];
        sums.Red += n * tone[r];
        squares += n * (tone[b] * tone[b] + tone[g] * tone[g] + tone[r] * tone[r]);
    }
    double explained = 0;
    for (const TSums& s : classes)
        if (s.Count > 0)
            explained += (s.Blue * s.Blue + s.Green * s.Green + s.Red * s.Red) / s.Count;
    return std::max(0.0, squares - explained);
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
