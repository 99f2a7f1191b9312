// How long a hotkey's OSD takes to reach the screen: from the ShowOsd call
// until the window is visible and its first paint is done, without the
// tooltip animation. Two cases: the OSD off screen (a window is created) and
// on screen (the same window takes the new text). Each show alternates with
// one of a bare popup of the same size, the floor, measured the same way.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"

namespace {

constexpr int kShows = 200;

// -1 when the OSD did not come up.
double ShowOsdOnce(const std::string& text, bool fromOffScreen) {
  if (fromOffScreen) DestroyOsdPlatformWindow();
  const LARGE_INTEGER start = bench::Now();
  ShowOsd(text);
  if (!bench::WaitUntilPainted(OsdPlatformWindow())) return -1;
  return bench::Milliseconds(start, bench::Now());
}

double ShowFloorOnce(bench::FloorPopup& floor, const RECT& place, const std::string& text,
                     bool fromOffScreen) {
  if (fromOffScreen) floor.Hide();
  const LARGE_INTEGER start = bench::Now();
  floor.Show(place, text);
  if (!bench::WaitUntilPainted(floor.Window())) return -1;
  return bench::Milliseconds(start, bench::Now());
}

// The OSD's size, beside the OSD so that neither covers the other.
RECT FloorPlace(const RECT& osd) {
  const int height = osd.bottom - osd.top;
  RECT place = osd;
  const int top = osd.top > height + 10 ? osd.top - height - 10 : osd.bottom + 10;
  OffsetRect(&place, 0, top - osd.top);
  return place;
}

bool Report(const char* name, const std::vector<double>& plugin, const std::vector<double>& floor) {
  for (const std::vector<double>* times : {&plugin, &floor}) {
    for (double t : *times) {
      if (t < 0) {
        std::printf("%s: a window did not show\n", name);
        return false;
      }
    }
  }
  const bench::Spread ours = bench::SpreadOf(plugin);
  const bench::Spread bare = bench::SpreadOf(floor);
  std::printf(
      "%-28s median %7.3f ms   p95 %7.3f ms   worst %7.3f ms   (%zu shows)   floor median %7.3f ms   "
      "%.2fx the floor\n",
      name, ours.median, ours.p95, ours.worst, plugin.size(), bare.median, ours.median / bare.median);
  return true;
}

}  // namespace

int main() {
  const bench::TooltipAnimationOff noAnimation;

  gSettings.osdDisplayTime = 1000;
  PrepareOsd();
  bench::FloorPopup floor;
  std::vector<double> created, replaced, floorCreated, floorReplaced;
  RECT place{};
  for (int i = 0; i < kShows; ++i) {
    // On screen the elapsed time moves on, as with a second press of the same key.
    const std::string title = "Next : \"Track " + std::to_string(i) + "\" ";
    const std::string text = title + "[1:05/3:07]";
    const std::string later = title + "[1:06/3:07]";
    created.push_back(ShowOsdOnce(text, true));
    if (i == 0) {
      RECT osd{};
      GetWindowRect(OsdPlatformWindow(), &osd);
      place = FloorPlace(osd);
    }
    floorCreated.push_back(ShowFloorOnce(floor, place, text, true));
    replaced.push_back(ShowOsdOnce(later, false));
    floorReplaced.push_back(ShowFloorOnce(floor, place, later, false));
  }
  ReleaseOsd();
  floor.Hide();

  const bool ok = Report("show, OSD off screen:", created, floorCreated) &
                  Report("show, OSD on screen:", replaced, floorReplaced);
  return ok ? 0 : 1;
}
