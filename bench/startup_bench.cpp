// What the plug-in adds to the player's start: the stand-in player from
// process start to its main window and to its first answer (plug-ins
// initialised, message loop running), with and without gen_klv.dll and
// fifteen registered hotkeys; and PluginInit alone, in this process, with
// fifteen hotkeys against none. Prints markdown table rows.
// Needs KLV_PLAYER (player.exe) and KLV_DLL (gen_klv.dll) in the environment.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "plugin/plugin_state.h"
#include "testkit/player_process.h"
#include "testkit/test_host.h"

namespace {

constexpr int kPlayerRuns = 20;  // of each kind
constexpr int kInitRuns = 40;    // of each kind

struct Times {
  std::vector<double> window, ready;
};

// The player writes its folder to the registry, where the plug-in finds its file.
bool RunPlayer(const TestInstall& install, bool withPlugin, Times& times) {
  PlayerProcess run(install, {withPlugin ? PluginSource::kBuiltDll : PluginSource::kNone, "", 20000, false});
  if (!run.Started()) return false;
  run.Quit();
  times.window.push_back(run.WindowMs());
  times.ready.push_back(run.ReadyMs());
  return true;
}

// Runs i of the two kinds come from the same pair, so their differences cancel
// the machine's slower spells better than two medians do.
void Row(const char* measure, const std::vector<double>& without, const std::vector<double>& with) {
  std::vector<double> differences;
  for (size_t i = 0; i < without.size() && i < with.size(); ++i) differences.push_back(with[i] - without[i]);
  const double medianWithout = bench::Median(without), medianWith = bench::Median(with);
  std::printf(
      "| start | %s, %zu runs each | median %.1f ms without, %.1f ms with; best %.1f / %.1f ms | "
      "%.2fx of medians; paired difference median %+.1f ms |\n",
      measure, without.size(), medianWithout, medianWith, *std::min_element(without.begin(), without.end()),
      *std::min_element(with.begin(), with.end()), medianWith / medianWithout, bench::Median(differences));
}

bool BenchPlayerStart() {
  TestInstall bare, full;
  if (!bench::WriteBenchIni(full.IniPath(), true)) {
    std::fprintf(stderr, "cannot write the settings file\n");
    return false;
  }
  // One warm-up of each, then the two kinds alternate, each pair in turned order.
  Times warm, without, with;
  if (!RunPlayer(bare, false, warm) || !RunPlayer(full, true, warm)) {
    std::fprintf(stderr, "the player did not start\n");
    return false;
  }
  for (int i = 0; i < kPlayerRuns; ++i) {
    bool ok = (i % 2 == 0) ? RunPlayer(bare, false, without) && RunPlayer(full, true, with)
                           : RunPlayer(full, true, with) && RunPlayer(bare, false, without);
    if (!ok) {
      std::fprintf(stderr, "the player did not start\n");
      return false;
    }
  }
  Row("player start to main window (before plug-ins load)", without.window, with.window);
  Row("player start to first answer (plug-in init done)", without.ready, with.ready);
  return true;
}

// Init with the ini rewritten for the kind at hand; quit is not timed.
bool TimeInit(const TestInstall& install, bool withHotkeys, std::vector<double>& times) {
  if (!bench::WriteBenchIni(install.IniPath(), withHotkeys)) return false;
  LARGE_INTEGER start = bench::Now();
  int result = PluginInit();
  LARGE_INTEGER end = bench::Now();
  int registered = 0;
  for (const klv::HotkeyRow& row : gHotkeyTable) registered += row.registration.atom != 0 ? 1 : 0;
  PluginQuit();
  if (result != 0 || registered != (withHotkeys ? klv::kHotkeyCount : 0)) {
    std::fprintf(stderr, "init returned %d with %d hotkeys registered\n", result, registered);
    return false;
  }
  times.push_back(bench::Milliseconds(start, end));
  return true;
}

bool BenchPluginInit() {
  TestInstall install;
  TestHost host;
  gPlugin.hwndParent = host.main;
  std::vector<double> none, fifteen, warm;
  if (!TimeInit(install, true, warm)) return false;
  for (int i = 0; i < kInitRuns; ++i) {
    bool ok = (i % 2 == 0) ? TimeInit(install, false, none) && TimeInit(install, true, fifteen)
                           : TimeInit(install, true, fifteen) && TimeInit(install, false, none);
    if (!ok) return false;
  }
  std::printf(
      "| init | PluginInit in process, %d runs each | median %.3f ms with 0 hotkeys, %.3f ms with 15 | %.2fx "
      "|\n",
      kInitRuns, bench::Median(none), bench::Median(fifteen), bench::Median(fifteen) / bench::Median(none));
  return true;
}

}  // namespace

int main() {
  bool ok = BenchPlayerStart();
  ok = BenchPluginInit() && ok;
  return ok ? 0 : 1;
}
