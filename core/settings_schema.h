// The keys of gen_klv.ini: the reads of init and the full write of "Exit".
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/ini_access.h"
#include "core/settings.h"

namespace klv {

// The reads of init, one per step; absent or unreadable keys keep the defaults
// of a fresh Settings.
bool ReadHotkeysEnabled(const IniReader& ini);
int32_t ReadPackedHotkey(const IniReader& ini, std::string_view atomName);
void ReadTransparencySettings(const IniReader& ini, Settings& settings);
void ReadOsdSettings(const IniReader& ini, Settings& settings);
// PlayOnStart and RememberPosition; Position only when RememberPosition is on.
void ReadTrackSettings(const IniReader& ini, Settings& settings, int32_t& lastPlaybackPosition);

// Writes every key but Position in the file's fixed order. Stops at the first
// refused write and returns false; the keys after it are not written.
bool WriteAllSettings(IniWriter& ini, const Settings& settings,
                      const std::array<int32_t, kHotkeyCount>& packedHotkeys);
bool WritePlaybackPosition(IniWriter& ini, int32_t position);

}  // namespace klv
