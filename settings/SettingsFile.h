#pragma once

#include "engine/EffectSettings.h"

#include <cstdint>
#include <span>
#include <string>

// Preset files (.set) hold the 18430 bytes of TEffectSettings; colours table
// files (.ctb) hold the 18319 bytes of its ColorTable. Neither has a header.
//
// Reading puts up to the record's size of the file's bytes over the start of
// the record: a shorter file replaces only the leading part, and a missing or
// unreadable file is not read at all (false, record untouched). No exception.
//
// Writing replaces the file safely (temporary file, then rename) and returns
// false, without an exception, when the file cannot be created or written.

//
// A preset is never empty and never longer than the record: such a file is
// not read either (false, record untouched), and `problem`, when given, gets
// a sentence saying why, to show the user. It stays empty for a missing or
// unreadable file, which callers report in their own words.
bool ReadSettingsFile(const std::string& path, TEffectSettings& settings, std::string* problem = nullptr);
// The four bytes of Source are written as zeros: the in-memory picture they
// stand for means nothing in a file.
bool WriteSettingsFile(const std::string& path, const TEffectSettings& settings);

using TColorTableBytes = std::span<std::uint8_t, ColorTableSize>;
using TConstColorTableBytes = std::span<const std::uint8_t, ColorTableSize>;

bool ReadColorTableFile(const std::string& path, TColorTableBytes table);
bool WriteColorTableFile(const std::string& path, TConstColorTableBytes table);
