#include "settings/ProgramOptions.h"

#include "settings/RecordFile.h"

#include <algorithm>
#include <cstring>

TProgramOptions LimitedOptions(const TProgramOptions& options)
{
    using L = TProgramOptionsLimits;
    TProgramOptions limited = options;
    const std::int32_t mode = options.PreviewSizeMode;
    if (mode < 0 || mode >= PreviewSizeModeCount)
        limited.PreviewSizeMode = TProgramOptions::DefaultPreviewSizeMode;
    limited.CustomWidth = std::clamp<std::int32_t>(options.CustomWidth, L::MinPreviewSize, L::MaxPreviewSize);
    limited.CustomHeight = std::clamp<std::int32_t>(options.CustomHeight, L::MinPreviewSize, L::MaxPreviewSize);
    limited.HistoryStates = std::clamp<std::int32_t>(options.HistoryStates, L::MinHistoryStates, L::MaxHistoryStates);
    return limited;
}

bool LoadOptions(const std::string& path, TProgramOptions& options)
{
    TProgramOptions read = options;
    std::optional<std::size_t> bytes = ReadRecordBytes(path, &read, sizeof read);
    if (!bytes) {
        options.PreviewSizeMode = TProgramOptions::DefaultPreviewSizeMode;
        options.CustomWidth = TProgramOptions::DefaultCustomWidth;
        options.CustomHeight = TProgramOptions::DefaultCustomHeight;
        options.HistoryStates = TProgramOptions::DefaultHistoryStates;
        return false;
    }
    // A field cut off by the end of the file keeps its value: half of the
    // bytes of a width or a history size would make a number nobody chose.
    std::size_t whole = *bytes / sizeof(std::int32_t) * sizeof(std::int32_t);
    std::memcpy(&options, &read, whole);
    return true;
}

bool SaveOptions(const std::string& path, const TProgramOptions& options)
{
    return WriteRecordBytes(path, &options, sizeof options);
}

namespace {

void PutInt32(std::string& bytes, std::int32_t v)
{
    char raw[4];
    std::memcpy(raw, &v, 4);
    bytes.append(raw, 4);
}

std::int32_t Int32At(const std::string& bytes, std::size_t at)
{
    std::int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

} // namespace

bool LoadOptionsExtra(const std::string& path, TProgramOptionsExtra& extra)
{
    extra = {};
    constexpr std::size_t start = sizeof(TProgramOptions);
    std::string bytes(start + 8 + TProgramOptionsExtra::MaxDirectoryBytes, '\0');
    const std::optional<std::size_t> got = ReadRecordBytes(path, bytes.data(), bytes.size());
    if (!got || *got < start + 4)
        return false;
    bytes.resize(*got);
    extra.FitLargePictures = Int32At(bytes, start) != 0;
    if (bytes.size() >= start + 8) {
        const std::int32_t length = Int32At(bytes, start + 4);
        if (length > 0 && std::size_t(length) <= TProgramOptionsExtra::MaxDirectoryBytes &&
            bytes.size() >= start + 8 + std::size_t(length))
            extra.LastOpenDirectory = bytes.substr(start + 8, std::size_t(length));
    }
    return true;
}

bool SaveOptions(const std::string& path, const TProgramOptions& options, const TProgramOptionsExtra& extra)
{
    std::string bytes(reinterpret_cast<const char*>(&options), sizeof options);
    if (!(extra == TProgramOptionsExtra{})) {
        // A folder name longer than the reader takes is not stored at all.
        const std::string directory =
            extra.LastOpenDirectory.size() <= TProgramOptionsExtra::MaxDirectoryBytes ? extra.LastOpenDirectory : "";
        PutInt32(bytes, extra.FitLargePictures ? 1 : 0);
        PutInt32(bytes, std::int32_t(directory.size()));
        bytes += directory;
    }
    return WriteRecordBytes(path, bytes.data(), bytes.size());
}
