#include "settings/Presets.h"

#include "picture/FileError.h"
#include "settings/EffectControls.h"
#include "settings/ProgramDir.h"
#include "settings/RecordFile.h"

#include <cstring>
#include <optional>
#include <vector>

std::string PresetPath(const std::string& preset)
{
    for (const char* name : {CartoonSetName, SketchSetName, LineDrawingSetName, CanvasSetName, DefaultSetName}) {
        const std::string file = name;
        if (preset + ".set" == file)
            return ProgramFile(file);
    }
    if (preset + ".set" == LastSetName)
        return UserPresetFile(LastSetName);
    return preset;
}

TEffectSettings ReadPresetRecord(const std::string& presetPath)
{
    TEffectSettings settings;
    // The editor silently keeps its settings when a preset is missing; here
    // the user named the file, and rendering with an all-zero record instead
    // would hand back a blank picture as if all were well. For the same
    // reason only a whole record is taken: one byte more than the record
    // tells a longer file from a whole one.
    std::vector<unsigned char> bytes(sizeof settings + 1);
    const std::optional<std::size_t> got = ReadRecordBytes(presetPath, bytes.data(), bytes.size());
    if (!got)
        throw TFileError("the preset file " + presetPath + " cannot be read");
    if (*got != sizeof settings)
        throw TFileError(
            "the preset file " + presetPath + " is not a preset: " +
            (*got > sizeof settings ? "it is longer than " : "it has " + std::to_string(*got) + " bytes, not ") +
            std::to_string(sizeof settings) + " bytes");
    std::memcpy(&settings, bytes.data(), sizeof settings);
    // The same limits the editor's controls put on a loaded preset, so that
    // a value means the same in both and no value beyond them reaches the
    // engine.
    LimitToControls(settings);
    return settings;
}

void WidenToPicture(TEffectSettings& settings, const TBitmap& photo)
{
    settings.Left = 0;
    settings.Top = 0;
    settings.Width = photo.Width();
    settings.Height = photo.Height();
}
