#include "settings/SettingsFile.h"

#include "settings/RecordFile.h"

#include <cstring>
#include <vector>

bool ReadSettingsFile(const std::string& path, TEffectSettings& settings, std::string* problem)
{
    // One byte more than the record tells a longer file from a whole one.
    std::vector<unsigned char> bytes(sizeof settings + 1);
    const std::optional<std::size_t> got = ReadRecordBytes(path, bytes.data(), bytes.size());
    if (!got)
        return false;
    if (*got == 0 || *got > sizeof settings) {
        if (problem != nullptr)
            *problem = *got == 0 ? path + " is empty: it holds no settings."
                                 : path + " is not a settings file: it is longer than the " +
                                       std::to_string(sizeof settings) + " bytes of one.";
        return false;
    }
    std::memcpy(&settings, bytes.data(), *got);
    return true;
}

bool WriteSettingsFile(const std::string& path, const TEffectSettings& settings)
{
    TEffectSettings stored;
    std::memcpy(&stored, &settings, sizeof stored);
    std::memset(stored.Source, 0, sizeof stored.Source);
    return WriteRecordBytes(path, &stored, sizeof stored);
}

bool ReadColorTableFile(const std::string& path, TColorTableBytes table)
{
    return ReadRecordBytes(path, table.data(), table.size()).has_value();
}

bool WriteColorTableFile(const std::string& path, TConstColorTableBytes table)
{
    return WriteRecordBytes(path, table.data(), table.size());
}
