// One action per press: the system repeats WM_HOTKEY while a key is held, and
// not every system drops the repeats of a MOD_NOREPEAT registration (Wine
// does not), so the plug-in tells them apart itself.
#pragma once

#include <windows.h>

#include <cstdint>

// True for a hotkey whose key has stayed down since its last press ran.
bool IsHeldRepeat(WPARAM id);
// A press about to run: while its key stays down, its repeats are held back.
void NotePress(WPARAM id, uint16_t keyCode);
// Quit and unload: stops watching for the key to go up.
void ForgetHeldKey();
