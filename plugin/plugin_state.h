// The library-wide state: one instance per process, shared by every module.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/settings.h"

// The settings file's contents as the user has set them since: read at
// start, written by "Exit" (the position by quit alone).
extern klv::Settings gSettings;
// What the system holds for each hotkey action.
extern klv::HotkeyTable gHotkeyTable;

// The host's main window: the descriptor's field 6 as the host wrote it,
// taken when the plug-in starts.
HWND HostMainWindow();
void SetHostMainWindow(HWND window);
