// Which monitor the OSD shows on, and whether a full-screen program is in front.
#pragma once

#include <windows.h>

#include <cstdint>

// The monitor chosen by OSDMonitor, asked afresh at every show; null for the
// primary monitor, chosen or fallen back to (an unknown value, no such window,
// a monitor that is gone).
HMONITOR ChosenOsdMonitor(int32_t osdMonitor);
// The foreground window covers its whole monitor; the desktop never counts.
bool FullScreenProgramInFront();
