// One action per press: the system repeats WM_HOTKEY while a key is held, and
// not every system drops the repeats of a MOD_NOREPEAT registration (Wine
// does not, nor does a Windows before 7, which is not given the flag), so
// there the plug-in tells them apart itself.
#pragma once

#include <windows.h>

#include "core/hotkeys/hotkey_actions.h"

// True for a message of the row's hotkey, sent at time (GetMessageTime), that
// repeats its held key. A press is watched until its key goes up.
bool IsHeldRepeat(klv::HotkeyRow& row, DWORD time);
// Quit and unload: every key forgotten and the watch stopped.
void ForgetHeldKeys();
