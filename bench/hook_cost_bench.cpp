// What the main-window hook costs the host: messages per second through a host
// main window hooked by the plug-in, with the OSD off screen and on screen,
// against a floor hook that does only the one position request every hooked
// message needs and chains.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "core/osd_text.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/window_hooks.h"

namespace {

constexpr int kMessagesPerRound = 50000;
constexpr int kRounds = 15;
constexpr UINT kBenchMessage = WM_APP + 1;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_USER && lParam == klv::kHostPosition) return wParam == 0 ? 65432 : 187;
  if (message == WM_USER) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC gFloorSaved = nullptr;

LRESULT CALLBACK FloorHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message != WM_USER) SendMessageA(window, WM_USER, 0, klv::kHostPosition);
  return CallWindowProcA(gFloorSaved, window, message, wParam, lParam);
}

HWND CreateHostMainWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Winamp v1.x";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "Winamp v1.x", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
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
  for (int i = 0; i < kMessagesPerRound; ++i) SendMessageA(window, kBenchMessage, i, 0);
  QueryPerformanceCounter(&end);
  return kMessagesPerRound / Seconds(start, end);
}

enum Setup { kBare, kFloor, kPluginOsdOff, kPluginOsdOn, kSetupCount };
const char* const kSetupNames[kSetupCount] = {"no hook", "floor hook", "plug-in, OSD off screen",
                                              "plug-in, OSD on screen"};

void Enter(Setup setup, HWND window) {
  switch (setup) {
    case kBare:
      break;
    case kFloor:
      gFloorSaved = reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
      SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(&FloorHook));
      break;
    case kPluginOsdOff:
      InstallWindowHooks();
      break;
    case kPluginOsdOn:
      InstallWindowHooks();
      ShowOsd("Next : \"Bench\" [1:05/3:07]");
      break;
    case kSetupCount:
      break;
  }
}

void Leave(Setup setup, HWND window) {
  switch (setup) {
    case kFloor:
      SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(gFloorSaved));
      break;
    case kPluginOsdOn:
      DestroyOsdPlatformWindow();
      RemoveWindowHooks();
      break;
    case kPluginOsdOff:
      RemoveWindowHooks();
      break;
    default:
      break;
  }
}

// A measurement of the wrong setup is worse than none.
bool InPlace(Setup setup, HWND window) {
  auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
  switch (setup) {
    case kBare:
      return procedure == &HostProc;
    case kFloor:
      return procedure == &FloorHook;
    case kPluginOsdOff:
      return procedure == &MainWindowHook && OsdPlatformWindow() == nullptr;
    case kPluginOsdOn:
      return procedure == &MainWindowHook && OsdPlatformWindow() != nullptr;
    default:
      return false;
  }
}

}  // namespace

int main() {
  HWND window = CreateHostMainWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "cannot create the host window\n");
    return 1;
  }
  SetHostMainWindow(window);
  gSettings.osdEnabled = true;
  gSettings.osdDisplayTime = 0x7FFFFFFF;  // stays on screen for the whole run
  PrepareOsd();

  // Rounds of the setups interleaved, best round of each kept, so that a busy
  // moment of the machine does not fall on one setup alone.
  double best[kSetupCount] = {};
  for (int round = 0; round < kRounds; ++round) {
    for (int setup = 0; setup < kSetupCount; ++setup) {
      Enter(static_cast<Setup>(setup), window);
      if (!InPlace(static_cast<Setup>(setup), window)) {
        std::fprintf(stderr, "%s: not in place\n", kSetupNames[setup]);
        return 1;
      }
      best[setup] = std::max(best[setup], Round(window));
      Leave(static_cast<Setup>(setup), window);
    }
  }

  if (gLastPlaybackPosition != 65432) {
    std::fprintf(stderr, "the plug-in's hook never polled the position\n");
    return 1;
  }
  std::printf("%d messages per round, best of %d rounds\n", kMessagesPerRound, kRounds);
  for (int setup = 0; setup < kSetupCount; ++setup) {
    std::printf("%-26s %10.0f msg/s  %5.2fx the floor's time per message\n", kSetupNames[setup], best[setup],
                best[kFloor] / best[setup]);
  }
  DestroyWindow(window);
  return 0;
}
