// Alpha levels of the host's three windows.
#pragma once

#include <windows.h>

#include "core/alpha.h"

void ApplyTransparency();
void SetAlphaFromPercent(int tag, int percent);  // tag 1..6 = AlphaLevels index + 1
// The WM_ACTIVATE rule for one window; state is the low word of wParam.
void ApplyActivationAlpha(HWND window, klv::HostWindow which, WORD state);
