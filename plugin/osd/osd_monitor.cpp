// The monitor the user looks at, by the system's rule for a window's monitor
// (the one its rectangle overlaps most), over the monitors read once per
// display layout.
#include "plugin/osd/osd_monitor.h"

#include "core/settings/settings.h"
#include "plugin/plugin_state.h"

namespace {

// The place a minimised window returns to, in screen coordinates; a tool
// window's placement is in them already, others' in the primary work area's.
bool RestoredPlace(HWND window, RECT& place) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (!GetWindowPlacement(window, &placement)) return false;
  place = placement.rcNormalPosition;
  if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return true;
  RECT workArea{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
    OffsetRect(&place, workArea.left, workArea.top);
  return true;
}

klv::MonitorRect FromRect(const RECT& r) { return klv::MonitorRect{r.left, r.top, r.right, r.bottom}; }

// Where a window is, a minimised one by its restored place; false when it is gone.
bool WindowPlace(HWND window, RECT& place) {
  if (window == nullptr) return false;
  if (IsIconic(window)) return RestoredPlace(window, place);
  return GetWindowRect(window, &place) != FALSE;
}

int WindowMonitor(HWND window, const std::vector<klv::MonitorRect>& monitors) {
  RECT place{};
  if (!WindowPlace(window, place)) return -1;
  return klv::MonitorOverlappingMost(monitors, FromRect(place));
}

int PointerMonitor(const std::vector<klv::MonitorRect>& monitors) {
  POINT pointer{};
  if (!GetCursorPos(&pointer)) return -1;
  return klv::MonitorHolding(monitors, pointer.x, pointer.y);
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, RECT*, LPARAM found) noexcept {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    auto& monitors = *reinterpret_cast<std::vector<klv::MonitorRect>*>(found);
    const klv::MonitorRect rect = FromRect(info.rcMonitor);
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
      monitors.insert(monitors.begin(), rect);
    } else {
      monitors.push_back(rect);
    }
  }
  return TRUE;
}

bool IsDesktop(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  // The shell's desktop layers behind the icons.
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return lstrcmpW(className, L"WorkerW") == 0 || lstrcmpW(className, L"Progman") == 0;
}

}  // namespace

std::vector<klv::MonitorRect> DisplayMonitors() {
  std::vector<klv::MonitorRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  // The primary monitor always starts at the origin.
  if (monitors.empty())
    monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  return monitors;
}

size_t ChosenOsdMonitor(int32_t osdMonitor, const std::vector<klv::MonitorRect>& monitors) {
  int chosen = -1;
  switch (klv::OsdMonitorFrom(osdMonitor)) {
    case klv::OsdMonitor::kPrimary:
      break;
    case klv::OsdMonitor::kPlayer:
      chosen = WindowMonitor(HostMainWindow(), monitors);
      break;
    case klv::OsdMonitor::kForeground:
      chosen = WindowMonitor(GetForegroundWindow(), monitors);
      break;
    case klv::OsdMonitor::kPointer:
      chosen = PointerMonitor(monitors);
      break;
  }
  return chosen < 0 ? 0 : static_cast<size_t>(chosen);
}

bool FullScreenProgramOver(const klv::MonitorRect& monitor) {
  HWND front = GetForegroundWindow();
  RECT window{};
  if (front == nullptr || IsDesktop(front) || IsIconic(front) || !GetWindowRect(front, &window)) return false;
  return klv::CoversMonitor(FromRect(window), monitor);
}
