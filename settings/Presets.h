#pragma once

#include "engine/EffectSettings.h"
#include "picture/Bitmap.h"

#include <string>

// Finding and reading presets by name, for the renderer and the editor's
// cartoon command alike.

// The .set file a preset name stands for: the fixed names cartoon, sketch,
// linedrawing, canvas and default are the files of that name beside the
// program, last the one the editor's preview writes on OK (in the user's
// presets folder, UserPresetsDir);
// anything else is taken as a path.
std::string PresetPath(const std::string& preset);

// The settings record of a preset file as the effect uses it: the file must be
// exactly one record (18430 bytes), and every value is held to what the
// editor's controls can show (LimitToControls). Throws TFileError when the
// file is missing, unreadable, not a regular file or of another size.
TEffectSettings ReadPresetRecord(const std::string& presetPath);

// Widens the record's region to the whole picture, as the cartoon command
// does before the full computation.
void WidenToPicture(TEffectSettings& settings, const TBitmap& photo);
