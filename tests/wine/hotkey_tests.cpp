// Global hotkeys against the real system: registration on the host main window,
// key presses through SendInput, refusals, atoms, and the actions a hotkey runs.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "core/hotkey_actions.h"
#include "core/settings.h"
#include "plugin/hotkey_actions.h"
#include "plugin/hotkey_registration.h"
#include "plugin/osd_window.h"
#include "plugin/plugin_state.h"
#include "tests/wine/test_host.h"

namespace {

constexpr int kNext = 5;  // entry numbers of the hotkey table
constexpr int kPlay = 2;
constexpr int kRepeat = 13;
constexpr int kMainWindow = 10;

const klv::PackedHotkey kCtrlAltP = 5242883;  // as the settings file stores it
const klv::PackedHotkey kCtrlAltN = klv::PackHotkey('N', true, true, false, false);
const klv::PackedHotkey kCtrlShiftF9 = klv::PackHotkey(VK_F9, false, true, true, false);

// An in-memory settings file; sections and keys match without regard to case, as the profile functions do.
class MapIni : public klv::IniReader {
 public:
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    values_[Lower(section) + "/" + Lower(key)] = value;
  }
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const override {
    auto found = values_.find(Lower(std::string(section)) + "/" + Lower(std::string(key)));
    return found != values_.end() ? found->second : std::string(fallback);
  }

 private:
  static std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  }
  std::map<std::string, std::string> values_;
};

// Presses the combination as a user would: modifiers down, key down, then up in reverse.
void PressHotkey(klv::PackedHotkey packed) {
  std::vector<WORD> keys;
  uint16_t modifiers = klv::HotkeyModifiers(packed);
  if (modifiers & klv::kModCtrl) keys.push_back(VK_CONTROL);
  if (modifiers & klv::kModAlt) keys.push_back(VK_MENU);
  if (modifiers & klv::kModShift) keys.push_back(VK_SHIFT);
  keys.push_back(klv::HotkeyKeyCode(packed));
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpMessages(150);
}

// A window of another party, to hold combinations and to probe whether one is free.
class OtherParty {
 public:
  OtherParty() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KlvOtherParty";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "KlvOtherParty", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  }
  ~OtherParty() {
    for (int id : held_) UnregisterHotKey(window_, id);
    DestroyWindow(window_);
  }
  OtherParty(const OtherParty&) = delete;
  OtherParty& operator=(const OtherParty&) = delete;

  bool Hold(klv::PackedHotkey packed) {
    int id = 100 + static_cast<int>(held_.size());
    if (!RegisterHotKey(window_, id, klv::HotkeyModifiers(packed), klv::HotkeyKeyCode(packed))) return false;
    held_.push_back(id);
    return true;
  }
  // True when nobody holds the combination.
  bool IsFree(klv::PackedHotkey packed) {
    if (!RegisterHotKey(window_, 99, klv::HotkeyModifiers(packed), klv::HotkeyKeyCode(packed))) return false;
    UnregisterHotKey(window_, 99);
    return true;
  }
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
  std::vector<int> held_;
};

// wParam of every WM_HOTKEY that reached the host's own procedure.
std::vector<WPARAM> HotkeysSeen(const TestHost& host) {
  std::vector<WPARAM> ids;
  for (const RecordedMessage& m : host.log) {
    if (m.window == host.main && m.message == WM_HOTKEY) ids.push_back(m.wParam);
  }
  return ids;
}

// One host for the whole suite: under Wine without a window manager each visible window takes
// seconds to destroy, so the host is made once and left to the process exit.
TestHost& SharedHost() {
  static TestHost* host = new TestHost();
  return *host;
}

class HotkeyTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalAtoms();
    host.repeat = 0;
    host.ClearLog();
    gPlugin.hwndParent = host.main;
    gSettings = klv::Settings{};
    FillEntryNames();
    for (klv::keystype& entry : gHotkeyTable) {
      entry.id = 0;
      entry.packed = 0;
    }
  }
  void TearDown() override {
    UnregisterAllHotkeys();
    DeleteAllAtoms();
    if (OsdPlatformWindow() != nullptr) HideOsd();
    ResetGlobalAtoms();
    gSettings = klv::Settings{};
    gPlugin.hwndParent = nullptr;
  }

  TestHost& host = SharedHost();
  OtherParty other;
};

TEST_F(HotkeyTest, StoredValuesRegisterTheirCombinationsOnTheHostWindow) {
  MapIni ini;
  ini.Set("Hotkeys", "Enable", "1");
  ini.Set("HotKeys", "next_hotkey", std::to_string(kCtrlAltP));
  ini.Set("HotKeys", "repeat_hotkey", std::to_string(kCtrlShiftF9));
  MessageBoxWatcher boxes;
  LoadAndRegisterHotkeys(ini);

  EXPECT_TRUE(gSettings.hotkeysEnabled);
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
  EXPECT_EQ(HotkeyEntry(kNext).id, GlobalFindAtomA("next_hotkey"));
  EXPECT_NE(HotkeyEntry(kNext).id, 0u);
  EXPECT_FALSE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));
  EXPECT_TRUE(GlobalAtomExists("repeat_hotkey"));
  EXPECT_FALSE(GlobalAtomExists("play_hotkey"));  // unassigned entries add no atom

  struct Press {
    klv::PackedHotkey packed;
    int entry;
  };
  for (Press press : {Press{kCtrlAltP, kNext}, Press{kCtrlShiftF9, kRepeat}}) {
    SCOPED_TRACE(press.entry);
    host.ClearLog();
    PressHotkey(press.packed);
    EXPECT_EQ(HotkeysSeen(host), std::vector<WPARAM>{HotkeyEntry(press.entry).id});
  }
  host.ClearLog();
  PressHotkey(kCtrlAltN);
  EXPECT_TRUE(HotkeysSeen(host).empty());
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(HotkeyTest, HotkeysOffReadsValuesButRegistersNothing) {
  MapIni ini;
  ini.Set("Hotkeys", "Enable", "0");
  ini.Set("HotKeys", "next_hotkey", std::to_string(kCtrlAltP));
  LoadAndRegisterHotkeys(ini);

  EXPECT_FALSE(gSettings.hotkeysEnabled);
  EXPECT_EQ(HotkeyEntry(kNext).packed, kCtrlAltP);
  EXPECT_EQ(GlobalFindAtomA("next_hotkey"), 0);
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  PressHotkey(kCtrlAltP);
  EXPECT_TRUE(HotkeysSeen(host).empty());
}

// A held combination is refused once per entry, at init and when hotkeys are switched on; the
// entry loses its combination and the entries after it are still registered.
TEST_F(HotkeyTest, RefusedCombinationShowsOneBoxAndClearsTheEntry) {
  for (bool atInit : {true, false}) {
    SCOPED_TRACE(atInit ? "init" : "switched on");
    SetUp();
    OtherParty holder;
    ASSERT_TRUE(holder.Hold(kCtrlAltP));
    MessageBoxWatcher boxes;
    if (atInit) {
      MapIni ini;
      ini.Set("Hotkeys", "Enable", "1");
      ini.Set("HotKeys", "next_hotkey", std::to_string(kCtrlAltP));
      ini.Set("HotKeys", "repeat_hotkey", std::to_string(kCtrlShiftF9));
      LoadAndRegisterHotkeys(ini);
    } else {
      HotkeyEntry(kNext).packed = kCtrlAltP;
      HotkeyEntry(kRepeat).packed = kCtrlShiftF9;
      ReregisterAllHotkeys(true);
    }

    std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_EQ(seen[0].text, "Unable to set a hot key.");
    EXPECT_NE(seen[0].icon, 0u);
    EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
    EXPECT_EQ(HotkeyEntry(kRepeat).packed, kCtrlShiftF9);
    EXPECT_FALSE(other.IsFree(kCtrlShiftF9));
    TearDown();
  }
}

LRESULT CALLBACK SwitchOffProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ReregisterAllHotkeys(false);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The refusal's box has no owner, so the dialog can switch hotkeys off while it is up: the
// switch-off stands, and the entries after the refused one stay unregistered.
TEST_F(HotkeyTest, SwitchedOffDuringARefusalsBoxStaysOff) {
  OtherParty holder;
  ASSERT_TRUE(holder.Hold(kCtrlAltP));
  HotkeyEntry(kNext).packed = kCtrlAltP;
  HotkeyEntry(kRepeat).packed = kCtrlShiftF9;
  // Dispatched by the box's own message loop, as a click on the dialog would be.
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = SwitchOffProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KlvSwitchOff";
  RegisterClassA(&windowClass);
  HWND switcher = CreateWindowExA(0, "KlvSwitchOff", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
  PostMessageA(switcher, WM_APP, 0, 0);
  {
    MessageBoxWatcher boxes;
    ReregisterAllHotkeys(true);
    EXPECT_EQ(boxes.Seen().size(), 1u);
  }
  DestroyWindow(switcher);
  UnregisterClassA("KlvSwitchOff", windowClass.hInstance);

  EXPECT_FALSE(gSettings.hotkeysEnabled);
  EXPECT_TRUE(other.IsFree(kCtrlShiftF9));
  EXPECT_FALSE(GlobalAtomExists("repeat_hotkey"));
  EXPECT_EQ(HotkeyEntry(kRepeat).packed, kCtrlShiftF9);
}

TEST_F(HotkeyTest, SwitchingOffReleasesEverythingAndOnRegistersInTableOrder) {
  // Two entries on one combination: the first in table order gets it, the second is refused.
  HotkeyEntry(kPlay).packed = kCtrlAltP;
  HotkeyEntry(kNext).packed = kCtrlAltP;
  HotkeyEntry(kRepeat).packed = kCtrlShiftF9;
  ReregisterAllHotkeys(false);
  EXPECT_TRUE(other.IsFree(kCtrlAltP));

  {
    MessageBoxWatcher boxes;
    ReregisterAllHotkeys(true);
    EXPECT_EQ(boxes.Seen().size(), 1u);
  }
  EXPECT_TRUE(gSettings.hotkeysEnabled);
  EXPECT_EQ(HotkeyEntry(kPlay).packed, kCtrlAltP);
  EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
  PressHotkey(kCtrlAltP);
  EXPECT_EQ(HotkeysSeen(host), std::vector<WPARAM>{HotkeyEntry(kPlay).id});

  ReregisterAllHotkeys(false);
  EXPECT_FALSE(gSettings.hotkeysEnabled);
  EXPECT_EQ(HotkeyEntry(kPlay).packed, kCtrlAltP);
  EXPECT_EQ(HotkeyEntry(kRepeat).packed, kCtrlShiftF9);
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  EXPECT_TRUE(other.IsFree(kCtrlShiftF9));
  for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
    EXPECT_FALSE(GlobalAtomExists(action.atomName)) << action.atomName;
  }

  // Switched on again: registered anew, under freshly added atoms.
  ReregisterAllHotkeys(true);
  EXPECT_FALSE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));
  EXPECT_EQ(HotkeyEntry(kRepeat).id, GlobalFindAtomA("repeat_hotkey"));
  host.ClearLog();
  PressHotkey(kCtrlShiftF9);
  EXPECT_EQ(HotkeysSeen(host), std::vector<WPARAM>{HotkeyEntry(kRepeat).id});
}

// An atom of one of our names that someone else added is used but never deleted by us, however
// often the table is released, and deletions never outrun our own holdings.
TEST_F(HotkeyTest, AtomsAddedByOthersSurviveUs) {
  struct Case {
    const char* name;
    bool addedBeforeRegistration;
  };
  for (Case c : {Case{"before registration", true}, Case{"after switching off", false}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    HotkeyEntry(kPlay).packed = kCtrlAltP;
    HotkeyEntry(kNext).packed = kCtrlShiftF9;
    ATOM foreign = c.addedBeforeRegistration ? GlobalAddAtomA("play_hotkey") : 0;
    ReregisterAllHotkeys(true);
    if (c.addedBeforeRegistration) {
      EXPECT_EQ(HotkeyEntry(kPlay).id, foreign);
    }
    ReregisterAllHotkeys(false);
    if (!c.addedBeforeRegistration) foreign = GlobalAddAtomA("play_hotkey");
    DeleteAllAtoms();  // as quit does after hotkeys were switched off
    ClearEntry(kPlay);

    EXPECT_EQ(GlobalFindAtomA("play_hotkey"), foreign);
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    TearDown();
  }
}

TEST_F(HotkeyTest, ClearEntryReleasesWhatTheEntryHolds) {
  struct Case {
    const char* name;
    bool registered;
  };
  for (Case c : {Case{"never registered", false}, Case{"registered", true}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    HotkeyEntry(kNext).packed = kCtrlAltP;
    if (c.registered) ReregisterAllHotkeys(true);
    MessageBoxWatcher boxes;
    ClearEntry(kNext);

    EXPECT_EQ(HotkeyEntry(kNext).packed, 0);
    EXPECT_EQ(HotkeyEntry(kNext).id, 0u);  // holds no atom any more
    EXPECT_TRUE(other.IsFree(kCtrlAltP));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    PressHotkey(kCtrlAltP);
    EXPECT_TRUE(HotkeysSeen(host).empty());
    EXPECT_TRUE(boxes.Seen().empty());
    TearDown();
  }
}

TEST_F(HotkeyTest, AssigningAnotherCombinationReplacesTheOldRegistration) {
  HotkeyEntry(kNext).packed = kCtrlAltP;
  ASSERT_TRUE(RegisterEntryHotkey(HotkeyEntry(kNext)));
  HotkeyEntry(kNext).packed = kCtrlShiftF9;
  ASSERT_TRUE(RegisterEntryHotkey(HotkeyEntry(kNext)));
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));

  // The same combination again is accepted, not refused as taken by ourselves.
  MessageBoxWatcher boxes;
  EXPECT_TRUE(RegisterEntryHotkey(HotkeyEntry(kNext)));
  EXPECT_TRUE(boxes.Seen().empty());
}

// Actions run directly, without hooks: whatever the host sees comes from the action alone.
class HotkeyActionTest : public HotkeyTest {
 protected:
  void Assign(int n, uint32_t id) {
    HotkeyEntry(n).id = id;
    HotkeyEntry(n).packed = kCtrlAltP;
  }
};

TEST_F(HotkeyActionTest, ActionSendsItsCommandAndAsksNothingWithOsdOff) {
  struct Case {
    int entry;
    std::vector<int> commands;
  };
  const Case cases[] = {{1, {40044}}, {kNext, {40048}}, {11, {}}, {15, {40157}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    SetUp();
    Assign(c.entry, 0xC100);
    host.ClearLog();
    RunHotkeyAction(0xC100);
    EXPECT_EQ(host.Commands(), c.commands);
    EXPECT_TRUE(host.Requests().empty());
    EXPECT_EQ(OsdPlatformWindow(), nullptr);
  }
}

TEST_F(HotkeyActionTest, RepeatWithOsdOnTogglesThenAsksTheStateOnce) {
  CreateOsdWindow();
  gSettings.osdEnabled = true;
  host.repeat = 1;
  Assign(kRepeat, 0xC100);
  host.ClearLog();
  RunHotkeyAction(0xC100);

  std::vector<UINT> sequence;
  for (const RecordedMessage& m : host.log) {
    if (m.window == host.main && m.message == WM_COMMAND) sequence.push_back(static_cast<UINT>(m.wParam));
    if (m.window == host.main && m.message == WM_USER) sequence.push_back(static_cast<UINT>(m.lParam));
  }
  EXPECT_EQ(sequence, (std::vector<UINT>{40022, 251}));
  ASSERT_NE(OsdPlatformWindow(), nullptr);
  char text[64] = {};
  GetWindowTextA(OsdPlatformWindow(), text, sizeof(text));
  EXPECT_STREQ(text, "Repeat On");
}

// Which entry answers an id: the first in table order that still holds a combination.
TEST_F(HotkeyActionTest, OnlyAssignedEntriesAnswerTheirId) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, klv::PackedHotkey>> entries;  // all under id 0xC100
    WPARAM id;
    std::vector<int> commands;
  };
  const Case cases[] = {
      {"stale id of a cleared entry", {{kNext, 0}}, 0xC100, {}},
      {"stale entry before a live one", {{kNext, 0}, {kRepeat, kCtrlAltP}}, 0xC100, {40022}},
      {"two live entries", {{kPlay, kCtrlAltP}, {kNext, kCtrlShiftF9}}, 0xC100, {40045}},
      {"unknown id", {{kNext, kCtrlAltP}}, 0xC101, {}},
      {"id 0 of unregistered entries", {{kNext, kCtrlAltP}}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    for (auto [n, packed] : c.entries) {
      HotkeyEntry(n).id = 0xC100;
      HotkeyEntry(n).packed = packed;
    }
    if (c.id == 0) HotkeyEntry(kNext).id = 0;
    host.ClearLog();
    RunHotkeyAction(c.id);
    EXPECT_EQ(host.Commands(), c.commands);
  }
}

// Wine keeps a minimised window in front, so each case puts the windows in its state itself.
TEST_F(HotkeyActionTest, MainWindowHotkeyMinimisesInFrontAndRestoresOtherwise) {
  struct Case {
    const char* name;
    bool minimised;
    bool inFront;
    bool minimisedAfter;
  };
  const Case cases[] = {
      {"in front", false, true, true},
      {"minimised, another window in front", true, false, false},
      {"behind another window", false, false, false},
  };
  Assign(kMainWindow, 0xC100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShowWindow(host.main, c.minimised ? SW_MINIMIZE : SW_RESTORE);
    SetForegroundWindow(c.inFront ? host.main : host.playlist);
    PumpMessages(50);
    ASSERT_EQ(GetForegroundWindow() == host.main, c.inFront);
    host.ClearLog();

    RunHotkeyAction(0xC100);
    PumpMessages(50);
    EXPECT_EQ(IsIconic(host.main) != FALSE, c.minimisedAfter);
    if (!c.minimisedAfter) {
      EXPECT_EQ(GetForegroundWindow(), host.main);
    }
    EXPECT_TRUE(host.Commands().empty());
  }
  ShowWindow(host.main, SW_RESTORE);
}

// The whole road of one press through the real DLL: init registers the stored combination, the
// hook runs the action before the host's own procedure sees the hotkey, quit releases it.
TEST(HotkeyPluginTest, PressedHotkeyRunsItsCommandBeforeTheHostSeesIt) {
  ResetGlobalAtoms();
  TestInstall install;
  // One section: the profile functions show a reader only the first of two spellings.
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n");
  TestHost& host = SharedHost();
  OtherParty other;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(other.IsFree(kCtrlAltN));
    host.ClearLog();
    PressHotkey(kCtrlAltN);

    auto isHotkey = [](const RecordedMessage& m) { return m.message == WM_HOTKEY; };
    auto isNext = [](const RecordedMessage& m) { return m.message == WM_COMMAND && m.wParam == 40048; };
    auto hotkey = std::find_if(host.log.begin(), host.log.end(), isHotkey);
    auto next = std::find_if(host.log.begin(), host.log.end(), isNext);
    ASSERT_NE(hotkey, host.log.end());
    ASSERT_NE(next, host.log.end());
    EXPECT_LT(next - host.log.begin(), hotkey - host.log.begin());
    EXPECT_EQ(std::count_if(host.log.begin(), host.log.end(), isNext), 1);
    EXPECT_EQ(hotkey->wParam, GlobalFindAtomA("next_hotkey"));
    // OSD off: the only requests are the hook's position polls.
    for (int code : host.Requests()) {
      EXPECT_EQ(code, 105);
    }

    plugin.Quit();
    EXPECT_TRUE(other.IsFree(kCtrlAltN));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
  }
  ResetGlobalAtoms();
}

}  // namespace
