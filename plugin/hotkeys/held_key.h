// One action per press: the system repeats WM_HOTKEY while a key is held, and
// not every system drops the repeats of a MOD_NOREPEAT registration (Wine
// does not, nor does a Windows before 7, which is not given the flag), so
// there the plug-in tells them apart itself: a message repeats the held key
// exactly when the key has not gone up since the press. A thread of our own
// watches the key from a press until it is up and the host has caught up
// with every message sent before, so a busy host hides no key-up.
#pragma once

#include <windows.h>

#include "core/hotkeys/hotkey_actions.h"

// True for a message of the row's hotkey, sent at time (GetMessageTime), that
// repeats its held key. A press starts the watch of its key.
bool IsHeldRepeat(const klv::HotkeyRow& row, DWORD time);
// For the main window's hook: true when the message is a key watch's marker,
// which is the plug-in's own and goes no further.
bool TakeKeyWatchMarker(UINT message, WPARAM wParam, LPARAM lParam);
// Quit and unload: every hold let go; each watch ends at its next read.
void ForgetHeldKeys();
