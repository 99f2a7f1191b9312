// What a pressed hotkey does.
#pragma once

#include <windows.h>

void RunHotkeyAction(WPARAM id);
