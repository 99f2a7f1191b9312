// The monitor the user looks at, by the system's own notion of a window's
// monitor: the one its rectangle overlaps most.
#include "plugin/osd_monitor.h"

#include "core/settings.h"
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

HMONITOR PlayerMonitor(HWND window) {
  RECT place{};
  if (IsIconic(window)) {
    if (!RestoredPlace(window, place)) return nullptr;
  } else if (!GetWindowRect(window, &place)) {
    return nullptr;
  }
  return MonitorFromRect(&place, MONITOR_DEFAULTTONULL);
}

HMONITOR PointerMonitor() {
  POINT pointer{};
  if (!GetCursorPos(&pointer)) return nullptr;
  return MonitorFromPoint(pointer, MONITOR_DEFAULTTONULL);
}

bool IsDesktop(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  // The shell's desktop layers behind the icons.
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return lstrcmpW(className, L"WorkerW") == 0 || lstrcmpW(className, L"Progman") == 0;
}

}  // namespace

HMONITOR ChosenOsdMonitor(int32_t osdMonitor) {
  HMONITOR monitor = nullptr;
  switch (klv::OsdMonitorFrom(osdMonitor)) {
    case klv::OsdMonitor::kPrimary:
      return nullptr;
    case klv::OsdMonitor::kPlayer:
      monitor = PlayerMonitor(HostMainWindow());
      break;
    case klv::OsdMonitor::kForeground:
      // The system's own choice, minimised windows by their restored place:
      // the cheapest, and this one runs on every show.
      if (HWND front = GetForegroundWindow()) monitor = MonitorFromWindow(front, MONITOR_DEFAULTTONULL);
      break;
    case klv::OsdMonitor::kPointer:
      monitor = PointerMonitor();
      break;
  }
  return monitor;
}

bool FullScreenProgramInFront() {
  HWND front = GetForegroundWindow();
  if (front == nullptr || IsDesktop(front)) return false;
  RECT window{};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  HMONITOR monitor = MonitorFromWindow(front, MONITOR_DEFAULTTONULL);
  if (monitor == nullptr || !GetWindowRect(front, &window) || !GetMonitorInfoW(monitor, &info)) return false;
  const RECT& screen = info.rcMonitor;
  return window.left <= screen.left && window.top <= screen.top && window.right >= screen.right &&
         window.bottom >= screen.bottom;
}
