#include "engine/ToneTables.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

std::uint8_t ClampByte(std::int64_t v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

void BuildOffsetTable(int offset, std::uint8_t table[256])
{
    for (int i = 0; i < 256; ++i)
        table[i] = ClampByte(std::int64_t(i) + offset);
}

// K for saturation 0..127. The steps are not all even (688, 1659, 2015 stand
// out), but pictures made with these values must come out the same.
constexpr std::uint16_t SaturationFactors[128] = {
    255,  263,  271,  279,  287,   295,   303,   311,   319,   327,   335,   343,   351,   359,   367,   375,
    383,  391,  399,  407,  415,   423,   431,   439,   447,   463,   479,   495,   511,   527,   543,   559,
    575,  591,  607,  623,  639,   655,   671,   688,   703,   719,   735,   751,   767,   783,   799,   815,
    831,  847,  863,  879,  895,   911,   927,   943,   959,   975,   991,   1007,  1023,  1055,  1087,  1119,
    1151, 1183, 1215, 1247, 1279,  1311,  1343,  1375,  1407,  1439,  1471,  1503,  1535,  1567,  1659,  1631,
    1663, 1695, 1727, 1759, 1791,  1823,  1855,  1887,  1919,  2015,  1952,  1983,  2047,  2176,  2303,  2431,
    2559, 2687, 2815, 2943, 3071,  3199,  3327,  3455,  3583,  3711,  3839,  3967,  4095,  4531,  4607,  5119,
    5631, 6143, 7167, 8191, 10239, 12287, 14335, 16383, 20479, 24575, 28671, 32767, 40959, 49151, 57343, 65535,
};

} // namespace

void BuildOffsetTables(int red, int green, int blue, TChannelTables& tables)
{
    BuildOffsetTable(blue, tables.Blue);
    BuildOffsetTable(green, tables.Green);
    BuildOffsetTable(red, tables.Red);
}

int ContrastFactor(int contrast)
{
    contrast = std::clamp(contrast, -ContrastLimit, ContrastLimit);
    return contrast < 0 ? contrast : contrast * (contrast + 16) / 17;
}

void BuildContrastTable(int contrast, std::uint8_t table[256])
{
    constexpr int Pivot = 253;
    const std::int64_t k = ContrastFactor(contrast);
    for (int i = 0; i < 256; ++i) {
        std::int64_t d = std::abs(Pivot + 1 - i) * k / 256; // truncates toward zero, also for k < 0
        table[i] = ClampByte(i < Pivot ? i - d : i + d);
    }
}

void BuildContrastTables(int contrast, TChannelTables& tables)
{
    BuildContrastTable(contrast, tables.Blue);
    std::memcpy(tables.Green, tables.Blue, 256);
    std::memcpy(tables.Red, tables.Blue, 256);
}

int SaturationFactor(int saturation)
{
    saturation = std::clamp(saturation, -SaturationLimit, SaturationLimit);
    return saturation < 0 ? (saturation + 127) * 2 : SaturationFactors[saturation];
}

void BuildSaturationTables(int saturation, TSaturationTables& tables)
{
    const std::uint32_t k = std::uint32_t(SaturationFactor(saturation));
    for (std::uint32_t i = 0; i < 256; ++i)
        tables.A[i] = std::uint16_t(i * k / 256);
    for (int s = 0; s < 768; ++s)
        tables.G[s] = s / 3 - tables.A[s / 3];
}

bool IsIdentity(const TChannelTables& tables)
{
    for (int i = 0; i < 256; ++i)
        if (tables.Blue[i] != i || tables.Green[i] != i || tables.Red[i] != i)
            return false;
    return true;
}

void MapChannels(const std::uint8_t* source, std::uint8_t* destination, int pixels, const TChannelTables& tables)
{
    for (int i = 0; i < pixels; ++i) {
        const std::uint8_t* s = source + std::size_t(i) * 3;
        std::uint8_t* d = destination + std::size_t(i) * 3;
        d[0] = tables.Blue[s[0]];
        d[1] = tables.Green[s[1]];
        d[2] = tables.Red[s[2]];
    }
}

void Saturate(const std::uint8_t* source, std::uint8_t* destination, int pixels, const TSaturationTables& tables)
{
    for (int i = 0; i < pixels; ++i) {
        const std::uint8_t* s = source + std::size_t(i) * 3;
        std::uint8_t* d = destination + std::size_t(i) * 3;
        int b = s[0], g = s[1], r = s[2];
        int grey = tables.G[b + g + r];
        d[0] = ClampByte(tables.A[b] + grey);
        d[1] = ClampByte(tables.A[g] + grey);
        d[2] = ClampByte(tables.A[r] + grey);
    }
}
