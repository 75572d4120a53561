// Speed of JPEG files: decoding and encoding a sample photo, turning a picture
// upright, and what the worst hostile files cost before the reader's bounds
// stop them.
#include "picture/FileError.h"
#include "picture/JpegFile.h"
#include "picture/Orientation.h"
#include "tests/picture/JpegFixtures.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

const TBytes& Storm()
{
    static const TBytes file = ReadWholeFile(std::string(LQ_PHOTO_DIR) + "/storm.jpg");
    return file;
}

void SetPixels(benchmark::State& state, const TBitmap& picture)
{
    state.SetItemsProcessed(state.iterations() * std::int64_t(picture.Width()) * picture.Height());
}

void DecodeStorm(benchmark::State& state)
{
    TBitmap picture;
    for (auto _ : state)
        picture = DecodeJpeg(Storm().data(), Storm().size(), "storm.jpg");
    SetPixels(state, picture);
}
BENCHMARK(DecodeStorm)->Unit(benchmark::kMillisecond);

void EncodeStorm(benchmark::State& state)
{
    const TBitmap picture = DecodeJpeg(Storm().data(), Storm().size(), "storm.jpg");
    for (auto _ : state) {
        std::ostringstream out;
        WriteJpeg(out, picture);
        benchmark::DoNotOptimize(out.str().size());
    }
    SetPixels(state, picture);
}
BENCHMARK(EncodeStorm)->Unit(benchmark::kMillisecond);

// Orientation 6 is the usual phone photo; 3 walks rows, 6 walks columns.
void TurnStormUpright(benchmark::State& state)
{
    const TBitmap picture = DecodeJpeg(Storm().data(), Storm().size(), "storm.jpg");
    for (auto _ : state) {
        TBitmap copy = picture;
        benchmark::DoNotOptimize(ApplyOrientation(std::move(copy), int(state.range(0))).Bits());
    }
    SetPixels(state, picture);
}
BENCHMARK(TurnStormUpright)->Arg(1)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

// A small progressive file whose last scan is repeated `scans` times.
TBytes RepeatedScans(int side, int scans, std::size_t padding)
{
    TJpegFixture f;
    f.width = f.height = 16;
    f.samples.assign(16 * 16 * 3, 90);
    f.progressive = true;
    TBytes file = EncodeFixture(f);
    TSegment last{};
    for (const TSegment& s : Segments(file)) {
        if (s.marker == 0xC2) {
            file[s.begin + 5] = file[s.begin + 7] = std::uint8_t(side >> 8);
            file[s.begin + 6] = file[s.begin + 8] = std::uint8_t(side);
        }
        if (s.marker == 0xDA)
            last = s;
    }
    const TBytes copy(file.begin() + std::ptrdiff_t(last.begin), file.begin() + std::ptrdiff_t(last.end));
    for (int i = 10; i < scans; ++i)
        file.insert(file.begin() + std::ptrdiff_t(last.end), copy.begin(), copy.end());
    file.resize(file.size() + padding);
    return file;
}

void Hostile(benchmark::State& state, const TBytes& file)
{
    for (auto _ : state) {
        try {
            std::string warning;
            benchmark::DoNotOptimize(DecodeJpeg(file.data(), file.size(), "hostile.jpg", &warning).Bits());
        } catch (const TFileError&) {
        }
    }
    state.counters["file bytes"] = double(file.size());
}

// 20000 scans of a 16 x 16 picture: refused after 256.
void RefuseRepeatedScans(benchmark::State& state) { Hostile(state, RepeatedScans(16, 20000, 0)); }
BENCHMARK(RefuseRepeatedScans)->Unit(benchmark::kMillisecond);

// The worst a file of 1.5 MB can cost: 16384 x 16384 pixels, padded to pass
// the one-bit-a-block floor; decoded (damaged) with its 10 scans, or stopped
// after the 32 scans allowed at this size.
void HostileLargestPicture(benchmark::State& state)
{
    Hostile(state, RepeatedScans(16384, int(state.range(0)), 16384 / 8 * 16384 / 8 * 3 / 2 / 8));
}
BENCHMARK(HostileLargestPicture)->Arg(10)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
