#include "ProgramOptions.h"

#include "RecordFile.h"

#include <cstring>

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
