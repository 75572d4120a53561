#pragma once

#include <string>

// The program keeps its presets, colours table, options and history beside
// its executable. Paths are the directory (no trailing separator) joined with
// "/" and the file name.
std::string ProgramDir();
std::string ProgramFile(const std::string& name);

// Files the program writes itself (the options, "last.set", the history
// folder) stand beside the program too, as long as the program's directory is
// writable. After a system-wide install it is not; they then go to the user's
// data folder ($XDG_DATA_HOME/lumenquilla, or ~/.local/share/lumenquilla),
// which is created when needed.
std::string UserDir();
std::string UserFile(const std::string& name);

// The user's own presets and colours tables, where the preset dialogs start
// and "last.set" is written: likewise the program's directory while it is
// writable, otherwise the presets folder in the user's data folder
// ($XDG_DATA_HOME/lumenquilla/presets, or ~/.local/share/lumenquilla/presets),
// created when needed. The shipped presets stay beside the program.
std::string UserPresetsDir();
std::string UserPresetFile(const std::string& name);

// Points ProgramDir at another directory (tests use a temporary one); an empty
// text returns to the executable's directory.
void OverrideProgramDir(const std::string& dir);

// The fixed file names beside the program.
inline constexpr const char* DefaultSetName = "default.set";
inline constexpr const char* LastSetName = "last.set";
inline constexpr const char* CartoonSetName = "cartoon.set";
inline constexpr const char* SketchSetName = "sketch.set";
inline constexpr const char* LineDrawingSetName = "linedrawing.set";
inline constexpr const char* CanvasSetName = "canvas.set";
inline constexpr const char* DefaultCtbName = "default.ctb";
inline constexpr const char* OptionsFileName = "options.dat";
inline constexpr const char* HistoryFolderName = "history";
// Notes of the files being written, for the next run to clean up after a kill.
inline constexpr const char* WriteJournalName = "writing";
inline constexpr const char* HelpFileName = "lumenquilla.chm";
