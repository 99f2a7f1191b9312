// What the main-window hook costs the host: messages per second through a host
// main window hooked by the plug-in, with the OSD off screen and on screen and
// following the player's own changes (its notices read),
// against a floor hook that does only the one position request every hooked
// message needs and chains. Once on an 8-bit host window (the 2.x player's)
// and once on a Unicode one (the 5.x player's), each hooked with its own calls.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "core/host_codes.h"
#include "plugin/host/window_hooks.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/plugin_state.h"

namespace {

constexpr int kMessagesPerRound = 50000;
constexpr int kRounds = 15;
constexpr UINT kBenchMessage = WM_APP + 1;

bool gWide = false;  // the kind of the host window being measured

LRESULT HostAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide) {
  if (message == WM_USER && lParam == klv::kHostPosition) return wParam == 0 ? 65432 : 187;
  if (message == WM_USER) return 0;
  return wide ? DefWindowProcW(window, message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK HostProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return HostAnswer(window, message, wParam, lParam, false);
}

LRESULT CALLBACK HostProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return HostAnswer(window, message, wParam, lParam, true);
}

WNDPROC gFloorSaved = nullptr;

LRESULT CALLBACK FloorHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message != WM_USER) SendMessageA(window, WM_USER, 0, klv::kHostPosition);
  return gWide ? CallWindowProcW(gFloorSaved, window, message, wParam, lParam)
               : CallWindowProcA(gFloorSaved, window, message, wParam, lParam);
}

WNDPROC Procedure(HWND window) {
  return reinterpret_cast<WNDPROC>(gWide ? GetWindowLongW(window, GWL_WNDPROC)
                                         : GetWindowLongA(window, GWL_WNDPROC));
}

WNDPROC SetProcedure(HWND window, WNDPROC procedure) {
  const auto value = reinterpret_cast<LONG>(procedure);
  return reinterpret_cast<WNDPROC>(gWide ? SetWindowLongW(window, GWL_WNDPROC, value)
                                         : SetWindowLongA(window, GWL_WNDPROC, value));
}

// The class is registered anew for each kind: a Unicode class makes Unicode windows.
HWND CreateHostMainWindow() {
  UnregisterClassA(klv::kMainWindowClass, GetModuleHandleA(nullptr));
  if (gWide) {
    const std::wstring className(std::begin(klv::kMainWindowClass), std::end(klv::kMainWindowClass) - 1);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProcW;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);
  } else {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = klv::kMainWindowClass;
    RegisterClassA(&windowClass);
  }
  HWND window = CreateWindowExA(0, klv::kMainWindowClass, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return window != nullptr && (IsWindowUnicode(window) != FALSE) == gWide ? window : nullptr;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Messages per second for one round.
double Round(HWND window) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  const auto send = gWide ? SendMessageW : SendMessageA;
  for (int i = 0; i < kMessagesPerRound; ++i) send(window, kBenchMessage, i, 0);
  QueryPerformanceCounter(&end);
  return kMessagesPerRound / Seconds(start, end);
}

// Following the player: "Show on pause and stop" and "Show on volume change" on.
enum Setup { kBare, kFloor, kPluginOsdOff, kPluginOsdOn, kPluginFollowing, kSetupCount };
const char* const kSetupNames[kSetupCount] = {"no hook", "floor hook", "plug-in, OSD off screen",
                                              "plug-in, OSD on screen", "plug-in, following the player"};

void FollowThePlayer(bool follow) {
  gSettings.osdOnPlayState = gSettings.osdOnVolumeChange = follow;
  FollowPlayerAnew();
}

void Enter(Setup setup, HWND window) {
  switch (setup) {
    case kBare:
      break;
    case kFloor:
      gFloorSaved = SetProcedure(window, &FloorHook);
      break;
    case kPluginOsdOff:
      InstallWindowHooks();
      break;
    case kPluginOsdOn:
      InstallWindowHooks();
      ShowOsd("Next : \"Bench\" [1:05/3:07]");
      break;
    case kPluginFollowing:
      InstallWindowHooks();
      FollowThePlayer(true);
      break;
    case kSetupCount:
      break;
  }
}

void Leave(Setup setup, HWND window) {
  switch (setup) {
    case kFloor:
      SetProcedure(window, gFloorSaved);
      break;
    case kPluginOsdOn:
      DestroyOsdPlatformWindow();
      RemoveWindowHooks();
      break;
    case kPluginOsdOff:
      RemoveWindowHooks();
      break;
    case kPluginFollowing:
      FollowThePlayer(false);
      RemoveWindowHooks();
      break;
    default:
      break;
  }
}

// A measurement of the wrong setup is worse than none.
bool InPlace(Setup setup, HWND window) {
  const WNDPROC procedure = Procedure(window);
  if ((IsWindowUnicode(window) != FALSE) != gWide) return false;
  switch (setup) {
    case kBare:
      return procedure == (gWide ? &HostProcW : &HostProcA);
    case kFloor:
      return procedure == &FloorHook;
    case kPluginOsdOff:
    case kPluginFollowing:
      return procedure == &MainWindowHook && OsdPlatformWindow() == nullptr;
    case kPluginOsdOn:
      return procedure == &MainWindowHook && OsdPlatformWindow() != nullptr;
    default:
      return false;
  }
}

// Rounds of the setups interleaved, best round of each kept, so that a busy
// moment of the machine does not fall on one setup alone.
bool Measure(const char* kind) {
  HWND window = CreateHostMainWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "cannot create the %s window\n", kind);
    return false;
  }
  SetHostMainWindow(window);
  gSettings.playbackPosition = 0;
  double best[kSetupCount] = {};
  for (int round = 0; round < kRounds; ++round) {
    for (int setup = 0; setup < kSetupCount; ++setup) {
      Enter(static_cast<Setup>(setup), window);
      if (!InPlace(static_cast<Setup>(setup), window)) {
        std::fprintf(stderr, "%s, %s: not in place\n", kSetupNames[setup], kind);
        return false;
      }
      best[setup] = std::max(best[setup], Round(window));
      Leave(static_cast<Setup>(setup), window);
    }
  }
  if (gSettings.playbackPosition != 65432) {
    std::fprintf(stderr, "the plug-in's hook never polled the position on the %s\n", kind);
    return false;
  }
  for (int setup = 0; setup < kSetupCount; ++setup) {
    const std::string name = std::string(kSetupNames[setup]) + " (" + kind + ")";
    std::printf("%-40s %10.0f msg/s  %5.2fx the floor's time per message\n", name.c_str(), best[setup],
                best[kFloor] / best[setup]);
  }
  DestroyWindow(window);
  return true;
}

}  // namespace

int main() {
  gSettings.osdEnabled = true;
  gSettings.osdDisplayTime = 0x7FFFFFFF;  // stays on screen for the whole run
  PrepareOsd();
  std::printf("%d messages per round, best of %d rounds\n", kMessagesPerRound, kRounds);
  gWide = false;
  if (!Measure("8-bit host")) return 1;
  gWide = true;
  if (!Measure("Unicode host")) return 1;
  return 0;
}
