// The OSD on a display of two monitors, the second right of the primary in
// one run and left of it in another: each placement rule through the real DLL.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_dialog_ids.h"

// Found by argument-dependent lookup for RECT, so outside the anonymous namespace.
bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
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

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Moves a top-level window, size kept, a little way into the monitor; true
// when it is wholly on it then.
bool PlaceWindowOn(HWND window, const RECT& monitor) {
  SetWindowPos(window, nullptr, monitor.left + 100, monitor.top + 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  return Inside(WindowRect(window), monitor);
}

bool PutPointerOn(const RECT& monitor) {
  SetCursorPos((monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2);
  POINT now{};
  return GetCursorPos(&now) && PtInRect(&monitor, now);
}

// Loads the real DLL with the OSD on for a minute and osdLines added to its
// [OSD] section, runs act (to place windows or the pointer), presses the Next
// action's key and returns the OSD's rectangle; an empty one when none showed.
RECT OsdRectangleAfterHotkey(
    TestHost& host, const std::string& osdLines, const std::function<void()>& act = [] {}) {
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
    if (HWND osd = FindOsdWindow()) shown = WindowRect(osd);
    plugin.Quit();
  }
  ResetGlobalAtoms();
  return shown;
}

// Every test starts by checking the display scripts/test.sh set up: the
// primary at (0,0)-(1024,768) and a second 1024x768 monitor on the side
// %KLV_MONITOR_LAYOUT% names. Any other display fails, loudly: a suite that
// skipped there would pass without ever having seen two monitors.
class OsdOnTwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string side = EnvPath("KLV_MONITOR_LAYOUT");
    ASSERT_TRUE(side == "right" || side == "left")
        << "KLV_MONITOR_LAYOUT is neither right nor left: this suite runs on the two-monitor display";
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    const RECT expectedSecond = side == "right" ? RECT{1024, 0, 2048, 768} : RECT{-1024, 0, 0, 768};
    ASSERT_EQ(monitors, (std::vector<RECT>{{0, 0, 1024, 768}, expectedSecond}))
        << "the display lacks the two monitors of the " << side << " layout";
    primary = monitors[0];
    second = monitors[1];
  }

  RECT primary{};
  RECT second{};
};

// The player's window, in front, and the pointer on the second monitor do not
// draw the OSD there: the primary monitor is the default rule.
TEST_F(OsdOnTwoMonitors, MonitorZeroKeepsEveryPositionOnThePrimary) {
  TestHost host;
  for (int position = 0; position <= 8; ++position) {
    SCOPED_TRACE(position);
    const RECT osd = OsdRectangleAfterHotkey(
        host, "OSDMonitor=0\r\nOSDPosition=" + std::to_string(position) + "\r\n", [&] {
          EXPECT_TRUE(PlaceWindowOn(host.main, second));
          EXPECT_TRUE(PutPointerOn(second));
          SetForegroundWindow(host.main);
        });
    EXPECT_FALSE(IsRectEmpty(&osd));
    EXPECT_TRUE(Inside(osd, primary)) << testing::PrintToString(osd);
  }
}

// A top-level window of the test's own, brought to the front.
class FrontWindow {
 public:
  FrontWindow(DWORD style, const RECT& place, const char* className = "MonitorTestFront")
      : window(CreateTestWindow(className, DefWindowProcA, style | WS_VISIBLE, place)) {
    SetForegroundWindow(window);
    WaitUntil([this] { return GetForegroundWindow() == window; });
  }
  ~FrontWindow() { DestroyWindow(window); }
  HWND window;
};

// Minimised on the primary monitor, then its restored place moved onto the
// second: only that place names the second monitor.
void MinimiseWithRestoredPlaceOn(HWND window, const RECT& primary, const RECT& monitor) {
  PlaceWindowOn(window, primary);
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window, &placement);
  OffsetRect(&placement.rcNormalPosition, monitor.left - primary.left, 0);
  SetWindowPlacement(window, &placement);
  const RECT icon = WindowRect(window);
  EXPECT_TRUE(IsIconic(window) && Inside(icon, primary)) << testing::PrintToString(icon);
}

RECT Small(const RECT& monitor) {
  return {monitor.left + 50, monitor.top + 50, monitor.left + 450, monitor.top + 350};
}

// Detaches the second monitor (width 0) or attaches it again at left, as the
// display settings do; true when the display then has that many monitors.
bool SetSecondMonitor(DWORD width, LONG left) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
  mode.dmPelsWidth = width;
  mode.dmPelsHeight = width * 3 / 4;
  mode.dmPosition.x = left;
  ChangeDisplaySettingsExW(L"\\\\.\\DISPLAY2", &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
  return GetSystemMetrics(SM_CMONITORS) == (width == 0 ? 1 : 2);
}

// The player, the front window and the pointer each on a monitor of the case's
// choosing; each rule must follow its own one, by the position's corner.
TEST_F(OsdOnTwoMonitors, EachMonitorRuleFollowsItsWindowOrThePointer) {
  struct Case {
    const char* osdMonitor;
    bool playerOnSecond, frontOnSecond, pointerOnSecond, playerMinimised;
    int position;
    bool onSecond;
    bool detachedAfterAShow = false;  // the second monitor, while the player runs
  } const cases[] = {
      {"1", true, false, false, false, 8, true}, {"1", false, true, true, false, 0, false},
      {"1", true, false, false, true, 0, true},  {"2", false, true, false, false, 8, true},
      {"2", true, false, true, false, 0, false}, {"3", false, false, true, false, 0, true},
      {"3", true, true, false, false, 8, false}, {"7", true, true, true, false, 8, false},
      {"-1", true, true, true, false, 0, false}, {"1", true, false, false, false, 0, false, true},
  };
  TestHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("OSDMonitor=") + c.osdMonitor + " position " + std::to_string(c.position) +
                 (c.detachedAfterAShow ? " detached" : ""));
    const RECT expected = c.onSecond ? second : primary;
    std::unique_ptr<FrontWindow> front;
    const RECT osd = OsdRectangleAfterHotkey(
        host,
        std::string("OSDMonitor=") + c.osdMonitor + "\r\nOSDPosition=" + std::to_string(c.position) + "\r\n",
        [&] {
          ShowWindow(host.main, SW_RESTORE);
          if (c.playerMinimised) {
            MinimiseWithRestoredPlaceOn(host.main, primary, second);
          } else {
            EXPECT_TRUE(PlaceWindowOn(host.main, c.playerOnSecond ? second : primary));
          }
          front =
              std::make_unique<FrontWindow>(WS_OVERLAPPEDWINDOW, Small(c.frontOnSecond ? second : primary));
          EXPECT_TRUE(PutPointerOn(c.pointerOnSecond ? second : primary));
          EXPECT_TRUE(!c.detachedAfterAShow || (host.PressHotkey(kCtrlAltN) && SetSecondMonitor(0, 0)));
        });
    EXPECT_TRUE(!c.detachedAfterAShow || SetSecondMonitor(1024, second.left));
    EXPECT_TRUE(Inside(osd, expected)) << testing::PrintToString(osd);
    // Position 0 starts at the monitor's top-left corner, 8 ends at its bottom-right one.
    const bool atTopLeft = osd.left == expected.left && osd.top == expected.top;
    const bool atBottomRight = osd.right == expected.right && osd.bottom == expected.bottom;
    EXPECT_TRUE(c.position == 0 ? atTopLeft : atBottomRight) << testing::PrintToString(osd);
  }
  ShowWindow(host.main, SW_RESTORE);
}

// A window covering the OSD's monitor in front hides the OSD, not the action.
TEST_F(OsdOnTwoMonitors, NoOsdOverAFullScreenProgramWhenAsked) {
  struct Case {
    const char* label;
    bool flag;
    bool fullScreen, onSecond;
    bool shown;
    const char* osdMonitor = "0";  // 2: the front window's
    const char* frontClass = "MonitorTestFront";
  } const cases[] = {
      {"full screen on the primary", true, true, false, false},
      {"full screen on the second", true, true, true, true},
      {"full screen on the second, the OSD there", true, true, true, false, "2"},
      {"the shell's desktop", true, true, false, true, "0", "Progman"},
      {"the shell's layer behind the icons", true, true, false, true, "0", "WorkerW"},
      {"an ordinary window", true, false, false, true},
      {"flag off", false, true, false, true},
  };
  TestHost host;
  FlushPostedMessages();  // the player's windows shown before the front window comes
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const RECT& monitor = c.onSecond ? second : primary;
    FrontWindow front(c.fullScreen ? WS_POPUP : WS_OVERLAPPEDWINDOW, c.fullScreen ? monitor : Small(monitor),
                      c.frontClass);
    host.ClearLog();
    const RECT osd = OsdRectangleAfterHotkey(host, std::string("OSDHideFullScreen=") + (c.flag ? "1" : "0") +
                                                       "\r\nOSDMonitor=" + c.osdMonitor + "\r\n");
    EXPECT_EQ(!IsRectEmpty(&osd), c.shown);
    const std::vector<int> commands = host.Commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), static_cast<int>(klv::kCommandNext)),
              commands.end())
        << "no action";
  }
}

// A file from before the two keys: the primary monitor and an OSD over
// anything, and "Exit" adds both right after OSDFontStyleStrikeOut.
TEST_F(OsdOnTwoMonitors, AnOlderFileMeansTheDefaultsAndExitAddsBothKeysInOrder) {
  ResetGlobalAtoms();
  const std::string osd =
      "[OSD]\r\nEnable=1\r\nOSDPosition=8\r\nOSDDisplayTime=60000\r\nOSDColor=14024702\r\n"
      "OSDFontName=Arial\r\nOSDFontSize=12\r\nOSDFontColor=0\r\nOSDFontStyleBold=0\r\n"
      "OSDFontStyleItalic=0\r\nOSDFontStyleUnderlined=0\r\nOSDFontStyleStrikeOut=0\r\n";
  TestInstall install;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n" + osd);
  TestHost host;
  PlaceWindowOn(host.main, second);
  PutPointerOn(second);
  FrontWindow front(WS_POPUP, second);
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    ASSERT_TRUE(host.PressHotkey(kCtrlAltN));
    HWND shown = FindOsdWindow();
    ASSERT_NE(shown, nullptr) << "hidden over a full-screen window by default";
    EXPECT_TRUE(Inside(WindowRect(shown), primary));
    HWND dialog = plugin.OpenConfigDialog();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
    FlushPostedMessages();
    plugin.Quit();
  }
  const std::string file = install.ReadIni();
  EXPECT_NE(file.find("OSDFontStyleStrikeOut=0\r\nOSDMonitor=0\r\nOSDHideFullScreen=0\r\n"
                      "OSDOnTrackChange=0\r\nOSDShowVolume=0\r\nOSDShowArt=0\r\n"),
            std::string::npos)
      << file;
  ResetGlobalAtoms();
}

}  // namespace
