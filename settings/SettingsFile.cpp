#include "SettingsFile.h"

#include "RecordFile.h"

#include <cstring>

bool ReadSettingsFile(const std::string& path, TEffectSettings& settings)
{
    return ReadRecordBytes(path, &settings, sizeof settings).has_value();
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
