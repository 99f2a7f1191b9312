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

namespace {

constexpr int kPlayerRuns = 20;  // of each kind
constexpr int kInitRuns = 40;    // of each kind

struct Times {
  std::vector<double> window, ready;
};

bool RunPlayer(const bench::Install& install, Times& times) {
  bench::PlayerRun run(install);
  if (!run.Ready()) return false;
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
  bench::Install bare("bare", false), full("full", true);
  if (!bare.Ok() || !full.Ok()) {
    std::fprintf(stderr, "cannot set up the player directories (KLV_PLAYER, KLV_DLL?)\n");
    return false;
  }
  // One warm-up of each, then the two kinds alternate, each pair in turned order.
  Times warm, without, with;
  if (!RunPlayer(bare, warm) || !RunPlayer(full, warm)) {
    std::fprintf(stderr, "the player did not start\n");
    return false;
  }
  for (int i = 0; i < kPlayerRuns; ++i) {
    bool ok = (i % 2 == 0) ? RunPlayer(bare, without) && RunPlayer(full, with)
                           : RunPlayer(full, with) && RunPlayer(bare, without);
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
bool TimeInit(const bench::Install& install, bool withHotkeys, std::vector<double>& times) {
  if (!bench::WriteBenchIni(install.Ini(), withHotkeys)) return false;
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
  bench::Install install("init", false);
  HWND main = bench::CreateHostWindow(klv::kMainWindowClass);
  bench::CreateHostWindow(klv::kPlaylistWindowClass);
  bench::CreateHostWindow(klv::kEqualizerWindowClass);
  if (main == nullptr || !bench::PointRegistryAt(install.Dir())) {
    std::fprintf(stderr, "cannot set up the host\n");
    return false;
  }
  gPlugin.hwndParent = main;
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
  DeleteFileA(install.Ini().c_str());
  return true;
}

}  // namespace

int main() {
  bool ok = BenchPlayerStart();
  ok = BenchPluginInit() && ok;
  return ok ? 0 : 1;
}
