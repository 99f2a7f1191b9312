// Which monitor the OSD shows on, and whether a full-screen program is in front.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/osd/osd_placement.h"

// Every monitor's whole rectangle, the primary first; read once per display
// layout, since under Wine each monitor query costs server round trips.
std::vector<klv::MonitorRect> DisplayMonitors();
// The index in monitors of the one OSDMonitor names, asked afresh at every
// show: 0, the primary, for OSDMonitor 0 and unknown values and whenever the
// window or pointer it follows is on none of them.
size_t ChosenOsdMonitor(int32_t osdMonitor, const std::vector<klv::MonitorRect>& monitors);
// The foreground window covers the whole monitor; the desktop and the
// shell's windows behind the icons never count.
bool FullScreenProgramOver(const klv::MonitorRect& monitor);
