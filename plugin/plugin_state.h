// The library-wide state: one instance per process, shared by every module.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "core/hotkey_actions.h"
#include "core/settings.h"
#include "plugin/gen.h"

extern PluginDescriptor gPlugin;
extern klv::Settings gSettings;
extern std::array<klv::keystype, klv::kHotkeyCount> gHotkeyTable;  // entry n at [n - 1]
extern int32_t gLastPlaybackPosition;
extern ATOM gInstanceAtom;
extern bool gPluginRunning;   // init returned 0 and quit has not run yet
extern bool gPluginStarting;  // init is under way (its refusal boxes let the host call in)

extern unsigned gQuitCount;   // quits run so far: a loop that sees it change stops

inline bool PluginActive() { return gPluginRunning || gPluginStarting; }
inline HWND HostMainWindow() { return gPlugin.hwndParent; }
inline klv::keystype& HotkeyEntry(int n) { return gHotkeyTable[n - 1]; }

// Fills in the version, description and three entries and clears the two
// fields the host writes, as at library load.
void ResetPluginDescriptor();

// What a started plug-in holds, released in two steps so that quit can store
// the position in between: the hotkeys, their atoms and the instance marker;
// then the hooks in the host's windows and the plug-in's own windows.
void ReleaseHotkeysAndMarker();
bool ReleaseWindows();  // false when a hook had to stay in a host window

int __cdecl PluginInit();
void __cdecl PluginConfig();
void __cdecl PluginQuit();
