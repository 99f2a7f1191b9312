// The randomised lifecycle run's steps: the host in this process, a second
// player process, the user and the system, and what acts inside modal loops.
#include "tests/wine/dll/random_lifecycle/model.h"

#include "tests/wine/dll/dialog_driver.h"

namespace random_lifecycle {

Sequence* gSequence = nullptr;
std::atomic<DWORD> gLastProgress{0};
int gFreshLoads = 0;
bool gMayStayMapped = false;

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
  doubleClickedRow_ = row;
  doubleClickedMark_ = RowMarked(list, row);
  DoubleClickListRow(list, row);
  doubleClickedRow_ = -1;
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

}  // namespace random_lifecycle
