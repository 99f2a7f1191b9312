// Reading and writing gen_klv.ini by its rows (core/settings/settings_keys.h).
#pragma once

#include <cstdint>

#include "core/settings/ini_access.h"
#include "core/settings/settings.h"
#include "core/settings/settings_keys.h"

namespace klv {

// Init's reads, every key in the file's order; absent or unreadable keys give
// their rows' defaults. Position only when RememberPosition is on, otherwise
// the record holds its default.
Settings ReadSettings(const IniReader& ini);

// Writes every key but Position in the file's order. Stops at the first
// refused write and returns false; the keys after it are not written.
bool WriteAllSettings(IniWriter& ini, const Settings& settings);
bool WritePlaybackPosition(IniWriter& ini, int32_t position);
// The level Mute remembers, alone: quit writes it when it changed.
bool WriteMutedVolume(IniWriter& ini, const Settings& settings);

}  // namespace klv
