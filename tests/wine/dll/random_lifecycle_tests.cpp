// Seeded random sequences of what a host and a user can do, in any order,
// through the real DLL: load, init, config, quit, unload with and without
// quit, a second player process that ends in every way, key presses, host
// messages, activation, both dialogs, message boxes closed at any moment (also
// while the host calls back in), a settings file that turns read-only and a
// combination that another process takes. The invariants are checked after
// every step.
//
// A failure prints its seed, and KLV_LIFECYCLE_SEED=<seed> replays that
// sequence alone. KLV_LIFECYCLE_SECONDS (60 by default) bounds a run of
// consecutive seeds; KLV_LIFECYCLE_STEPS (40) sets the steps of a sequence;
// KLV_LIFECYCLE_VERBOSE=1 prints every step as it runs.
#include "tests/wine/dll/random_lifecycle/model.h"

namespace random_lifecycle {
namespace {

struct RunSettings {
  uint32_t firstSeed = 0;
  bool replay = false;  // one given seed only
  DWORD seconds = 60;
  int steps = 40;
  bool verbose = false;
};

RunSettings SettingsFromEnvironment() {
  RunSettings run;
  if (const char* seed = std::getenv("KLV_LIFECYCLE_SEED")) {
    run.firstSeed = static_cast<uint32_t>(std::strtoul(seed, nullptr, 0));
    run.replay = true;
  } else {
    run.firstSeed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  }
  if (const char* seconds = std::getenv("KLV_LIFECYCLE_SECONDS"))
    run.seconds = std::strtoul(seconds, nullptr, 0);
  if (const char* steps = std::getenv("KLV_LIFECYCLE_STEPS")) run.steps = std::atoi(steps);
  const char* verbose = std::getenv("KLV_LIFECYCLE_VERBOSE");
  run.verbose = verbose != nullptr && *verbose == '1';
  return run;
}

// ---- Faults the random run found, each kept as a test ----

BYTE AlphaOrOpaque(HWND window) {
  const int alpha = AlphaOf(window);
  return static_cast<BYTE>(alpha < 0 ? 255 : alpha);
}

// Another player runs beside ours, its windows in front: the plug-in hooks
// and layers the windows of its own host only, and once it quit the host can
// unload it.
TEST(BesideAnotherPlayer, OnlyTheHostsOwnWindowsAreHookedAndLayered) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni(
      "[Transparency]\r\nEnableActive=1\r\nEnableInactive=1\r\nWinAMP_active=200\r\nWinAMP_inactive=100\r\n"
      "Playlist_active=201\r\nPlaylist_inactive=101\r\nEqualizer_active=202\r\nEqualizer_inactive=102\r\n");
  TestHost host;
  FlushPostedMessages();  // shown before the other player starts
  const WNDPROC hostProcedure = WindowProcedure(host.playlist);
  PlayerProcess other(install, PluginSource::kNone);
  HWND otherMain = other.MainWindow();
  ASSERT_NE(otherMain, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return other.FoundFirstByClass(); }))
      << "the other player's windows must come first in a search by class";
  HWND otherPlaylist = FindWindowA("Winamp PE", nullptr);
  const BYTE otherAlphas[] = {AlphaOrOpaque(otherMain), AlphaOrOpaque(otherPlaylist),
                              AlphaOrOpaque(FindWindowA("Winamp EQ", nullptr))};
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    for (HWND window : {host.main, host.playlist, host.equalizer})
      EXPECT_NE(WindowProcedure(window), hostProcedure);
    SendMessageA(host.playlist, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(AlphaOf(host.playlist), 101);
    SendMessageA(host.equalizer, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(AlphaOf(host.equalizer), 202);
    EXPECT_EQ(AlphaOrOpaque(otherMain), otherAlphas[0]);
    EXPECT_EQ(AlphaOrOpaque(otherPlaylist), otherAlphas[1]);
    EXPECT_EQ(AlphaOrOpaque(FindWindowA("Winamp EQ", nullptr)), otherAlphas[2]);
    plugin.Quit();
    for (HWND window : {host.main, host.playlist, host.equalizer})
      EXPECT_EQ(WindowProcedure(window), hostProcedure);
  }
  EXPECT_EQ(GetModuleHandleA(PluginDllPath().c_str()), nullptr) << "the library stayed loaded";
  EXPECT_TRUE(other.Quit());
  ResetGlobalAtoms();
}

// ---- The run ----

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  if (gSequence != nullptr) {
    std::fprintf(stdout, "lifecycle: crash 0x%08lx at %p\n",
                 static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                 exception->ExceptionRecord->ExceptionAddress);
    gSequence->PrintTrail(stdout);
    std::fprintf(stdout, "lifecycle: replay it with KLV_LIFECYCLE_SEED=%u\n", gSequence->Seed());
    std::fflush(stdout);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// A step that never returns is a hang: reported, and the process ended.
class HangWatch {
 public:
  HangWatch() : thread_([this] { Run(); }) {}
  ~HangWatch() {
    stop_ = true;
    thread_.Join();
  }
  HangWatch(const HangWatch&) = delete;
  HangWatch& operator=(const HangWatch&) = delete;

 private:
  void Run() {
    constexpr DWORD kHangMs = 90000;
    while (!stop_) {
      Sleep(500);
      if (gSequence != nullptr && GetTickCount() - gLastProgress > kHangMs) {
        std::fprintf(stdout, "lifecycle: no progress for %lu s\n", kHangMs / 1000);
        gSequence->PrintTrail(stdout);
        std::fprintf(stdout, "lifecycle: replay it with KLV_LIFECYCLE_SEED=%u\n", gSequence->Seed());
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }
  std::atomic<bool> stop_{false};
  Win32Thread thread_;
};

// Loaded as a real host has it loaded, so that what it brings along
// (winspool) stays across the plug-in's loads.
class HostLibrary {
 public:
  explicit HostLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  ~HostLibrary() { FreeLibrary(module_); }
  HostLibrary(const HostLibrary&) = delete;
  HostLibrary& operator=(const HostLibrary&) = delete;

 private:
  HMODULE module_;
};

TEST(RandomLifecycle, EverySequenceKeepsTheInvariants) {
  const RunSettings run = SettingsFromEnvironment();
  std::printf("lifecycle: %s seed %u, %d steps a sequence, %lu s\n", run.replay ? "replaying" : "from",
              run.firstSeed, run.steps, static_cast<unsigned long>(run.seconds));
  std::fflush(stdout);
  SetUnhandledExceptionFilter(ReportCrash);
  const HostLibrary commonDialogs("comdlg32.dll");
  gLastProgress = GetTickCount();
  const HangWatch hangWatch;

  const DWORD start = GetTickCount();
  int sequences = 0, topLevel = 0, nested = 0;
  uint32_t seed = run.firstSeed;
  ASSERT_TRUE(Sequence(0, 0, run.verbose).WarmUp()) << "the warm-up failed";
  PumpMessages(20);
  const Resources baseline;
  const int baselineTlsSlots = FreeTlsSlots();
  const int baselineLoads = gFreshLoads;
  for (;; ++seed) {
    Sequence sequence(seed, run.steps, run.verbose);
    const bool kept = sequence.Run();
    ++sequences;
    topLevel += sequence.TopLevelSteps();
    nested += sequence.NestedSteps();
    const Resources now;
    std::printf(
        "lifecycle: seed %u: %d steps, %d inside modal loops%s; %d windows, %d GDI objects, %d handles\n",
        seed, sequence.TopLevelSteps(), sequence.NestedSteps(), kept ? "" : ", FAILED", now.windows,
        now.gdiObjects, now.kernelHandles);
    std::fflush(stdout);
    if (!kept) break;
    // Rare paths may still fill a cache of the system's now and then.
    constexpr int kSlack = 24;
    const int unwinderHandles = kUnwinderHandlesPerLoad * (gFreshLoads - baselineLoads);
    EXPECT_EQ(now.windows, baseline.windows) << "windows after seed " << seed;
    EXPECT_EQ(FreeTlsSlots(), baselineTlsSlots) << "free TLS slots after seed " << seed;
    EXPECT_LE(now.gdiObjects, baseline.gdiObjects + kSlack) << "GDI objects after seed " << seed;
    EXPECT_LE(now.kernelHandles, baseline.kernelHandles + unwinderHandles + kSlack / 3)
        << "kernel handles after seed " << seed << ", " << unwinderHandles
        << " of them the unwinder's, one per load";
    if (::testing::Test::HasFailure()) break;
    if (run.replay || GetTickCount() - start >= run.seconds * 1000) break;
  }
  std::printf("lifecycle: %d sequences (seeds %u to %u), %d steps and %d inside modal loops in %lu s\n",
              sequences, run.firstSeed, seed, topLevel, nested,
              static_cast<unsigned long>((GetTickCount() - start) / 1000));
  std::fflush(stdout);
}

}  // namespace
}  // namespace random_lifecycle
