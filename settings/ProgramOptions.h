#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

static_assert(std::endian::native == std::endian::little, "stored records are little-endian images of memory");

// How the preview window is sized when it opens; the stored numbers are the
// item indexes of the options dialog's list.
enum class TPreviewSizeMode : std::int32_t {
    Custom = 0, // CustomWidth x CustomHeight, centred in the work area
    Maximized = 1, // the whole work area
    Last = 2, // where it was when last closed
};
constexpr int PreviewSizeModeCount = 3;

// The program options, byte for byte as "options.dat" stores them: eight
// little-endian 32-bit integers. The initial values are the defaults used
// when there is no file.
#pragma pack(push, 1)
struct TProgramOptions {
    static constexpr std::int32_t DefaultPreviewSizeMode = std::int32_t(TPreviewSizeMode::Custom);
    static constexpr std::int32_t DefaultCustomWidth = 459;
    static constexpr std::int32_t DefaultCustomHeight = 451;
    static constexpr std::int32_t DefaultHistoryStates = 50;

    std::int32_t PreviewSizeMode = DefaultPreviewSizeMode; // a TPreviewSizeMode
    std::int32_t CustomWidth = DefaultCustomWidth;
    std::int32_t CustomHeight = DefaultCustomHeight;
    std::int32_t HistoryStates = DefaultHistoryStates;
    // The preview window's rectangle when it was last closed.
    std::int32_t LastTop = 0;
    std::int32_t LastLeft = 0;
    std::int32_t LastWidth = 0;
    std::int32_t LastHeight = 0;
};
#pragma pack(pop)

static_assert(sizeof(TProgramOptions) == 32);
static_assert(offsetof(TProgramOptions, HistoryStates) == 12);
static_assert(offsetof(TProgramOptions, LastWidth) == 24);
static_assert(offsetof(TProgramOptions, LastHeight) == 28);

// The ranges the options dialog holds its entries to: they keep the preview
// window usable and the history's disk use bounded (each state is a file of
// the whole document).
struct TProgramOptionsLimits {
    static constexpr int MinPreviewSize = 200;
    static constexpr int MaxPreviewSize = 16384;
    static constexpr int MinHistoryStates = 0;
    static constexpr int MaxHistoryStates = 1000;
};

// The record with its numbers brought to the nearest limit and an unknown
// size mode made Custom, for values from an older or damaged file. The Last
// fields stay as they are: the preview checks them against the screen.
TProgramOptions LimitedOptions(const TProgramOptions& options);

// Reads the options file over `options`. Without a readable file the first
// four fields take their defaults and the Last fields keep their values
// (returns false). A shorter file replaces only the whole fields it holds.
bool LoadOptions(const std::string& path, TProgramOptions& options);

// Writes the 32 bytes safely; false, without an exception, when the file
// cannot be created or written.
bool SaveOptions(const std::string& path, const TProgramOptions& options);

// Options the editor keeps beyond the eight numbers above. They are stored
// after them in the same file, only when one differs from its default, so a
// file that never needed them stays the 32 bytes other readers expect:
// an int32 (1: fit pictures larger than the window when opened), an int32
// length and that many bytes of UTF-8 (the folder of the last opened file).
struct TProgramOptionsExtra {
    static constexpr std::size_t MaxDirectoryBytes = 4096;

    bool FitLargePictures = false;
    std::string LastOpenDirectory;

    friend bool operator==(const TProgramOptionsExtra&, const TProgramOptionsExtra&) = default;
};

// Reads the part after the 32 bytes; a missing or damaged part gives the
// defaults (false when there was none to read).
bool LoadOptionsExtra(const std::string& path, TProgramOptionsExtra& extra);
// Writes the record and, when not all default, the extra part after it.
bool SaveOptions(const std::string& path, const TProgramOptions& options, const TProgramOptionsExtra& extra);
