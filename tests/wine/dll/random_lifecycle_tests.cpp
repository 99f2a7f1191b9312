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

namespace {

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

klv::PackedHotkey PoolCombination(int key, bool shift) {
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

bool ParentsEnabled(HWND control) {
  for (HWND window = control; window != nullptr; window = GetParent(window)) {
    if (!IsWindowEnabled(window)) return false;
  }
  return control != nullptr;
}

bool IsMessageBox(HWND dialog) {
  // A message box with only OK keeps no Cancel button; the pickers have one.
  return GetDlgItem(dialog, 0xFFFF) != nullptr && GetDlgItem(dialog, IDCANCEL) == nullptr;
}

bool IsAssignDialog(HWND window) {
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
Sequence* gSequence = nullptr;
std::atomic<DWORD> gLastProgress{0};
// Loads that mapped the DLL anew. MinGW's unwinder, linked into every DLL
// this toolchain builds, creates the lock of its frame table on each mapping
// and never closes it: one kernel handle per load and unload, counted apart
// here as a cost of the toolchain, not of the plug-in's code.
int gFreshLoads = 0;
// Set once a quit ran inside a call of the plug-in's: from then on the DLL
// may stay mapped whatever the host frees.
bool gMayStayMapped = false;
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

// ---- Record ----

void Sequence::Note(const std::string& what) {
  gLastProgress = GetTickCount();
  std::string line =
      std::to_string(topLevelSteps_) + (depth_ > 0 ? "." + std::to_string(depth_) : "") + " " + what;
  if (verbose_) {
    std::printf("  %s\n", line.c_str());
    std::fflush(stdout);
  }
  const CriticalSection::Lock lock(trailLock_);
  trail_.push_back(std::move(line));
}

void Sequence::PrintTrail(FILE* to) {
  const CriticalSection::Lock lock(trailLock_);
  std::fprintf(to, "lifecycle: the steps of seed %u:\n", seed_);
  for (const std::string& line : trail_) std::fprintf(to, "  %s\n", line.c_str());
  std::fflush(to);
}

void Sequence::Fail(const std::string& why) {
  if (failed_) return;
  failed_ = true;
  Note("FAILED: " + why);
  PrintTrail(stdout);
  ADD_FAILURE() << "seed " << seed_ << ", step " << topLevelSteps_ << ": " << why
                << "\nreplay it with KLV_LIFECYCLE_SEED=" << seed_ << " KLV_LIFECYCLE_STEPS=" << steps_;
}

// ---- The sequence ----

bool Sequence::Run() {
  Start();
  for (topLevelSteps_ = 1; topLevelSteps_ <= steps_ && !failed_; ++topLevelSteps_) {
    TopLevelStep();
    Settle();
    host_->ClearLog();
    if (!failed_) CheckInvariants();
  }
  --topLevelSteps_;
  Finish();
  return !failed_;
}

bool Sequence::WarmUp() {
  closeModalsOnly_ = true;
  Start();
  install_->WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(PoolCombination(0, false)) +
                     "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n");
  Load();
  Init();
  Config();
  if (HWND dialog = ConfigDialog()) {
    Note("type \"abc\" as the display time");
    SendDlgItemMessageA(dialog, form1::kDisplayTimeEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    SendDlgItemMessageA(dialog, form1::kSelectColorButton, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, form1::kSelectFontButton, BM_CLICK, 0, 0);
    DoubleClickRow(dialog, 4);
    Exit(dialog);
  } else {
    Fail("the configuration dialog did not open");
  }
  Note("the OSD shows");
  SendMessageA(host_->main, WM_HOTKEY, GlobalFindAtomA(klv::kHotkeyActions[4].atomName), 0);
  Unload(true);
  Finish();
  return !failed_;
}

void Sequence::Start() {
  gSequence = this;
  install_ = std::make_unique<TestInstall>();
  host_ = std::make_unique<TestHost>();
  marker_ = std::make_unique<MarkerKey>();
  probe_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  hostProcedure_ = reinterpret_cast<LONG>(WindowProcedure(host_->main));
  timer_ = SetTimer(nullptr, 0, 10, &Sequence::Tick);

  // A settings file of random content: hotkeys from the pool (a combination
  // twice makes init refuse one), transparency, OSD and playback. The hotkeys
  // in one section: a reader sees only the first of "[Hotkeys]" and
  // "[HotKeys]" when a file holds both.
  std::string ini = "[Hotkeys]\r\nEnable=" + std::to_string(Pick(3) != 0) + "\r\n";
  for (int assigned = Pick(5); assigned > 0; --assigned) {
    ini += std::string(klv::kHotkeyActions[Pick(klv::kHotkeyCount)].atomName) + "=" +
           std::to_string(PoolCombination(Pick(kPoolKeyCount), Chance(30))) + "\r\n";
  }
  ini += "[Transparency]\r\nEnableActive=" + std::to_string(Chance(50)) +
         "\r\nEnableInactive=" + std::to_string(Chance(50)) + "\r\n";
  for (const char* key : kLevelKeys)
    ini += std::string(key) + "=" + std::to_string(PickOf(kFileLevels)) + "\r\n";
  const int displayTimes[] = {0, 50, 1000, 60000};
  ini += "[OSD]\r\nEnable=" + std::to_string(Chance(60)) + "\r\nOSDPosition=" + std::to_string(Pick(10)) +
         "\r\nOSDDisplayTime=" + std::to_string(PickOf(displayTimes)) + "\r\n";
  ini += "[Track]\r\nPlayOnStart=" + std::to_string(Chance(30)) +
         "\r\nRememberPosition=" + std::to_string(Chance(50)) +
         "\r\nPosition=" + std::to_string(Pick(100000)) + "\r\n";
  install_->WriteIni(ini);
  Note("settings file:\n" + ini);
}

void Sequence::TopLevelStep() {
  HWND dialog = ConfigDialog();
  const bool loaded = module_ != nullptr;
  // One table of every kind of step, weighted by the state (0 for what cannot
  // happen now) so that most steps find the plug-in running and its dialog
  // open, where most can happen.
  enum Kind {
    kLoad,
    kInit,
    kConfig,
    kQuit,
    kUnloadQuit,
    kUnloadNoQuit,
    kChildStart,
    kChildClose,
    kChildExit,
    kChildKill,
    kPress,
    kHostMessage,
    kActivation,
    kDialog,
    kReadOnly,
    kGrab,
    kIdle,
    kKinds
  };
  int weights[kKinds] = {};
  const bool running = inprocRunning_;
  weights[kLoad] = loaded ? 0 : 6;
  weights[kInit] = !loaded ? 0 : running ? 2 : 12;
  weights[kConfig] = !loaded ? 0 : running && dialog == nullptr ? 8 : 2;
  weights[kQuit] = loaded ? 2 : 0;
  weights[kUnloadQuit] = loaded ? 2 : 0;
  weights[kUnloadNoQuit] = loaded ? 2 : 0;
  weights[kChildStart] = child_ ? 0 : 2;
  weights[kChildClose] = child_ ? 1 : 0;
  weights[kChildExit] = child_ ? 1 : 0;
  weights[kChildKill] = child_ ? 1 : 0;
  weights[kPress] = 5;
  weights[kHostMessage] = 5;
  weights[kActivation] = 2;
  weights[kDialog] = dialog != nullptr && IsWindowEnabled(dialog) ? 30 : 0;
  weights[kReadOnly] = 2;
  weights[kGrab] = 3;
  weights[kIdle] = 1;
  int total = 0;
  for (int weight : weights) total += weight;
  int drawn = Pick(total);
  int kind = 0;
  while (drawn >= weights[kind]) drawn -= weights[kind++];
  switch (kind) {
    case kLoad:
      Load();
      break;
    case kInit:
      Init();
      break;
    case kConfig:
      Config();
      break;
    case kQuit:
      Quit();
      break;
    case kUnloadQuit:
      Unload(true);
      break;
    case kUnloadNoQuit:
      Unload(false);
      break;
    case kChildStart:
      StartChild();
      break;
    case kChildClose:
      EndChild(ChildEnd::kQuit);
      break;
    case kChildExit:
      EndChild(ChildEnd::kExitWithoutQuit);
      break;
    case kChildKill:
      EndChild(ChildEnd::kTerminate);
      break;
    case kPress:
      PressHotkey();
      break;
    case kHostMessage:
      SendHostMessage();
      break;
    case kActivation:
      ChangeActivation();
      break;
    case kDialog:
      ConfigDialogAction();
      break;
    case kReadOnly:
      ToggleReadOnly();
      break;
    case kGrab:
      ToggleGrab();
      break;
    default:
      Note("idle 200 ms");
      WaitUntil([] { return false; }, 200);
      break;
  }
}

void Sequence::Finish() {
  // Stop everything the way a careful host would, then nothing may be left.
  if (failed_) {
    // Unwind whatever is open so that the next test starts clean.
    for (HWND modal : VisibleModals()) CloseModal(modal);
  }
  Note("finish");
  // Stopping is no longer random: a box that opens now is only closed.
  closeModalsOnly_ = true;
  if (module_ == nullptr && ModuleMapped()) Load();  // the plug-in still holds itself
  if (module_ != nullptr) Unload(true);
  if (child_) EndChild(ChildEnd::kQuit);
  grab_.reset();
  grabbed_ = 0;
  if (readOnly_) ToggleReadOnly();
  if (staleMarker_ && !failed_) {
    // A player died running the plug-in: the next start takes its marker over.
    Load();
    Init();
    Unload(true);
  }
  Settle();
  if (!failed_) {
    CheckInvariants();
    if (ModuleMapped() && !gMayStayMapped) Fail("the DLL stays loaded after the host let it go");
    int atomsLeft = 0;
    auto drop = [&atomsLeft](const char* name) {
      for (ATOM atom; (atom = GlobalFindAtomA(name)) != 0 && atomsLeft < 64; ++atomsLeft)
        GlobalDeleteAtom(atom);
    };
    drop(kInstanceAtom);
    for (const klv::HotkeyAction& action : klv::kHotkeyActions) drop(action.atomName);
    if (atomsLeft != 0) Fail(std::to_string(atomsLeft) + " atom references left behind after the last quit");
  }
  ResetGlobalAtoms();
  KillTimer(nullptr, timer_);
  marker_.reset();
  DestroyWindow(probe_);
  host_.reset();
  install_.reset();
  PumpMessages(20);
  gSequence = nullptr;
}

void Sequence::CheckInvariants() {
  if (!VisibleModals().empty()) Fail("a modal window outlived the call that opened it");
  if (CountVisibleWindows(L"TForm1") > 1) Fail("two configuration dialogs on screen");
  if (!inprocRunning_ && ConfigDialog() != nullptr)
    Fail("a configuration dialog while the plug-in is stopped");

  const bool live = inprocRunning_ || childRunsPlugin_;
  const bool marker = GlobalAtomExists(kInstanceAtom);
  if (live && !marker) Fail("no instance atom while a player runs the plug-in");
  if (!live && marker && !staleMarker_) Fail("an instance atom while no player runs the plug-in");

  uintptr_t imageStart = 0, imageEnd = 0;
  if (HMODULE mapped = GetModuleHandleA(PluginDllPath().c_str())) {
    MODULEINFO image{};
    GetModuleInformation(GetCurrentProcess(), mapped, &image, sizeof(image));
    imageStart = reinterpret_cast<uintptr_t>(image.lpBaseOfDll);
    imageEnd = imageStart + image.SizeOfImage;
  }
  for (HWND window : {host_->main, host_->playlist, host_->equalizer}) {
    const auto procedure = reinterpret_cast<LONG>(WindowProcedure(window));
    if (procedure == hostProcedure_) {
      if (window == host_->main && inprocRunning_)
        Fail("the host main window is not hooked while the plug-in runs");
      continue;
    }
    const auto address = static_cast<uintptr_t>(procedure);
    if (address < imageStart || address >= imageEnd) {
      Fail("a host window calls code that is neither the host's nor the loaded plug-in's");
    } else if (!inprocRunning_) {
      Fail("a host window still calls the plug-in after it stopped");
    }
  }

  if (!live) {
    for (int key = 0; key < kPoolKeyCount; ++key) {
      for (bool shift : {false, true}) {
        const klv::PackedHotkey combination = PoolCombination(key, shift);
        if (combination != grabbed_ && !IsFree(combination, probe_)) {
          Fail(std::string("Ctrl+Alt+") + (shift ? "Shift+" : "") + kPoolKeys[key].name +
               " stays registered after quit");
        }
      }
    }
    if (!staleMarker_) {
      for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
        if (GlobalAtomExists(action.atomName))
          Fail(std::string("the atom ") + action.atomName + " outlived quit");
      }
    }
  }
}

// ---- The host in this process ----

void Sequence::Load() {
  Note("load");
  if (!ModuleMapped()) ++gFreshLoads;
  module_ = LoadLibraryA(PluginDllPath().c_str());
  if (module_ == nullptr) return Fail("LoadLibrary failed");
  using GetPlugin = PluginDescriptor*(__cdecl*)();
  auto get = reinterpret_cast<GetPlugin>(
      reinterpret_cast<void*>(GetProcAddress(module_, "winampGetGeneralPurposePlugin")));
  if (get == nullptr) return Fail("no winampGetGeneralPurposePlugin");
  descriptor_ = get();
  descriptor_->hwndParent = host_->main;
  descriptor_->hDllInstance = module_;
}

void Sequence::Init() {
  if (descriptor_ == nullptr) return;  // unloaded from inside a box of this same step
  const bool expectStart = !inprocRunning_ && !childRunsPlugin_;
  Note(std::string("init, expecting ") + (expectStart ? "0" : "-1"));
  initRunning_ = true;
  quitsAtInit_ = quits_;
  const int result = descriptor_->init();
  initRunning_ = false;
  const bool quitMeanwhile = quits_ != quitsAtInit_;
  Note("init returned " + std::to_string(result) + (quitMeanwhile ? " after a quit during it" : ""));
  if (!quitMeanwhile && result != (expectStart ? 0 : -1)) {
    return Fail("init returned " + std::to_string(result) + " with " +
                (inprocRunning_     ? "the plug-in running here"
                 : childRunsPlugin_ ? "the child running it"
                                    : "no player running it") +
                (staleMarker_ ? " and a dead player's marker" : ""));
  }
  if (expectStart && !quitMeanwhile && result == 0) {
    inprocRunning_ = true;
    staleMarker_ = false;
  }
}

void Sequence::Config() {
  if (descriptor_ == nullptr) return;
  Note("config");
  descriptor_->config();
}

void Sequence::Quit() {
  if (descriptor_ == nullptr) return;
  Note("quit");
  ++quits_;
  // A quit from inside a call of ours (a box, a picker, the assignment
  // dialog) cannot let the module go: the calls below would return into
  // unmapped code. It stays mapped for the rest of the process.
  if (depth_ > 0 && (inprocRunning_ || initRunning_)) gMayStayMapped = true;
  descriptor_->quit();
  if (inprocRunning_) staleMarker_ = false;
  inprocRunning_ = false;
}

void Sequence::Unload(bool withQuit) {
  if (module_ == nullptr) return;
  if (withQuit) Quit();
  Note(withQuit ? "FreeLibrary" : "FreeLibrary without quit");
  FreeLibrary(module_);
  module_ = nullptr;
  descriptor_ = nullptr;
  // Unmapped, the library let everything go; still mapped, it holds itself
  // because a host window still calls it, and runs on.
  if (!ModuleMapped()) inprocRunning_ = false;
}

// ---- A second player process ----

void Sequence::StartChild() {
  const int expected = inprocRunning_ ? -1 : 0;
  Note("start a second player, expecting init " + std::to_string(expected));
  child_ = std::make_unique<PlayerProcess>(*install_);
  const int result = child_->InitResult();
  Note("its init returned " + std::to_string(result));
  if (result == -2) return Fail("the second player never started its plug-in");
  if (result != expected) {
    return Fail("the second player's init returned " + std::to_string(result) +
                (staleMarker_ ? " after a dead player's marker" : ""));
  }
  childRunsPlugin_ = result == 0;
  if (childRunsPlugin_) staleMarker_ = false;
}

void Sequence::EndChild(ChildEnd how) {
  switch (how) {
    case ChildEnd::kQuit:
      Note("the second player quits");
      if (!child_->Quit()) Fail("the second player did not end when it quit");
      break;
    case ChildEnd::kExitWithoutQuit:
      Note("the second player exits without quit");
      if (!child_->ExitWithoutQuit()) Fail("the second player did not exit");
      break;
    case ChildEnd::kTerminate:
      Note("terminate the second player");
      if (!child_->Terminate()) Fail("the second player could not be terminated");
      break;
  }
  if (childRunsPlugin_ && how != ChildEnd::kQuit) staleMarker_ = true;
  childRunsPlugin_ = false;
  child_.reset();
}

// ---- The user and the system ----

void Sequence::PressHotkey() {
  const int key = Pick(kPoolKeyCount);
  const bool shift = Chance(30);
  Note(std::string("press Ctrl+Alt+") + (shift ? "Shift+" : "") + kPoolKeys[key].name);
  PressKeys(PoolCombination(key, shift));
  // The marker goes after it through the same queue: once it arrived, so did the press.
  if (!marker_->PressAndWait(5000)) Fail("a key press never arrived");
}

void Sequence::SendHostMessage() {
  struct HostMessage {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const HostMessage messages[] = {
      {"WM_NULL", WM_NULL, 0, 0},
      {"WM_TIMER", WM_TIMER, 1, 0},
      {"WM_ACTIVATE inactive", WM_ACTIVATE, WA_INACTIVE, 0},
      {"WM_ACTIVATE active", WM_ACTIVATE, WA_ACTIVE, 0},
      {"WM_ACTIVATE click", WM_ACTIVATE, WA_CLICKACTIVE, 0},
      {"WM_ACTIVATE 7", WM_ACTIVATE, 7, 0},
      {"position request", WM_USER, 0, 105},
      {"length request", WM_USER, 1, 105},
      {"title request", WM_USER, 0, 212},
      {"shuffle request", WM_USER, 0, 250},
      {"WM_COMMAND next", WM_COMMAND, 40048, 0},
      {"WM_HOTKEY unknown id", WM_HOTKEY, 0xBEEF, 0},
      {"WM_HOTKEY of an entry", WM_HOTKEY, 0, 0},  // the entry's atom, looked up when sent
  };
  const HostMessage& m = PickOf(messages);
  const int which = Pick(3);
  HWND window = which == 0 ? host_->main : which == 1 ? host_->playlist : host_->equalizer;
  WPARAM wParam = m.wParam;
  std::string name = m.name;
  if (m.message == WM_HOTKEY && wParam == 0) {
    const klv::HotkeyAction& action = klv::kHotkeyActions[Pick(klv::kHotkeyCount)];
    wParam = GlobalFindAtomA(action.atomName);
    name += std::string(" ") + action.atomName;
  }
  const bool post = Chance(40);
  Note(std::string(post ? "post " : "send ") + name + " to " +
       (which == 0   ? "main"
        : which == 1 ? "playlist"
                     : "equalizer"));
  if (post) {
    PostMessageA(window, m.message, wParam, m.lParam);
  } else {
    SendMessageA(window, m.message, wParam, m.lParam);
  }
}

void Sequence::ChangeActivation() {
  HWND targets[] = {host_->main, host_->playlist, host_->equalizer, ConfigDialog()};
  const int which = Pick(4);
  HWND target = targets[which];
  const char* names[] = {"main", "playlist", "equalizer", "configuration dialog"};
  switch (Pick(3)) {
    case 0:
      Note(std::string("bring forward the ") + names[which]);
      if (target != nullptr) SetForegroundWindow(target);
      break;
    case 1:
      Note(std::string("activate the ") + names[which]);
      if (target != nullptr) SetActiveWindow(target);
      break;
    default:
      Note("minimise and restore the main window");
      ShowWindow(host_->main, SW_MINIMIZE);
      ShowWindow(host_->main, SW_RESTORE);
      break;
  }
}

void Sequence::ToggleReadOnly() {
  const std::string path = install_->IniPath();
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) install_->WriteIni("");
  readOnly_ = !readOnly_;
  Note(readOnly_ ? "make the settings file read-only" : "make the settings file writable");
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
  SetFileAttributesA(path.c_str(), readOnly_ ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

void Sequence::ToggleGrab() {
  if (grab_) {
    Note("the other process lets its combination go");
    grab_.reset();
    grabbed_ = 0;
    return;
  }
  const int key = Pick(kPoolKeyCount);
  const bool shift = Chance(30);
  const klv::PackedHotkey combination = PoolCombination(key, shift);
  Note(std::string("another process takes Ctrl+Alt+") + (shift ? "Shift+" : "") + kPoolKeys[key].name);
  grab_ = std::make_unique<HotkeyHolder>(combination);
  if (!grab_->Started()) return Fail("cannot start the other process (KLV_WINTOOL)");
  if (grab_->WaitHeld()) {
    grabbed_ = combination;
  } else {
    Note("it was taken already");
    grab_.reset();
  }
}

void Sequence::ConfigDialogAction() {
  HWND dialog = ConfigDialog();
  auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
  auto click = [&](int id, const char* what) {
    Note(std::string("click ") + what);
    if (ParentsEnabled(item(id))) SendMessageA(item(id), BM_CLICK, 0, 0);
  };
  HWND list = item(form1::kHotkeyList);
  switch (Pick(12)) {
    case 0: {
      struct Box {
        int id;
        const char* name;
      };
      const Box boxes[] = {{form1::kRememberPositionBox, "remember position"},
                           {form1::kPlayOnStartBox, "play on start"},
                           {form1::kActiveTransparencyBox, "active transparency"},
                           {form1::kInactiveTransparencyBox, "inactive transparency"},
                           {form1::kOsdBox, "OSD"},
                           {form1::kHotkeysBox, "hotkeys"}};
      const Box& box = PickOf(boxes);
      click(box.id, box.name);
      break;
    }
    case 1: {
      const int position = Pick(9);
      click(form1::kOsdPositionItem0 + position, ("position " + std::to_string(position)).c_str());
      break;
    }
    case 2: {
      const TypedTime& typed = PickOf(kTypedTimes);
      Note(std::string("type \"") + typed.text + "\" as the display time");
      if (ParentsEnabled(item(form1::kDisplayTimeEdit)))
        SendMessageA(item(form1::kDisplayTimeEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.text));
      break;
    }
    case 3: {
      const int tag = Pick(6);
      const int position = PickOf(kSliderStops);
      Note("move slider " + std::to_string(tag + 1) + " to " + std::to_string(position));
      HWND slider = item(kSliders[tag]);
      if (!ParentsEnabled(slider)) break;
      SendMessageA(slider, TBM_SETPOS, TRUE, position);
      SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                   reinterpret_cast<LPARAM>(slider));
      SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
      break;
    }
    case 4:
    case 5: {
      const int row = Pick(klv::kHotkeyCount);
      const bool mark = !RowMarked(list, row);
      Note(std::string(mark ? "mark" : "unmark") + " row " + std::to_string(row));
      if (!ParentsEnabled(list)) break;
      LVITEMA state{};
      state.stateMask = LVIS_STATEIMAGEMASK;
      state.state = INDEXTOSTATEIMAGEMASK(mark ? 2 : 1);
      SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
      break;
    }
    case 6:
      DoubleClickRow(dialog, Pick(klv::kHotkeyCount));
      break;
    case 7:
      click(form1::kSelectColorButton, "Select Color");
      break;
    case 8:
      click(form1::kSelectFontButton, "Select Font");
      break;
    case 9:
    case 10:
      Exit(dialog);
      break;
    default:
      Note("the configuration dialog's close box");
      SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

void Sequence::DoubleClickRow(HWND dialog, int row) {
  HWND list = GetDlgItem(dialog, form1::kHotkeyList);
  Note("double-click row " + std::to_string(row));
  if (!ParentsEnabled(list)) return;
  RECT rect{};
  rect.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  doubleClickedRow_ = row;
  doubleClickedMark_ = RowMarked(list, row);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(list, WM_LBUTTONUP, 0, point);
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  SendMessageA(list, WM_LBUTTONUP, 0, point);
  doubleClickedRow_ = -1;
}

DialogShown Sequence::ReadDialog(HWND dialog) const {
  auto checked = [dialog](int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  DialogShown shown;
  shown.hotkeys = checked(form1::kHotkeysBox);
  for (int row = 0; row < klv::kHotkeyCount; ++row)
    shown.marks.push_back(RowMarked(GetDlgItem(dialog, form1::kHotkeyList), row));
  shown.active = checked(form1::kActiveTransparencyBox);
  shown.inactive = checked(form1::kInactiveTransparencyBox);
  for (int i = 0; i < 6; ++i)
    shown.sliders[i] = static_cast<int>(SendDlgItemMessageA(dialog, kSliders[i], TBM_GETPOS, 0, 0));
  shown.osd = checked(form1::kOsdBox);
  for (int i = 0; i < 9; ++i) {
    if (checked(form1::kOsdPositionItem0 + i)) shown.position = i;
  }
  shown.displayTime = WindowTextOf(GetDlgItem(dialog, form1::kDisplayTimeEdit));
  shown.playOnStart = checked(form1::kPlayOnStartBox);
  shown.remember = checked(form1::kRememberPositionBox);
  return shown;
}

void Sequence::Exit(HWND dialog) {
  Note(readOnly_ ? "Exit, the file read-only" : "Exit");
  if (!ParentsEnabled(GetDlgItem(dialog, form1::kExitButton))) return;
  const DialogShown shown = ReadDialog(dialog);
  const bool writable = !readOnly_;
  const int nestedBefore = nestedSteps_;
  const std::string before = install_->ReadIni();
  SendDlgItemMessageA(dialog, form1::kExitButton, BM_CLICK, 0, 0);
  Settle();
  // Checked only when nothing else ran meanwhile (a refused write's box lets
  // the host and the user act before it returns).
  if (nestedSteps_ != nestedBefore || failed_) return;
  if (writable) {
    CheckFileShows(shown);
  } else if (install_->ReadIni() != before) {
    Fail("a refused save changed the settings file");
  }
}

void Sequence::CheckFileShows(const DialogShown& shown) {
  auto value = [this](const char* section, const char* key) { return install_->IniValue(section, key); };
  auto expectFlag = [&](const char* section, const char* key, bool on) {
    const std::string stored = value(section, key);
    if (stored != (on ? "1" : "0"))
      Fail(std::string("[") + section + "] " + key + "=" + stored + " but the dialog showed it " +
           (on ? "on" : "off"));
  };
  expectFlag("Hotkeys", "Enable", shown.hotkeys);
  for (int row = 0; row < klv::kHotkeyCount; ++row) {
    const std::string stored = value("HotKeys", klv::kHotkeyActions[row].atomName);
    const bool holds = stored != "0" && stored != "<missing>";
    if (holds != shown.marks[row]) {
      Fail(std::string("row ") + std::to_string(row) +
           (shown.marks[row] ? " was checked" : " was unchecked") + " but the file stores " +
           klv::kHotkeyActions[row].atomName + "=" + stored);
    }
  }
  expectFlag("Transparency", "EnableActive", shown.active);
  expectFlag("Transparency", "EnableInactive", shown.inactive);
  for (int i = 0; i < 6; ++i) {
    // The slider shows the stored level or, once moved, stored its own position.
    const std::string stored = value("Transparency", kLevelKeys[i]);
    const StoredLevel* row = nullptr;
    for (const StoredLevel& candidate : kStoredLevels) {
      if (stored == std::to_string(candidate.level)) row = &candidate;
    }
    if (row == nullptr) {
      Fail(std::string(kLevelKeys[i]) + "=" + stored + ", a level neither the file nor a slider stop gives");
    } else if (shown.sliders[i] != row->shownAt && shown.sliders[i] != row->storedFrom) {
      Fail(std::string(kLevelKeys[i]) + "=" + stored + " but its slider stood at " +
           std::to_string(shown.sliders[i]));
    }
  }
  expectFlag("OSD", "Enable", shown.osd);
  if (shown.position >= 0 && value("OSD", "OSDPosition") != std::to_string(shown.position)) {
    Fail("OSDPosition=" + value("OSD", "OSDPosition") + " but item " + std::to_string(shown.position) +
         " was checked");
  }
  for (const TypedTime& typed : kTypedTimes) {
    if (shown.displayTime == typed.text && typed.valid &&
        value("OSD", "OSDDisplayTime") != std::to_string(typed.value)) {
      Fail("OSDDisplayTime=" + value("OSD", "OSDDisplayTime") + " but the dialog showed " +
           shown.displayTime);
    }
  }
  expectFlag("Track", "PlayOnStart", shown.playOnStart);
  expectFlag("Track", "RememberPosition", shown.remember);
}

// ---- Modal windows, from inside their loops ----

void CALLBACK Sequence::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
  if (gSequence == nullptr) return;
  // Nothing may leave a timer callback: a fault of the test's own inside a
  // modal loop is reported with its seed instead of ending the process.
  try {
    gSequence->OnTick();
  } catch (const std::exception& error) {
    gSequence->Fail(std::string("the test failed inside a modal loop: ") + error.what());
  } catch (...) {
    gSequence->Fail("the test failed inside a modal loop");
  }
}

std::vector<HWND> Sequence::VisibleModals() {
  // Message boxes and pickers are #32770 dialogs; the assignment dialog has its own class.
  std::vector<HWND> found = ProcessWindows(GetCurrentProcessId(), L"#32770", true);
  for (HWND assign : ProcessWindows(GetCurrentProcessId(), form2::kClassName, true)) found.push_back(assign);
  // Newest first, as far as this sequence saw them come; the order of the
  // search itself is the screen's and differs from run to run.
  std::vector<HWND> ordered;
  for (auto it = modalsSeen_.rbegin(); it != modalsSeen_.rend(); ++it) {
    for (HWND window : found) {
      if (window == *it) ordered.push_back(window);
    }
  }
  for (HWND window : found) {
    bool known = false;
    for (HWND seen : modalsSeen_) known = known || seen == window;
    if (!known) {
      modalsSeen_.push_back(window);
      ordered.insert(ordered.begin(), window);
      OnModalAppeared(window);
    }
  }
  return ordered;
}

void Sequence::OnModalAppeared(HWND modal) {
  if (IsAssignDialog(modal)) {
    Note("the assignment dialog opened");
    if (!inprocRunning_) Fail("the assignment dialog opened while the plug-in is stopped");
    if (doubleClickedRow_ >= 0) {
      const bool enabled = SendDlgItemMessageA(modal, form2::kEnableBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (enabled != doubleClickedMark_) {
        Fail("row " + std::to_string(doubleClickedRow_) +
             (doubleClickedMark_ ? " is checked" : " is unchecked") + " but its entry " +
             (enabled ? "holds" : "holds no") + " combination");
      }
      doubleClickedRow_ = -1;
    }
    return;
  }
  if (!IsMessageBox(modal)) {
    Note("a picker opened: " + WindowTextOf(modal));
    return;
  }
  const std::string text = WindowTextOf(GetDlgItem(modal, 0xFFFF));
  Note("a box opened: " + text);
  if (text.rfind(kRefusedHotkeyText, 0) == 0 && !RegistrationAllowed())
    Fail("a hotkey was registered after quit");
}

void Sequence::OnTick() {
  std::vector<HWND> modals = VisibleModals();
  if (modals.empty()) return;
  if (depth_ >= 3 || failed_ || closeModalsOnly_) {
    CloseModal(modals.front());
    return;
  }
  ++depth_;
  ++nestedSteps_;
  HWND newest = modals.front();
  const int roll = Pick(100);
  if (roll < 35) {
    CloseModal(modals[Pick(static_cast<int>(modals.size()))]);
  } else if (roll < 65 && IsAssignDialog(newest)) {
    AssignDialogAction(newest);
  } else {
    NestedAction();
  }
  --depth_;
}

void Sequence::CloseModal(HWND modal) {
  if (!IsWindow(modal)) return;
  if (IsAssignDialog(modal)) {
    Note("the assignment dialog's close box");
    SendMessageA(modal, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (IsMessageBox(modal)) {
    Note("OK in the box");
    SendMessageA(modal, WM_COMMAND, IDOK, 0);
  } else if (Chance(50)) {
    Note("Cancel in the picker");
    SendMessageA(modal, WM_COMMAND, IDCANCEL, 0);
  } else {
    Note("the picker's close box");
    SendMessageA(modal, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
}

void Sequence::AssignDialogAction(HWND dialog) {
  auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
  auto checked = [&](int id) { return SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
  auto setChecked = [&](int id, bool on) {
    if (checked(id) != on && ParentsEnabled(item(id))) SendMessageA(item(id), BM_CLICK, 0, 0);
  };
  switch (Pick(4)) {
    case 0: {
      const int key = Pick(kPoolKeyCount);
      const bool shift = Chance(30);
      Note(std::string("assign Ctrl+Alt+") + (shift ? "Shift+" : "") + kPoolKeys[key].name);
      setChecked(form2::kEnableBox, true);
      setChecked(form2::kAltBox, true);
      setChecked(form2::kCtrlBox, true);
      setChecked(form2::kShiftBox, shift);
      setChecked(form2::kWinBox, false);
      SendMessageA(item(form2::kKeyBox), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(kPoolKeys[key].name));
      SendMessageA(item(form2::kAssignButton), BM_CLICK, 0, 0);
      break;
    }
    case 1: {
      const char* name = PickOf(kUnknownKeyNames);
      Note(std::string("assign the key \"") + name + "\"");
      setChecked(form2::kEnableBox, true);
      SetWindowTextA(item(form2::kKeyBox), name);
      SendMessageA(item(form2::kAssignButton), BM_CLICK, 0, 0);
      break;
    }
    case 2:
      Note("assign with Enable off");
      setChecked(form2::kEnableBox, false);
      SendMessageA(item(form2::kAssignButton), BM_CLICK, 0, 0);
      break;
    default:
      Note("click Enable");
      SendMessageA(item(form2::kEnableBox), BM_CLICK, 0, 0);
      break;
  }
}

// What the host and the user may do while a modal loop of ours runs.
void Sequence::NestedAction() {
  HWND dialog = ConfigDialog();
  const bool dialogUsable = dialog != nullptr && IsWindowEnabled(dialog);
  switch (Pick(10)) {
    case 0:
      if (module_ != nullptr) return Config();
      break;
    case 1:
      if (module_ != nullptr) return Quit();
      break;
    case 2:
      return PressHotkey();
    case 3:
      return SendHostMessage();
    case 4:
      return ChangeActivation();
    case 5:
      return ToggleReadOnly();
    case 6:
    case 7:
      if (dialogUsable) return ConfigDialogAction();
      break;
    case 8:
      // A host that shuts down while our box is up: quit and unload from
      // inside the box's loop, or an unload alone.
      if (module_ != nullptr) return Unload(Chance(70));
      break;
    default:
      if (child_) return EndChild(static_cast<ChildEnd>(Pick(3)));
      break;
  }
  Note("wait");
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
