// The configuration dialog's "Select Color" and "Select Font" for the OSD.
#pragma once

#include <windows.h>

void ChooseOsdColor(HWND owner);
void ChooseOsdFont(HWND owner);
// At the plug-in's stop: the pickers' library is let go (an open picker
// keeps it until it returns).
void ReleaseOsdPickers();
