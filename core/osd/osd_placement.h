// Where the OSD window goes on its monitor.
#pragma once

#include <cstdint>
#include <vector>

namespace klv {

// A monitor's whole rectangle in virtual-screen coordinates; the primary
// monitor starts at (0, 0), others may start at negative coordinates.
struct MonitorRect {
  int left;
  int top;
  int right;
  int bottom;
};

struct OsdRect {
  int x;
  int y;
  int width;
  int height;
};

// The index of the monitor that rect overlaps most (the earlier on a tie), or
// -1 when it overlaps none: the system's rule for a window's monitor.
int MonitorOverlappingMost(const std::vector<MonitorRect>& monitors, const MonitorRect& rect);
// The index of the monitor holding the point, or -1.
int MonitorHolding(const std::vector<MonitorRect>& monitors, int x, int y);
// Whether a window's rectangle covers the whole monitor: a full-screen
// program there, whichever monitor the window otherwise counts as on.
bool CoversMonitor(const MonitorRect& window, const MonitorRect& monitor);

// The window rectangle for a text of textWidth x textHeight pixels at position
// code 0..8 (column = code / 3, row = code % 3; codes above 8 count as 0) on
// monitor, pulled back onto it when it would pass its bottom or right edge.
// A window wider than the monitor starts at its left edge, one taller than it
// at its top edge.
OsdRect PlaceOsd(uint8_t position, int textWidth, int textHeight, const MonitorRect& monitor);

}  // namespace klv
