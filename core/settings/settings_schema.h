// Reading and writing gen_klv.ini by its rows (core/settings/settings_keys.h).
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_access.h"
#include "core/settings/settings.h"
#include "core/settings/settings_keys.h"

namespace klv {

// Takes each packed hotkey as it is read (row 0..15, in kHotkeyActions
// order), before the next key is read.
using TakePackedHotkey = std::function<void(int row, int32_t packed)>;

// Init's reads, every key in the file's order; absent or unreadable keys give
// their rows' defaults. Position only when RememberPosition is on, otherwise
// lastPlaybackPosition stays as it was.
void ReadSettings(const IniReader& ini, Settings& settings, int32_t& lastPlaybackPosition,
                  const TakePackedHotkey& takeHotkey = nullptr);
// The same, keeping the packed hotkeys.
void ReadSettings(const IniReader& ini, Settings& settings, std::array<int32_t, kHotkeyCount>& packedHotkeys,
                  int32_t& lastPlaybackPosition);

// Writes every key but Position in the file's order. Stops at the first
// refused write and returns false; the keys after it are not written.
bool WriteAllSettings(IniWriter& ini, const Settings& settings,
                      const std::array<int32_t, kHotkeyCount>& packedHotkeys);
bool WritePlaybackPosition(IniWriter& ini, int32_t position);

}  // namespace klv
