// How long a hotkey's OSD takes to reach the screen: from the ShowOsd call
// until the window is visible and its first paint is done, without the
// tooltip animation. Two cases: the OSD off screen (a window is created) and
// on screen (the same window takes the new text).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"

namespace {

constexpr int kShows = 200;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Dispatches this thread's messages until the OSD has nothing left to paint.
void WaitUntilPainted(HWND osd) {
  MSG msg;
  while (GetUpdateRect(osd, nullptr, FALSE)) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    }
  }
}

double ShowOnce(const std::string& text, bool fromOffScreen) {
  if (fromOffScreen) HideOsd();
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  ShowOsd(text);
  HWND osd = OsdPlatformWindow();
  if (osd == nullptr || !IsWindowVisible(osd)) return -1;
  WaitUntilPainted(osd);
  QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

void Report(const char* name, std::vector<double> times) {
  if (std::any_of(times.begin(), times.end(), [](double t) { return t < 0; })) {
    std::printf("%s: the OSD did not show\n", name);
    return;
  }
  std::sort(times.begin(), times.end());
  std::printf("%-28s median %7.3f ms   p95 %7.3f ms   worst %7.3f ms   (%zu shows)\n", name,
              times[times.size() / 2], times[times.size() * 95 / 100], times.back(), times.size());
}

}  // namespace

int main() {
  BOOL animation = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(FALSE), 0);

  gSettings.osdDisplayTime = 1000;
  CreateOsdWindow();
  std::vector<double> created, replaced;
  for (int i = 0; i < kShows; ++i) {
    const std::string text = "Next : \"Track " + std::to_string(i) + "\" [1:05/3:07]";
    created.push_back(ShowOnce(text, true));
    replaced.push_back(ShowOnce(text + " ", false));
  }
  DestroyOsdWindow();

  SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(animation)),
                        0);
  Report("show, OSD off screen:", created);
  Report("show, OSD on screen:", replaced);
  return 0;
}
