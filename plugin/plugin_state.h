// The library-wide state: one instance per process, shared by every module.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "core/hotkey_actions.h"
#include "core/settings.h"

extern klv::Settings gSettings;
extern std::array<klv::keystype, klv::kHotkeyCount> gHotkeyTable;  // entry n at [n - 1]
extern int32_t gLastPlaybackPosition;

// Field 6 of the descriptor, as the host wrote it (defined with the descriptor).
HWND HostMainWindow();
inline klv::keystype& HotkeyEntry(int n) { return gHotkeyTable[n - 1]; }
