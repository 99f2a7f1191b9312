// Placement of the OSD window inside one monitor.
#include "core/osd/osd_placement.h"

#include <cstddef>

namespace klv {
namespace {

constexpr uint8_t kMaxPositionCode = 8;
// The text sits 2 px inside a client area 4 px larger than it, within a 1 px frame.
constexpr int kHorizontalPadding = 6;
constexpr int kVerticalPadding = 2;
constexpr int kWindowExtraHeight = 4;

// 0, 1, 2: start, middle, end of a span of free space.
int AlongAxis(int slot, int free) {
  switch (slot) {
    case 1:
      return free / 2;
    case 2:
      return free;
    default:
      return 0;
  }
}

int64_t Overlap(int firstStart, int firstEnd, int secondStart, int secondEnd) {
  const int start = firstStart > secondStart ? firstStart : secondStart;
  const int end = firstEnd < secondEnd ? firstEnd : secondEnd;
  return end > start ? int64_t{end} - start : 0;
}

}  // namespace

int MonitorOverlappingMost(const std::vector<MonitorRect>& monitors, const MonitorRect& rect) {
  int best = -1;
  int64_t bestArea = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const MonitorRect& m = monitors[i];
    const int64_t area =
        Overlap(m.left, m.right, rect.left, rect.right) * Overlap(m.top, m.bottom, rect.top, rect.bottom);
    if (area > bestArea) {
      best = static_cast<int>(i);
      bestArea = area;
    }
  }
  return best;
}

int MonitorHolding(const std::vector<MonitorRect>& monitors, int x, int y) {
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const MonitorRect& m = monitors[i];
    if (x >= m.left && x < m.right && y >= m.top && y < m.bottom) return static_cast<int>(i);
  }
  return -1;
}

bool CoversMonitor(const MonitorRect& window, const MonitorRect& monitor) {
  return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
         window.bottom >= monitor.bottom;
}

OsdRect PlaceOsd(uint8_t position, int textWidth, int textHeight, const MonitorRect& monitor) {
  const int code = position > kMaxPositionCode ? 0 : position;
  const int w = textWidth + kHorizontalPadding;
  const int h = textHeight + kVerticalPadding;
  // The rows place the window's h (not its h + 4) in the free span; the bottom
  // row is then pulled up by the clamp below.
  OsdRect rect{monitor.left + AlongAxis(code / 3, monitor.right - monitor.left - w),
               monitor.top + AlongAxis(code % 3, monitor.bottom - monitor.top - h), w,
               h + kWindowExtraHeight};

  if (rect.y + rect.height > monitor.bottom) rect.y = monitor.bottom - rect.height;
  if (rect.x + rect.width > monitor.right) rect.x = monitor.right - rect.width;
  if (rect.x < monitor.left) rect.x = monitor.left;
  if (rect.y < monitor.top) rect.y = monitor.top;
  return rect;
}

}  // namespace klv
