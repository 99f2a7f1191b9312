// Where PluginInit's time goes: init's steps one by one, in init's order, on
// in-process host windows with a gen_klv.ini registering fifteen hotkeys and
// the OSD on. Each round does the whole start and a whole quit; only the steps
// are timed. Prints markdown table rows, a median per step.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/bench_support.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "plugin/cover/track_cover.h"
#include "plugin/host/instance_marker.h"
#include "plugin/host/transparency.h"
#include "plugin/host/window_hooks.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "testkit/test_host.h"

namespace {

constexpr int kRounds = 40;

enum Step {
  kMarker,
  kSettingsFile,
  kReads,
  kRegistrations,
  kTransparency,
  kOsd,
  kCover,
  kHooks,
  kPlay,
  kSteps
};
constexpr const char* kStepNames[kSteps] = {"instance marker (atom and mutex)",
                                            "settings file located",
                                            "settings read",
                                            "15 hotkeys registered",
                                            "transparency applied",
                                            "OSD prepared (font, class)",
                                            "cover lookups started",
                                            "host windows hooked",
                                            "play on start"};

class StepClock {
 public:
  explicit StepClock(std::vector<double>* times) : times_(times), last_(bench::Now()) {}
  void Lap(Step step) {
    const LARGE_INTEGER now = bench::Now();
    times_[step].push_back(bench::Milliseconds(last_, now));
    last_ = now;
  }

 private:
  std::vector<double>* times_;
  LARGE_INTEGER last_;
};

// The steps of init as the plug-in takes them.
bool Round(std::vector<double>* times, std::vector<double>& whole) {
  const LARGE_INTEGER start = bench::Now();
  StepClock clock(times);
  SetHostMainWindow(gPlugin.hwndParent);
  if (TakeInstanceMarker() == MarkerTaken::kRefused) return false;
  clock.Lap(kMarker);
  if (!OpenSettingsFile()) return false;
  clock.Lap(kSettingsFile);
  LoadSettings(SettingsSnapshot(*CurrentSettingsFile()));
  clock.Lap(kReads);
  // Init's registrations, the refusals kept here rather than shown in a box.
  std::vector<klv::RefusedHotkey> refused;
  for (klv::HotkeyRow& row : gHotkeyTable) RegisterNotingRefusal(row, refused);
  clock.Lap(kRegistrations);
  ApplyTransparency();
  clock.Lap(kTransparency);
  PrepareOsd();
  clock.Lap(kOsd);
  StartCoverLookups();
  clock.Lap(kCover);
  InstallWindowHooks();
  clock.Lap(kHooks);
  PlayOnStart();
  clock.Lap(kPlay);
  whole.push_back(bench::Milliseconds(start, bench::Now()));
  // Gives all of it back, the marker too, as a quit does.
  ReleaseAtUnload();
  return refused.empty();
}

// What one call through the Wine server costs here (an atom looked up and not
// found): the unit most steps are counted in. It moves with how fast the
// machine wakes an idle core, several times over between runs.
double ServerCallMs() {
  constexpr int kCalls = 100;
  const LARGE_INTEGER start = bench::Now();
  for (int i = 0; i < kCalls; ++i) GlobalFindAtomA("klv bench: no such atom");
  return bench::Milliseconds(start, bench::Now()) / kCalls;
}

}  // namespace

int main() {
  TestInstall install;
  TestHost host;
  if (!bench::WriteBenchIni(install.IniPath(), true)) {
    std::fprintf(stderr, "cannot write the settings file\n");
    return 1;
  }
  gPlugin.hwndParent = host.main;
  std::vector<double> times[kSteps], whole, serverCall;
  for (int i = 0; i <= kRounds; ++i) {
    serverCall.push_back(ServerCallMs());
    if (!Round(times, whole)) {
      std::fprintf(stderr, "a step failed in round %d\n", i);
      return 1;
    }
    // The first round loads what the later ones find loaded: it is not counted.
    if (i == 0) {
      for (auto& step : times) step.clear();
      whole.clear();
      serverCall.clear();
    }
  }
  for (int step = 0; step < kSteps; ++step) {
    std::printf("| init step | %s, %d rounds | median %.3f ms | |\n", kStepNames[step], kRounds,
                bench::Median(times[step]));
  }
  std::printf("| init step | all steps, %d rounds | median %.3f ms | |\n", kRounds, bench::Median(whole));
  std::printf(
      "| init step | one call through the Wine server (GlobalFindAtomA), %d rounds | median %.3f ms | |\n",
      kRounds, bench::Median(serverCall));
  return 0;
}
