// Entry points of the two dialogs for the rest of the library.
#pragma once

#include <windows.h>

// Opens the configuration dialog modeless and without owner, or brings the
// open one to the front.
void OpenConfigDialog();
// Destroys any open configuration dialog (quit, unload).
void CloseConfigDialog();
HWND ConfigDialogWindow();  // null when none is open

bool EditHotkey(int n);  // n = 1..15; true when the entry holds a combination afterwards
void ApplyListCheckMarks();
void EditSelectedHotkeys();
