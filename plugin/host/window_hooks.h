// Replacement window procedures on the host's three windows.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK PlaylistWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK EqualizerWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// At start, each window with the calls of its kind (Unicode or 8-bit); a
// missing playlist or equalizer window is not hooked.
void InstallWindowHooks();
// Run on the host's skin change (its 3018) once the side windows are hooked
// again and the levels applied, for the configuration dialog to follow.
using SkinChangeListener = void (*)();
void SetSkinChangeListener(SkinChangeListener listener);
// Quit: takes the hooks out where they are still the window's procedure;
// otherwise turns the hooks into plain pass-throughs. False when one had to
// stay: another module chains to it, so the library must stay loaded.
bool RemoveWindowHooks();
