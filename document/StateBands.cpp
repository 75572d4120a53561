#include "document/StateBands.h"

#include "document/StateBytes.h"
#include "picture/FileError.h"
#include "picture/LittleEndian.h"

#include <zstd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char IndexMagic[8] = {'L', 'Q', 's', 't', 'a', 't', 'e', '3'};
constexpr char LegacyMagic[8] = {'L', 'Q', 's', 't', 'a', 't', 'e', '2'};
constexpr char BandMagic[8] = {'L', 'Q', 'b', 'a', 'n', 'd', '1', 0};
constexpr const char* BandPrefix = "band-";
constexpr std::size_t BandTarget = 256 * 1024;

// Index: magic, layer settings, three sizes, three band heights, three band
// counts, then 16 bytes a key, then a check value of all of that.
constexpr std::size_t LayersAt = 8;
constexpr std::size_t SizesAt = 16;
constexpr std::size_t RowsAt = 40;
constexpr std::size_t CountsAt = 52;
constexpr std::size_t KeysAt = 64;
// Band file: magic, key, width, rows, then a zstd frame of the rows.
constexpr std::size_t BandHeader = 32;

// Two 64-bit lanes of multiply and rotate over the rows' bytes (not their
// padding), eight at a time, then mixed with the band's shape.
class TBandHash {
public:
    void Add(const std::uint8_t* p, std::size_t size)
    {
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            Word(word);
        }
        std::uint64_t tail = 0;
        for (std::size_t k = 0; i + k < size; ++k)
            tail |= std::uint64_t(p[i + k]) << (8 * k);
        Word(tail ^ (std::uint64_t(size - i) << 59));
    }
    TBandKey Key(int width, int rows) const
    {
        const std::uint64_t shape = std::uint64_t(std::uint32_t(width)) << 32 | std::uint32_t(rows);
        return TBandKey{Final(A ^ shape, 0xff51afd7ed558ccdull), Final(B + shape, 0xc4ceb9fe1a85ec53ull)};
    }

private:
    void Word(std::uint64_t word)
    {
        A = std::rotl((A ^ word) * 0x9E3779B97F4A7C15ull, 27);
        B = std::rotl((B + word) * 0xC2B2AE3D27D4EB4Full, 31) ^ A;
    }
    static std::uint64_t Final(std::uint64_t h, std::uint64_t k)
    {
        h ^= h >> 33;
        h *= k;
        h ^= h >> 29;
        h *= 0x94D049BB133111EBull;
        return h ^ (h >> 32);
    }
    std::uint64_t A = 0x243F6A8885A308D3ull;
    std::uint64_t B = 0x13198A2E03707344ull;
};

int BandCount(int height, int rows) { return rows > 0 ? (height + rows - 1) / rows : 0; }

TBandKey KeyOfBand(const TBitmap& picture, int first, int rows)
{
    TBandHash hash;
    for (int y = first; y < first + rows; ++y)
        hash.Add(picture.ScanLine(y), std::size_t(picture.Width()) * 3);
    return hash.Key(picture.Width(), rows);
}

// Each row filtered as a state file's are; the band's first row has nothing
// above, so that a band decodes on its own.
void FilterBand(const TBitmap& picture, int first, int rows, std::vector<std::uint8_t>& out)
{
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    out.resize(bytes * std::size_t(rows));
    std::vector<std::uint8_t> vertical(bytes);
    for (int r = 0; r < rows; ++r)
        FilterRow(picture.ScanLine(first + r), r > 0 ? picture.ScanLine(first + r - 1) : nullptr, vertical.data(),
                  out.data() + bytes * std::size_t(r), bytes);
}

void UnfilterBand(const std::uint8_t* in, TBitmap& picture, int first, int rows)
{
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* row = picture.ScanLine(first + r);
        std::memcpy(row, in + bytes * std::size_t(r), bytes);
        UnfilterRow(row, r > 0 ? picture.ScanLine(first + r - 1) : nullptr, bytes);
    }
}

std::string WholeFile(int fd, const std::string& name, std::size_t limit)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw TFileError("Cannot read " + name + ": " + std::strerror(errno));
    if (std::uint64_t(info.st_size) > limit)
        throw TFileError(name + " is damaged: it is too long");
    std::string bytes(std::size_t(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw TFileError("Cannot read " + name + ": " + std::strerror(errno));
        if (got == 0)
            throw TFileError(name + " is truncated");
        done += std::size_t(got);
    }
    return bytes;
}

void ReadBand(int dirFd, const TBandKey& key, TBitmap& picture, int first, int rows, ZSTD_DCtx* context,
              std::vector<std::uint8_t>& raw, const std::string& folder)
{
    const std::string fileName = BandFileName(key);
    const std::string shown = folder + "/" + fileName;
    const int fd = ::openat(dirFd, fileName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw TFileError("Cannot open " + shown + ": " + std::strerror(errno));
    const std::size_t bytes = std::size_t(picture.Width()) * 3 * std::size_t(rows);
    std::string file;
    try {
        file = WholeFile(fd, shown, BandHeader + ZSTD_compressBound(bytes));
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
    if (file.size() < BandHeader || std::memcmp(p, BandMagic, sizeof BandMagic) != 0 || GetLe64(p + 8) != key.High ||
        GetLe64(p + 16) != key.Low || GetLe32(p + 24) != std::uint32_t(picture.Width()) ||
        GetLe32(p + 28) != std::uint32_t(rows))
        throw TFileError(shown + " is not the band its state names");
    raw.resize(bytes);
    const std::size_t size =
        ZSTD_decompressDCtx(context, raw.data(), raw.size(), p + BandHeader, file.size() - BandHeader);
    if (ZSTD_isError(size) || size != bytes)
        throw TFileError(shown + " is damaged" +
                         (ZSTD_isError(size) ? std::string(": ") + ZSTD_getErrorName(size) : ""));
    UnfilterBand(raw.data(), picture, first, rows);
    if (KeyOfBand(picture, first, rows) != key)
        throw TFileError(shown + " is damaged: its pixels do not match its name");
}

} // namespace

std::string BandFileName(const TBandKey& key)
{
    static const char Digits[] = "0123456789abcdef";
    std::string name = BandPrefix;
    for (const std::uint64_t half : {key.High, key.Low})
        for (int shift = 60; shift >= 0; shift -= 4)
            name += Digits[(half >> shift) & 0xF];
    return name;
}

bool IsBandFileName(const std::string& name)
{
    return name.size() == 5 + 32 && name.rfind(BandPrefix, 0) == 0 &&
           name.find_first_not_of("0123456789abcdef", 5) == std::string::npos;
}

int BandRows(int width) { return std::max(1, int(BandTarget / (std::size_t(std::max(width, 1)) * 3))); }

std::vector<TBandKey> BandKeys(const TBitmap& picture)
{
    std::vector<TBandKey> keys;
    if (picture.Empty())
        return keys;
    const int rows = BandRows(picture.Width());
    for (int first = 0; first < picture.Height(); first += rows)
        keys.push_back(KeyOfBand(picture, first, std::min(rows, picture.Height() - first)));
    return keys;
}

std::vector<TBandKey> WriteStateBands(const TFolderWriter& writeFile, const std::string& indexName,
                                      const THistoryState& state, std::set<TBandKey>& present,
                                      std::vector<TBandKey>& written, const std::string& shown)
{
    std::unique_ptr<ZSTD_CCtx, TZstdFree> context(ZSTD_createCCtx());
    if (!context)
        throw std::bad_alloc();
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_compressionLevel, 1);
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_checksumFlag, 1);
    std::vector<TBandKey> keys;
    std::vector<std::uint8_t> raw, packed;
    std::vector<std::uint8_t> index(KeysAt);
    std::memcpy(index.data(), IndexMagic, sizeof IndexMagic);
    PutLayerBytes(index.data() + LayersAt, state.Layers);
    for (int i = 0; i < 3; ++i) {
        const TBitmap& picture = PictureOf(state, i);
        const int rows = BandRows(picture.Width());
        PutLe32(index.data() + SizesAt + 8 * i, std::uint32_t(picture.Width()));
        PutLe32(index.data() + SizesAt + 8 * i + 4, std::uint32_t(picture.Height()));
        PutLe32(index.data() + RowsAt + 4 * i, std::uint32_t(rows));
        const std::vector<TBandKey> bands = BandKeys(picture);
        PutLe32(index.data() + CountsAt + 4 * i, std::uint32_t(bands.size()));
        for (std::size_t b = 0; b < bands.size(); ++b) {
            const TBandKey& key = bands[b];
            keys.push_back(key);
            if (present.count(key) != 0)
                continue;
            const int first = int(b) * rows;
            const int count = std::min(rows, picture.Height() - first);
            FilterBand(picture, first, count, raw);
            packed.resize(BandHeader + ZSTD_compressBound(raw.size()));
            const std::size_t size = ZSTD_compress2(context.get(), packed.data() + BandHeader,
                                                    packed.size() - BandHeader, raw.data(), raw.size());
            const std::string name = BandFileName(key);
            if (ZSTD_isError(size))
                throw TFileError("Cannot write " + shown + "/" + name + ": " + ZSTD_getErrorName(size));
            std::memcpy(packed.data(), BandMagic, sizeof BandMagic);
            PutLe64(packed.data() + 8, key.High);
            PutLe64(packed.data() + 16, key.Low);
            PutLe32(packed.data() + 24, std::uint32_t(picture.Width()));
            PutLe32(packed.data() + 28, std::uint32_t(count));
            writeFile(name, [&](int fd) { WriteAll(fd, packed.data(), BandHeader + size, shown + "/" + name); });
            present.insert(key);
            written.push_back(key);
        }
    }
    for (const TBandKey& key : keys) {
        std::uint8_t bytes[16];
        PutLe64(bytes, key.High);
        PutLe64(bytes + 8, key.Low);
        index.insert(index.end(), bytes, bytes + 16);
    }
    std::uint8_t check[8];
    PutLe64(check, Fnv1a(index.data(), index.size()));
    index.insert(index.end(), check, check + 8);
    writeFile(indexName, [&](int fd) { WriteAll(fd, index.data(), index.size(), shown + "/" + indexName); });
    return keys;
}

void ReadStateBands(int dirFd, int fd, THistoryState& state, const std::string& name)
{
    std::uint8_t magic[8] = {};
    if (::pread(fd, magic, sizeof magic, 0) == ssize_t(sizeof magic) &&
        std::memcmp(magic, LegacyMagic, sizeof magic) == 0) {
        ReadStateFile(fd, state, name);
        return;
    }
    // An index names at most a few thousand bands.
    const std::string file = WholeFile(fd, name, 16 << 20);
    const auto* p = reinterpret_cast<const std::uint8_t*>(file.data());
    if (file.size() < sizeof IndexMagic || std::memcmp(p, IndexMagic, sizeof IndexMagic) != 0)
        throw TFileError(name + " is not a history state of this program");
    if (file.size() < KeysAt + 8 || (file.size() - KeysAt - 8) % 16 != 0)
        throw TFileError(name + " is truncated");
    if (GetLe64(p + file.size() - 8) != Fnv1a(p, file.size() - 8))
        throw TFileError(name + " is damaged: it does not match its check value");

    const TLayerState settings = LayersFromBytes(p + LayersAt);

    std::vector<TBandKey> bands[3];
    int rows[3];
    std::size_t at = KeysAt;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t width = GetLe32(p + SizesAt + 8 * i), height = GetLe32(p + SizesAt + 8 * i + 4);
        rows[i] = int(GetLe32(p + RowsAt + 4 * i));
        const std::uint32_t count = GetLe32(p + CountsAt + 4 * i);
        const int expected = width == 0 || height == 0 ? 0 : BandCount(int(height), rows[i]);
        if (!TBitmap::SizeAllowed(width, height) || rows[i] < 1 || count != std::uint32_t(expected) ||
            at + 16 * std::size_t(count) > file.size() - 8)
            throw TFileError(name + " is damaged: it states a picture of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels");
        for (std::uint32_t b = 0; b < count; ++b, at += 16)
            bands[i].push_back(TBandKey{GetLe64(p + at), GetLe64(p + at + 8)});
        TBitmap& picture = PictureOf(state, i);
        if (picture.Width() != int(width) || picture.Height() != int(height))
            picture = TBitmap(int(width), int(height));
    }
    if (at != file.size() - 8)
        throw TFileError(name + " is damaged: it is too long");
    if (state.Sketch.Width() != state.Color.Width() || state.Sketch.Height() != state.Color.Height())
        throw TFileError(name + " is damaged: its two layers differ in size");

    // The three pictures side by side; a band the buffer holds already (the
    // photo and most of the layers, when stepping between neighbouring
    // states) is kept as it is.
    const std::string folder = name.substr(0, name.rfind('/'));
    ForEachPictureAtOnce([&](int i) {
        std::unique_ptr<ZSTD_DCtx, TZstdFree> context(ZSTD_createDCtx());
        if (!context)
            throw std::bad_alloc();
        TBitmap& picture = PictureOf(state, i);
        std::vector<std::uint8_t> raw;
        for (std::size_t b = 0; b < bands[i].size(); ++b) {
            const int first = int(b) * rows[i];
            const int count = std::min(rows[i], picture.Height() - first);
            if (KeyOfBand(picture, first, count) != bands[i][b])
                ReadBand(dirFd, bands[i][b], picture, first, count, context.get(), raw, folder);
        }
    });
    state.Layers = settings;
}
