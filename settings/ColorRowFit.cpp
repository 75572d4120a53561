#include "settings/ColorRowFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double ToneCurve = 1.3;

// Prefix sums of the counts, and of the counts times the tone and its square,
// so that the spread of any run of levels costs three subtractions.
class TLevelSums {
public:
    explicit TLevelSums(const std::array<std::uint32_t, 256>& levels)
    {
        for (int v = 0; v < 256; ++v) {
            const double w = levels[v], x = ToneOfLevel(v);
            count_[v + 1] = count_[v] + w;
            sum_[v + 1] = sum_[v] + w * x;
            squares_[v + 1] = squares_[v] + w * x * x;
        }
    }
    // The spread of the levels a..b-1 around their mean (the sum of squared
    // distances).
    double Spread(int a, int b) const
    {
        const double n = count_[b] - count_[a];
        if (n <= 0)
            return 0.0;
        const double s = sum_[b] - sum_[a];
        return std::max(0.0, squares_[b] - squares_[a] - s * s / n);
    }

private:
    std::array<double, 257> count_{}, sum_{}, squares_{};
};

} // namespace

double ToneOfLevel(int level) { return std::pow(std::clamp(level, 0, 255) / 255.0, 1.0 / ToneCurve); }

int LevelOfTone(double tone) { return int(std::lround(255.0 * std::pow(std::clamp(tone, 0.0, 1.0), ToneCurve))); }

std::vector<int> LeastSpreadCuts(const std::array<std::uint32_t, 256>& levels, int cuts)
{
    cuts = std::clamp(cuts, 0, 255);
    const TLevelSums sums(levels);
    const int classes = cuts + 1;
    constexpr double Unreached = std::numeric_limits<double>::infinity();
    // best[c][b]: the least spread of levels 0..b-1 in c classes; from[c][b]:
    // where its last class starts.
    std::vector<std::array<double, 257>> best(classes + 1);
    std::vector<std::array<int, 257>> from(classes + 1);
    for (auto& row : best)
        row.fill(Unreached);
    for (int b = 1; b <= 256; ++b)
        best[1][b] = sums.Spread(0, b);
    for (int c = 2; c <= classes; ++c)
        for (int b = c; b <= 256; ++b)
            for (int a = c - 1; a < b; ++a) {
                const double spread = best[c - 1][a] + sums.Spread(a, b);
                // Strictly less: among equal splits the earliest boundary
                // wins, so the answer does not depend on rounding noise.
                if (spread < best[c][b]) {
                    best[c][b] = spread;
                    from[c][b] = a;
                }
            }
    std::vector<int> result(cuts);
    int end = 256;
    for (int c = classes; c >= 2; --c) {
        end = from[c][end];
        result[c - 2] = end;
    }
    return result;
}

double SpreadWithin(const std::array<std::uint32_t, 256>& levels, const std::vector<int>& boundaries)
{
    const TLevelSums sums(levels);
    double spread = 0.0;
    int start = 0;
    for (int boundary : boundaries) {
        const int b = std::clamp(boundary, start, 256);
        spread += sums.Spread(start, b);
        start = b;
    }
    return spread + sums.Spread(start, 256);
}

std::vector<std::uint8_t> MovedRow(const std::vector<std::uint8_t>& row, const std::vector<int>& cuts, double weight)
{
    std::vector<std::uint8_t> moved = row;
    const int count = row.empty() ? 0 : row[0];
    if (count < 3 || int(row.size()) < count + 1 || int(cuts.size()) != count - 2)
        return moved;
    for (int k = 1; k < count; ++k)
        if (row[1 + k] <= row[k])
            return moved; // not a row the colouring step can read in order
    const double w = std::clamp(weight, 0.0, 1.0);
    const int last = row[count];
    for (int k = 1; k + 1 < count; ++k) {
        const double tone = (1.0 - w) * ToneOfLevel(row[1 + k]) + w * ToneOfLevel(cuts[k - 1]);
        // Strictly between its neighbours, with room left for the boundaries
        // still to come before the last one.
        const int low = moved[k] + 1, high = last - (count - 1 - k);
        moved[1 + k] = std::uint8_t(std::clamp(LevelOfTone(tone), low, high));
    }
    return moved;
}
