// Entry points of the configuration dialog for the rest of the library.
#pragma once

#include <windows.h>

// Opens the configuration dialog modeless and without owner, or brings the
// open one to the front.
void OpenConfigDialog();
// Destroys any open configuration dialog (quit, unload).
void CloseConfigDialog();
HWND ConfigDialogWindow();  // null when none is open

// The hotkey list's reactions. EditHotkey runs the assignment dialog for
// entry n = 1..16 and sets row n - 1's mark from the result: true when the
// entry holds a combination afterwards.
bool EditHotkey(int n);
void ApplyListCheckMarks();
void EditSelectedHotkeys();
