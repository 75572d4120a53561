#include "Presets.h"

#include "FileError.h"
#include "ProgramDir.h"
#include "SettingsFile.h"

#include <cstring>

std::string PresetPath(const std::string& preset)
{
    for (const char* name : {CartoonSetName, SketchSetName, LineDrawingSetName, CanvasSetName, DefaultSetName}) {
        const std::string file = name;
        if (preset + ".set" == file)
            return ProgramFile(file);
    }
    if (preset + ".set" == LastSetName)
        return UserFile(LastSetName);
    return preset;
}

TEffectSettings ReadPresetRecord(const std::string& presetPath)
{
    TEffectSettings settings;
    std::memset(&settings, 0, sizeof settings);
    // The editor silently keeps its settings when a preset is missing; here
    // the user named the file, and rendering with an all-zero record instead
    // would hand back a blank picture as if all were well.
    if (!ReadSettingsFile(presetPath, settings))
        throw TFileError("the preset file " + presetPath + " cannot be read");
    return settings;
}

void WidenToPicture(TEffectSettings& settings, const TBitmap& photo)
{
    settings.Left = 0;
    settings.Top = 0;
    settings.Width = photo.Width();
    settings.Height = photo.Height();
}
