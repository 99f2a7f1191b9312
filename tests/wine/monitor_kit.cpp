#include "tests/wine/monitor_kit.h"

#include "tests/wine/test_kit.h"

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

SecondMonitorSide SecondMonitorSideOfRun() {
  const std::string layout = EnvPath("KLV_MONITOR_LAYOUT");
  if (layout == "right") return SecondMonitorSide::kRight;
  if (layout == "left") return SecondMonitorSide::kLeft;
  return SecondMonitorSide::kUnknown;
}

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(monitor, &info)) {
    auto& rectangles = *reinterpret_cast<std::vector<RECT>*>(data);
    const bool primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    rectangles.insert(primary ? rectangles.begin() : rectangles.end(), info.rcMonitor);
  }
  return TRUE;
}

}  // namespace

std::vector<RECT> MonitorRectangles() {
  std::vector<RECT> rectangles;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&rectangles));
  return rectangles;
}

RECT WindowRectangle(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool PlaceWindowOn(HWND window, const RECT& monitor) {
  SetWindowPos(window, nullptr, monitor.left + 100, monitor.top + 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  return Inside(WindowRectangle(window), monitor);
}

bool PutPointerOn(const RECT& monitor) {
  SetCursorPos((monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2);
  POINT now{};
  return GetCursorPos(&now) && PtInRect(&monitor, now);
}

RECT OsdRectangleAfterHotkey(TestHost& host, const std::string& osdLines, const std::function<void()>& act) {
  constexpr klv::PackedHotkey kCtrlAltN = ('N' << 16) | klv::kModCtrl | klv::kModAlt;
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) +
                   "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n" + osdLines);
  RECT shown{};
  {
    LoadedPlugin plugin(host.main);
    EXPECT_EQ(plugin.Init(), 0);
    act();
    EXPECT_TRUE(host.PressHotkey(kCtrlAltN));
    if (HWND osd = FindOsdWindow()) shown = WindowRectangle(osd);
    plugin.Quit();
  }
  ResetGlobalAtoms();
  return shown;
}

void TwoMonitorTest::SetUp() {
  side = SecondMonitorSideOfRun();
  ASSERT_TRUE(side != SecondMonitorSide::kUnknown)
      << "KLV_MONITOR_LAYOUT is neither right nor left: this suite runs on the two-monitor display "
         "that scripts/test.sh starts";
  const RECT expectedSecond =
      side == SecondMonitorSide::kRight ? RECT{1024, 0, 2048, 768} : RECT{-1024, 0, 0, 768};
  const std::vector<RECT> monitors = MonitorRectangles();
  ASSERT_EQ(monitors, (std::vector<RECT>{{0, 0, 1024, 768}, expectedSecond}))
      << "the display lacks the two monitors of the "
      << (side == SecondMonitorSide::kRight ? "right" : "left") << " layout";
  primary = monitors[0];
  second = monitors[1];
}
