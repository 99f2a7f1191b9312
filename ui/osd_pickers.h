// The configuration dialog's "Select Color" and "Select Font" for the OSD.
#pragma once

#include <windows.h>

void ChooseOsdColor(HWND owner);
void ChooseOsdFont(HWND owner);
