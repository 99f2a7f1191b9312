// The randomised lifecycle run's model: what it picks from (keys, typed
// times, levels), what it expects the dialog to show, and the sequence with
// the state its steps leave and its checks read. Its steps are in steps.cpp,
// its checks in checks.cpp, the run in ../random_lifecycle_tests.cpp.
#pragma once

// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/hotkey_holder.h"
#include "testkit/player_process.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "testkit/win32_thread.h"
#include "ui/assign_dialog_ids.h"
#include "ui/config_dialog_ids.h"
#include "win32/host/plugin_contract.h"

namespace random_lifecycle {

constexpr char kRefusedHotkeyText[] = "Unable to set a hot key.";

// Keys the run assigns, presses and lets another process take, always with
// Ctrl+Alt (and sometimes Shift): no window does anything with them when no
// hotkey takes them.
struct PoolKey {
  const char* name;  // as the assignment dialog's key box lists it
  uint16_t code;
};
const PoolKey kPoolKeys[] = {{"N", 'N'}, {"P", 'P'}, {"Q", 'Q'}, {"F7", VK_F7}, {"F8", VK_F8}, {"F9", VK_F9}};
constexpr int kPoolKeyCount = sizeof(kPoolKeys) / sizeof(kPoolKeys[0]);

inline klv::PackedHotkey PoolCombination(int key, bool shift) {
  return klv::PackHotkey(kPoolKeys[key].code, true, true, shift, false);
}

// Key box texts that name no key of the list.
const char* const kUnknownKeyNames[] = {"Space", "f1", "NumPad0", ""};

// Display times typed into the dialog, with the value each one stands for;
// the last ones are not whole numbers and change nothing.
struct TypedTime {
  const char* text;
  bool valid;
  int32_t value;
};
const TypedTime kTypedTimes[] = {{"500", true, 500}, {"2500", true, 2500}, {"$3E8", true, 1000},
                                 {"-5", true, -5},   {"0", true, 0},       {"abc", false, 0},
                                 {"", false, 0},     {"12x", false, 0}};

const char* const kLevelKeys[] = {"WinAMP_active",   "Playlist_active",   "Equalizer_active",
                                  "WinAMP_inactive", "Playlist_inactive", "Equalizer_inactive"};
const int kSliders[] = {form1::kActiveMainSlider,       form1::kActivePlaylistSlider,
                        form1::kActiveEqualizerSlider,  form1::kInactiveMainSlider,
                        form1::kInactivePlaylistSlider, form1::kInactiveEqualizerSlider};

// The levels the settings file starts with and the slider stops the run moves
// to. Every level the file can then hold is a row below, with the slider
// position it shows at (level x 100 div 255) and the stop that stores it
// (position x 255 div 100), -1 for none.
const int kFileLevels[] = {0, 1, 128, 200, 254, 255};
const int kSliderStops[] = {0, 1, 50, 78, 99, 100};
struct StoredLevel {
  int level;
  int shownAt;
  int storedFrom;
};
const StoredLevel kStoredLevels[] = {{0, 0, 0},     {1, 0, -1},     {2, 0, 1},     {127, 49, 50},
                                     {128, 50, -1}, {198, 77, 78},  {200, 78, -1}, {252, 98, 99},
                                     {254, 99, -1}, {255, 100, 100}};

inline bool ParentsEnabled(HWND control) {
  for (HWND window = control; window != nullptr; window = GetParent(window)) {
    if (!IsWindowEnabled(window)) return false;
  }
  return control != nullptr;
}

inline bool IsMessageBox(HWND dialog) {
  // A message box with only OK keeps no Cancel button; the pickers have one.
  return GetDlgItem(dialog, 0xFFFF) != nullptr && GetDlgItem(dialog, IDCANCEL) == nullptr;
}

inline bool IsAssignDialog(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpW(name, form2::kClassName) == 0;
}

// What the configuration dialog shows, as its "Exit" must write it.
struct DialogShown {
  bool hotkeys = false;
  std::vector<bool> marks;
  bool active = false, inactive = false;
  int sliders[6] = {};
  bool osd = false;
  int position = -1;  // the checked radio item, -1 for none
  std::string displayTime;
  bool playOnStart = false, remember = false;
};

class Sequence;
extern Sequence* gSequence;
extern std::atomic<DWORD> gLastProgress;
// Loads that mapped the DLL anew. MinGW's unwinder, linked into every DLL
// this toolchain builds, creates the lock of its frame table on each mapping
// and never closes it: one kernel handle per load and unload, counted apart
// here as a cost of the toolchain, not of the plug-in's code.
extern int gFreshLoads;
// Set once a quit ran inside a call of the plug-in's: from then on the DLL
// may stay mapped whatever the host frees.
extern bool gMayStayMapped;
constexpr int kUnwinderHandlesPerLoad = 1;

class Sequence {
 public:
  Sequence(uint32_t seed, int steps, bool verbose)
      : seed_(seed), steps_(steps), verbose_(verbose), random_(seed) {}

  // False once an invariant broke; the failure is reported already.
  bool Run();
  // Every kind of window, picker and box once, so that the caches they fill
  // (themes, common controls and dialogs) are full before anything is counted.
  bool WarmUp();
  int TopLevelSteps() const { return topLevelSteps_; }
  int NestedSteps() const { return nestedSteps_; }
  uint32_t Seed() const { return seed_; }
  void PrintTrail(FILE* to);

 private:
  // ---- Randomness ----
  int Pick(int count) { return static_cast<int>(random_() % static_cast<uint32_t>(count)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  template <typename T, size_t N>
  const T& PickOf(const T (&items)[N]) {
    return items[Pick(static_cast<int>(N))];
  }

  // ---- Record ----
  void Note(const std::string& what);
  void Fail(const std::string& why);

  // ---- The sequence ----
  void Start();
  void TopLevelStep();
  void Settle() { FlushPostedMessages(); }
  void Finish();
  void CheckInvariants();

  // ---- The host in this process ----
  bool ModuleMapped() const { return GetModuleHandleA(PluginDllPath().c_str()) != nullptr; }
  void Load();
  void Init();
  void Config();
  void Quit();
  void Unload(bool withQuit);

  // ---- A second player process ----
  enum class ChildEnd { kQuit, kExitWithoutQuit, kTerminate };
  void StartChild();
  void EndChild(ChildEnd how);

  // ---- The user and the system ----
  void PressHotkey();
  void SendHostMessage();
  void ChangeActivation();
  void ToggleReadOnly();
  void ToggleGrab();
  void ConfigDialogAction();
  void Exit(HWND dialog);
  DialogShown ReadDialog(HWND dialog) const;
  void CheckFileShows(const DialogShown& shown);
  void DoubleClickRow(HWND dialog, int row);

  // ---- Modal windows, from inside their loops ----
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
  void OnTick();
  std::vector<HWND> VisibleModals();
  void OnModalAppeared(HWND modal);
  void CloseModal(HWND modal);
  void AssignDialogAction(HWND dialog);
  void NestedAction();
  bool RegistrationAllowed() const { return inprocRunning_ || (initRunning_ && quits_ == quitsAtInit_); }

  HWND ConfigDialog() const {
    HWND dialog = FindWindowW(form1::kClassName, nullptr);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
  }

  const uint32_t seed_;
  const int steps_;
  const bool verbose_;
  std::mt19937 random_;
  CriticalSection trailLock_;
  std::vector<std::string> trail_;
  int topLevelSteps_ = 0;
  int nestedSteps_ = 0;
  bool failed_ = false;

  std::unique_ptr<TestInstall> install_;
  std::unique_ptr<TestHost> host_;
  std::unique_ptr<MarkerKey> marker_;
  HWND probe_ = nullptr;  // a window of ours to try registrations on
  LONG hostProcedure_ = 0;
  UINT_PTR timer_ = 0;

  // The plug-in in this process: our reference to the module, null while we hold none.
  HMODULE module_ = nullptr;
  PluginDescriptor* descriptor_ = nullptr;

  // What must be true, as the steps so far left it.
  bool inprocRunning_ = false;    // init returned 0 here, and no quit or unmapping since
  bool childRunsPlugin_ = false;  // the child player's init returned 0
  bool staleMarker_ = false;      // a player died with the plug-in running; its atoms may remain
  bool initRunning_ = false;
  int quits_ = 0;  // quits run here so far, nested ones included
  int quitsAtInit_ = 0;
  bool readOnly_ = false;
  int depth_ = 0;  // ticks acting, nested
  bool closeModalsOnly_ = false;
  std::vector<HWND> modalsSeen_;
  int doubleClickedRow_ = -1;  // a double click opened the assignment dialog for this row
  bool doubleClickedMark_ = false;

  std::unique_ptr<PlayerProcess> child_;
  std::unique_ptr<HotkeyHolder> grab_;
  klv::PackedHotkey grabbed_ = 0;
};

}  // namespace random_lifecycle
