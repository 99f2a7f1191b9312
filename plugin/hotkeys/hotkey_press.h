// What a pressed hotkey does.
#pragma once

#include <windows.h>

// A WM_HOTKEY of the host's main window, sent at sentAt (GetMessageTime): the
// action runs unless the message repeats a held key whose action runs once
// per press.
void OnHotkeyMessage(WPARAM id, DWORD sentAt);
// The action of the hotkey registered under id, as at a press.
void RunHotkeyAction(WPARAM id);
