// Requests and commands to the host player's main window; the names and
// numbers are those of core/host_codes.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/host_codes.h"
#include "core/osd/osd_text.h"

// The window of that class that belongs to the host: in the process of the
// host main window, the one the main window is or owns, else the first one
// there that nothing owns; any window of the class while no host is known.
HWND FindHostWindow(const char* className);
// WM_USER to the host main window with code in lParam.
intptr_t HostRequest(int code, intptr_t wParam = 0);
// Whether the host shows a modern skin now, asked anew each time: its own
// windows stand in for the three classic ones then, and it sets their opacity
// itself. The skin can change at any message.
bool HostRunsModernSkin();
// WM_COMMAND to the host main window.
void HostCommand(uint32_t command);
// HostRequest, and the reading of 8-bit titles, in the form the OSD text
// composition takes.
klv::OsdHost OsdTextHost();
// The playing entry's file (125, then 214, or 211 from a host without wide
// paths); empty when the host names none.
std::u16string PlayingFilePath();
