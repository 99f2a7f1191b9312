// The colour and font pickers of the OSD, run from the configuration dialog.
#pragma once

#include <windows.h>

void ChooseOsdColor(HWND owner);
void ChooseOsdFont(HWND owner);
