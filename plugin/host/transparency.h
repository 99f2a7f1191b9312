// Alpha levels of the host's three windows.
#pragma once

#include <windows.h>

#include "core/alpha.h"

// Each call leaves the windows alone while the host runs a modern skin;
// ApplyTransparency then gives the playlist and equalizer back what it set
// on them under a classic skin (the alpha, and the layered style it added).
void ApplyTransparency();
// The dialog's changes, each stored and applied at once. A level is given in
// percent; an index outside AlphaLevels changes nothing.
void SetActiveTransparency(bool enabled);
void SetInactiveTransparency(bool enabled);
void SetAlphaLevel(klv::AlphaIndex index, int percent);
// The WM_ACTIVATE rule for one window; state is the low word of wParam.
void ApplyActivationAlpha(HWND window, klv::HostWindow which, WORD state);
