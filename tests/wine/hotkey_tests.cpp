// Global hotkeys against the real system: registration on the host main window,
// key presses through SendInput, refusals, atoms, and the actions a hotkey runs.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/host_codes.h"
#include "core/hotkeys/hotkey_actions.h"
#include "core/settings/ini_text.h"
#include "core/settings/settings.h"
#include "plugin/hotkeys/hotkey_press.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "testkit/player_process.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "tests/wine/plugin_kit.h"

namespace {

constexpr int kNext = 4;  // rows of the hotkey table
constexpr int kPlay = 1;
constexpr int kRepeat = 12;
constexpr int kMainWindow = 9;
constexpr int kStopAfterCurrent = 14;

const klv::PackedHotkey kCtrlShiftF9 = klv::PackHotkey(VK_F9, false, true, true, false);

// Presses a combination that must come to nothing, then the marker: once the
// marker has arrived, a hotkey of the first press would have arrived too.
void PressExpectingNothing(klv::PackedHotkey packed) {
  MarkerKey marker;
  ASSERT_TRUE(marker.Registered());
  PressKeys(packed);
  ASSERT_TRUE(marker.PressAndWait()) << "the marker never arrived";
}

// A window of another party, to hold combinations and to probe whether one is free.
class OtherParty {
 public:
  OtherParty() { window_ = CreateTestWindow("KlvOtherParty", DefWindowProcA, WS_POPUP, RECT{0, 0, 10, 10}); }
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
  bool IsFree(klv::PackedHotkey packed) { return ::IsFree(packed, window_); }

 private:
  HWND window_ = nullptr;
  std::vector<int> held_;
};

// One host for the whole suite: under Wine without a window manager each visible window takes
// seconds to destroy, so the host is made once and left to the process exit.
TestHost& SharedHost() {
  static TestHost* host = new TestHost();
  return *host;
}

class HotkeyTest : public testing::Test {
 protected:
  void SetUp() override {
    host.repeat = 0;
    host.ClearLog();
    ResetPluginState(host.main);
  }
  void TearDown() override {
    UnregisterAllHotkeys();
    DeleteAllAtoms();
    if (OsdPlatformWindow() != nullptr) DestroyOsdPlatformWindow();
    ResetPluginState(nullptr);
  }

  TestHost& host = SharedHost();
  OtherParty other;
};

std::string HotkeysFile(const std::string& lines) { return "[Hotkeys]\r\n" + lines; }

// With hotkeys off the values are read but nothing is registered.
TEST_F(HotkeyTest, StoredValuesRegisterTheirCombinationsOnTheHostWindowUnlessOff) {
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "on" : "off");
    // The same section under both spellings, as the two sets of keys name it.
    const klv::IniText ini(HotkeysFile(std::string("Enable=") + (on ? "1" : "0") +
                                       "\r\nnext_hotkey=" + std::to_string(kCtrlAltP) +
                                       "\r\nrepeat_hotkey=" + std::to_string(kCtrlShiftF9) + "\r\n"));
    MessageBoxWatcher boxes;
    LoadSettings(ini);
    EXPECT_TRUE(other.IsFree(kCtrlAltP)) << "registered while reading";
    RegisterAllHotkeys();

    EXPECT_EQ(gSettings.hotkeysEnabled, on);
    EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
    EXPECT_EQ(gHotkeyTable[kNext].registration.atom, GlobalFindAtomA("next_hotkey"));
    EXPECT_EQ(gHotkeyTable[kNext].registration.atom != 0u, on);
    EXPECT_EQ(other.IsFree(kCtrlAltP), !on);
    EXPECT_EQ(other.IsFree(kCtrlShiftF9), !on);
    EXPECT_EQ(GlobalAtomExists("repeat_hotkey"), on);
    EXPECT_FALSE(GlobalAtomExists("play_hotkey"));  // unassigned entries add no atom

    struct Press {
      klv::PackedHotkey packed;
      int entry;
    };
    for (Press press :
         on ? std::vector<Press>{{kCtrlAltP, kNext}, {kCtrlShiftF9, kRepeat}} : std::vector<Press>{}) {
      SCOPED_TRACE(press.entry);
      host.ClearLog();
      host.PressHotkey(press.packed);
      EXPECT_EQ(host.Hotkeys(), std::vector<WPARAM>{gHotkeyTable[press.entry].registration.atom});
    }
    host.ClearLog();
    PressExpectingNothing(on ? kCtrlAltN : kCtrlAltP);
    EXPECT_TRUE(host.Hotkeys().empty());
    EXPECT_TRUE(boxes.Seen().empty());
  }
}

// Held combinations are named in one box, at init and when hotkeys are switched on; the entries
// keep their combinations and wait for them, and the entries after them are still registered. One
// held by an entry of ours names that entry and does not wait.
class RefusedCombinationTest : public HotkeyTest, public testing::WithParamInterface<bool> {};

TEST_P(RefusedCombinationTest, NamesThemInOneBoxAndKeepsTheEntries) {
  const bool atInit = GetParam();
  OtherParty holder;
  ASSERT_TRUE(holder.Hold(kCtrlAltP));
  ASSERT_TRUE(holder.Hold(kCtrlAltN));
  MessageBoxWatcher boxes;
  // Switched on: read with hotkeys off, then turned on as the dialog's box does.
  LoadSettings(klv::IniText(HotkeysFile(
      std::string("Enable=") + (atInit ? "1" : "0") + "\r\nplay_hotkey=" + std::to_string(kCtrlAltN) +
      "\r\nnext_hotkey=" + std::to_string(kCtrlAltP) + "\r\nrepeat_hotkey=" + std::to_string(kCtrlShiftF9) +
      "\r\nstop_after_current_hotkey=" + std::to_string(kCtrlShiftF9))));
  atInit ? RegisterAllHotkeys() : SetHotkeysEnabled(true);

  EXPECT_TRUE(OneErrorBox(boxes.Seen(),
                          "Unable to set a hot key.\nPlay: Ctrl+Alt+N is in use by another program.\n"
                          "Next: Ctrl+Alt+P is in use by another program.\n"
                          "Stop After Current: Ctrl+Shift+F9 is already used by Repeat Mode On/Off."));
  EXPECT_EQ(gSettings.hotkeys[kStopAfterCurrent], kCtrlShiftF9);
  EXPECT_FALSE(RowWaiting(gHotkeyTable[kStopAfterCurrent]));
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
  EXPECT_TRUE(RowWaiting(gHotkeyTable[kNext]));
  EXPECT_EQ(gSettings.hotkeys[kRepeat], kCtrlShiftF9);
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));
}

INSTANTIATE_TEST_SUITE_P(AtInitAndSwitchedOn, RefusedCombinationTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "AtInit" : "SwitchedOn";
                         });

LRESULT CALLBACK SwitchOffProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) SetHotkeysEnabled(false);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The refusals' box has no owner, so the dialog can switch hotkeys off while it is up: the
// switch-off stands, and nothing stays registered.
TEST_F(HotkeyTest, SwitchedOffDuringARefusalsBoxStaysOff) {
  OtherParty holder;
  ASSERT_TRUE(holder.Hold(kCtrlAltP));
  gSettings.hotkeys[kNext] = kCtrlAltP;
  gSettings.hotkeys[kRepeat] = kCtrlShiftF9;
  // Dispatched by the box's own message loop, as a click on the dialog would be.
  HWND switcher = CreateTestWindow("KlvSwitchOff", SwitchOffProc, 0, RECT{}, HWND_MESSAGE);
  PostMessageA(switcher, WM_APP, 0, 0);
  {
    MessageBoxWatcher boxes;
    SetHotkeysEnabled(true);
    EXPECT_EQ(boxes.Seen().size(), 1u);
  }
  DestroyWindow(switcher);

  EXPECT_FALSE(gSettings.hotkeysEnabled);
  EXPECT_TRUE(other.IsFree(kCtrlShiftF9));
  EXPECT_FALSE(GlobalAtomExists("repeat_hotkey"));
  EXPECT_EQ(gSettings.hotkeys[kRepeat], kCtrlShiftF9);
}

TEST_F(HotkeyTest, SwitchingOffReleasesEverythingAndOnRegistersInTableOrder) {
  // Two entries on one combination: the first in table order gets it, the second is refused.
  gSettings.hotkeys[kPlay] = kCtrlAltP;
  gSettings.hotkeys[kNext] = kCtrlAltP;
  gSettings.hotkeys[kRepeat] = kCtrlShiftF9;
  SetHotkeysEnabled(false);
  EXPECT_TRUE(other.IsFree(kCtrlAltP));

  MessageBoxWatcher boxes;
  SetHotkeysEnabled(true);
  EXPECT_EQ(boxes.Seen().size(), 1u);
  EXPECT_TRUE(gSettings.hotkeysEnabled);
  EXPECT_EQ(gSettings.hotkeys[kPlay], kCtrlAltP);
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
  host.PressHotkey(kCtrlAltP);
  EXPECT_EQ(host.Hotkeys(), std::vector<WPARAM>{gHotkeyTable[kPlay].registration.atom});

  SetHotkeysEnabled(false);
  EXPECT_FALSE(gSettings.hotkeysEnabled);
  EXPECT_EQ(gSettings.hotkeys[kPlay], kCtrlAltP);
  EXPECT_EQ(gSettings.hotkeys[kRepeat], kCtrlShiftF9);
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  EXPECT_TRUE(other.IsFree(kCtrlShiftF9));
  for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
    EXPECT_FALSE(GlobalAtomExists(action.atomName)) << action.atomName;
  }

  // Switched on again: registered anew, under freshly added atoms.
  SetHotkeysEnabled(true);
  EXPECT_FALSE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));
  EXPECT_EQ(gHotkeyTable[kRepeat].registration.atom, GlobalFindAtomA("repeat_hotkey"));
  host.ClearLog();
  host.PressHotkey(kCtrlShiftF9);
  EXPECT_EQ(host.Hotkeys(), std::vector<WPARAM>{gHotkeyTable[kRepeat].registration.atom});
}

// An atom of one of our names that someone else added is used but never deleted by us, however
// often the table is released, and deletions never outrun our own holdings.
class ForeignAtomTest : public HotkeyTest, public testing::WithParamInterface<bool> {};

TEST_P(ForeignAtomTest, SurvivesUs) {
  const bool addedBeforeRegistration = GetParam();
  gSettings.hotkeys[kPlay] = kCtrlAltP;
  gSettings.hotkeys[kNext] = kCtrlShiftF9;
  ATOM foreign = addedBeforeRegistration ? GlobalAddAtomA("play_hotkey") : 0;
  SetHotkeysEnabled(true);
  if (addedBeforeRegistration) {
    EXPECT_EQ(gHotkeyTable[kPlay].registration.atom, foreign);
  }
  SetHotkeysEnabled(false);
  if (!addedBeforeRegistration) foreign = GlobalAddAtomA("play_hotkey");
  DeleteAllAtoms();  // as quit does after hotkeys were switched off
  ClearRow(gHotkeyTable[kPlay]);

  EXPECT_EQ(GlobalFindAtomA("play_hotkey"), foreign);
  EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
}

INSTANTIATE_TEST_SUITE_P(BeforeAndAfter, ForeignAtomTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "AddedBeforeRegistration" : "AddedAfterSwitchingOff";
                         });

class ClearRowTest : public HotkeyTest, public testing::WithParamInterface<bool> {};

TEST_P(ClearRowTest, ReleasesWhatTheEntryHolds) {
  gSettings.hotkeys[kNext] = kCtrlAltP;
  if (GetParam()) SetHotkeysEnabled(true);
  MessageBoxWatcher boxes;
  ClearRow(gHotkeyTable[kNext]);

  EXPECT_EQ(gSettings.hotkeys[kNext], 0);
  EXPECT_EQ(gHotkeyTable[kNext].registration.atom, 0u);  // holds no atom any more
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
  PressExpectingNothing(kCtrlAltP);
  EXPECT_TRUE(host.Hotkeys().empty());
  EXPECT_TRUE(boxes.Seen().empty());
}

INSTANTIATE_TEST_SUITE_P(RegisteredOrNot, ClearRowTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Registered" : "NeverRegistered";
                         });

TEST_F(HotkeyTest, AssigningAnotherCombinationReplacesTheOldRegistration) {
  gSettings.hotkeys[kNext] = kCtrlAltP;
  ASSERT_TRUE(RegisterRowHotkey(gHotkeyTable[kNext]));
  gSettings.hotkeys[kNext] = kCtrlShiftF9;
  ASSERT_TRUE(RegisterRowHotkey(gHotkeyTable[kNext]));
  EXPECT_TRUE(other.IsFree(kCtrlAltP));
  EXPECT_FALSE(other.IsFree(kCtrlShiftF9));

  // The same combination again is accepted, not refused as taken by ourselves.
  MessageBoxWatcher boxes;
  EXPECT_TRUE(RegisterRowHotkey(gHotkeyTable[kNext]));
  EXPECT_TRUE(boxes.Seen().empty());
}

// Actions run directly, without hooks: whatever the host sees comes from the action alone.
class HotkeyActionTest : public HotkeyTest {
 protected:
  void Assign(int row, uint32_t id) {
    gHotkeyTable[row].registration.atom = id;
    gSettings.hotkeys[row] = kCtrlAltP;
  }
};

// With the OSD on, Repeat Mode toggles, then asks the state once for its text. Rating Up and
// Down: the rating read, set one step within 0..5 and, with the OSD on, read back for the text;
// an answer that is no rating sets nothing and shows the action's name, and so does a read-back
// other than the rating set (a player without ratings answers 1 to both requests).
TEST_F(HotkeyActionTest, RepeatAndRatingAskTheStateTheOsdShows) {
  constexpr int kRateUp = 16, kRateDown = 17;  // rows
  struct Case {
    int row;
    int32_t rating;  // before; 9: an answer that is no rating
    bool osd;
    std::vector<int> traffic;  // requests and commands, in order
    int32_t after;
    const char* text;
    bool keepsRatings = true;
  } const cases[] = {
      {kRepeat, 0, true, {40022, 251}, 0, "Repeat On"},
      {kRateUp, 0, true, {640, 639, 640}, 1, "Rating : 1/5"},
      {kRateUp, 5, true, {640, 639, 640}, 5, "Rating : 5/5"},
      {kRateDown, 0, true, {640, 639, 640}, 0, "Rating : 0/5"},
      {kRateDown, 5, true, {640, 639, 640}, 4, "Rating : 4/5"},
      {kRateUp, 9, true, {640, 640}, 9, "Rating Up"},
      {kRateUp, 1, true, {640, 639, 640}, 1, "Rating Up", false},
      {kRateDown, 1, true, {640, 639, 640}, 1, "Rating Down", false},
      {kRateDown, 3, false, {640, 639}, 2, nullptr},
  };
  PrepareOsd();
  host.repeat = 1;  // after the toggle
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << " at " << c.rating);
    gSettings.osdEnabled = c.osd;
    host.rating = c.rating;
    if (!c.keepsRatings) host.rawAnswers[639] = host.rawAnswers[640] = 1;
    Assign(c.row, 0xC100);
    host.ClearLog();
    RunHotkeyAction(0xC100);
    gSettings.hotkeys[c.row] = 0;
    EXPECT_EQ(host.RequestsAndCommands(), c.traffic);
    EXPECT_EQ(host.rating, c.after);
    EXPECT_EQ(WindowTextOf(OsdPlatformWindow()), c.text != nullptr ? c.text : "");
    host.rawAnswers.clear();
    DestroyOsdPlatformWindow();
  }
  ReleaseOsd();
}

// Forward and Rewind at the player's own 5 s send its commands; at another step they read the
// position and jump, never below 0, and do nothing while nothing plays. The volume steps at 0 %
// send the player's commands; at another they read the level and set it within 0..255. Mute
// silences and remembers ("Mute"), pressed again gives the level back ("Volume : 62%"), and mutes
// afresh a player raised meanwhile; while muted a step starts from the remembered level.
TEST_F(HotkeyActionTest, StepsOfTheUsersChoosingAndMute) {
  constexpr int kForward = 5, kRewind = 6, kVolumeUp = 7, kVolumeDown = 8, kMute = 18;  // rows
  using Traffic = std::vector<std::pair<int, intptr_t>>;  // requests (code, wParam), commands (id, 0)
  struct Case {
    const char* name;
    int row;
    int32_t seekSeconds, volumePercent, position, volume, muted;
    Traffic traffic;
    int32_t volumeAfter, mutedAfter;
    const char* text = nullptr;  // with the OSD on
  } const cases[] = {
      {"forward, the player's step", kForward, 5, 0, 65432, 158, 0, {{40148, 0}}, 158, 0},
      {"forward 30 s", kForward, 30, 0, 65432, 158, 0, {{105, 0}, {106, 95432}}, 158, 0},
      {"rewind past the start", kRewind, 30, 0, 3000, 158, 0, {{105, 0}, {106, 0}}, 158, 0},
      {"forward, nothing playing", kForward, 600, 0, -1, 158, 0, {{105, 0}}, 158, 0},
      {"no wrap at the top", kForward, 600, 0, INT32_MAX - 5, 158, 0, {{105, 0}, {106, INT32_MAX}}, 158, 0},
      {"volume up, the player's step", kVolumeUp, 5, 0, 0, 158, 0, {{40058, 0}}, 158, 0},
      {"volume up 10 %", kVolumeUp, 5, 10, 0, 158, 0, {{122, -666}, {122, 184}}, 184, 0},
      {"volume down 10 % to the floor", kVolumeDown, 5, 10, 0, 5, 0, {{122, -666}, {122, 0}}, 0, 0},
      {"volume up 100 % to the top", kVolumeUp, 5, 100, 0, 200, 0, {{122, -666}, {122, 255}}, 255, 0},
      {"1 % is 2.55, rounded up", kVolumeUp, 5, 1, 0, 0, 0, {{122, -666}, {122, 3}}, 3, 0},
      {"muted, the player's step", kVolumeUp, 5, 0, 0, 0, 158, {{122, -666}, {122, 158}, {40058, 0}}, 158, 0},
      {"muted, 10 % down", kVolumeDown, 5, 10, 0, 0, 158, {{122, -666}, {122, 132}}, 132, 0},
      {"mute", kMute, 5, 0, 0, 158, 0, {{122, -666}, {122, 0}}, 0, 158, "Mute"},
      {"again: the level back", kMute, 5, 0, 0, 0, 158, {{122, -666}, {122, 158}}, 158, 0, "Volume : 62%"},
      {"raised meanwhile: mutes afresh", kMute, 5, 0, 0, 40, 158, {{122, -666}, {122, 0}}, 0, 40, "Mute"},
      {"already silent: nothing to keep", kMute, 5, 0, 0, 0, 0, {{122, -666}}, 0, 0, "Mute"},
      {"no volume answered: left alone", kMute, 5, 0, 0, -1, 158, {{122, -666}}, -1, 158, "Mute"},
  };
  auto press = [&](const Case& c, bool osd) {
    gSettings.osdEnabled = osd;
    host.volume = c.volume;
    gSettings.mutedVolume = c.muted;
    Assign(c.row, 0xC100);
    host.ClearLog();
    RunHotkeyAction(0xC100);
    gSettings.hotkeys[c.row] = 0;
  };
  PrepareOsd();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gSettings.seekSeconds = c.seekSeconds;
    gSettings.volumePercent = c.volumePercent;
    host.position = c.position;
    press(c, false);
    Traffic traffic;
    for (const RecordedMessage& m : host.log) {
      if (m.window != host.main) continue;
      if (m.message == WM_USER) traffic.push_back({static_cast<int>(m.lParam), m.wParam});
      if (m.message == WM_COMMAND) traffic.push_back({static_cast<int>(m.wParam), 0});
    }
    EXPECT_EQ(traffic, c.traffic);
    EXPECT_EQ(host.volume, c.volumeAfter);
    EXPECT_EQ(gSettings.mutedVolume, c.mutedAfter);
    if (c.text == nullptr) continue;
    press(c, true);
    EXPECT_EQ(WindowTextOf(OsdPlatformWindow()), c.text);
  }
  gSettings.osdEnabled = false;
  ReleaseOsd();
  host.position = 65432;
  host.volume = 158;
}

// Which entry answers an id: the first in table order that still holds a combination. It sends
// its command, and with the OSD off asks nothing.
struct AnswerCase {
  const char* name;
  std::vector<std::pair<int, klv::PackedHotkey>> entries;  // all under id 0xC100
  WPARAM id;
  std::vector<int> commands;
};

class AnswerTest : public HotkeyActionTest, public testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, OnlyAssignedEntriesAnswerTheirIdAndAskNothingWithOsdOff) {
  const AnswerCase& c = GetParam();
  for (auto [n, packed] : c.entries) {
    gHotkeyTable[n].registration.atom = 0xC100;
    gSettings.hotkeys[n] = packed;
  }
  if (c.id == 0) gHotkeyTable[kNext].registration.atom = 0;
  host.ClearLog();
  RunHotkeyAction(c.id);
  EXPECT_EQ(host.Commands(), c.commands);
  EXPECT_TRUE(host.Requests().empty());
  EXPECT_EQ(OsdPlatformWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, AnswerTest,
    testing::Values(
        AnswerCase{"Previous", {{0, kCtrlAltP}}, 0xC100, {40044}},
        AnswerCase{"Next", {{kNext, kCtrlAltP}}, 0xC100, {40048}},
        AnswerCase{"Info", {{10, kCtrlAltP}}, 0xC100, {}},
        AnswerCase{"StopAfterCurrent", {{kStopAfterCurrent, kCtrlAltP}}, 0xC100, {40157}},
        AnswerCase{"StaleIdOfAClearedEntry", {{kNext, 0}}, 0xC100, {}},
        AnswerCase{"StaleEntryBeforeALiveOne", {{kNext, 0}, {kRepeat, kCtrlAltP}}, 0xC100, {40022}},
        AnswerCase{"TwoLiveEntries", {{kPlay, kCtrlAltP}, {kNext, kCtrlShiftF9}}, 0xC100, {40045}},
        AnswerCase{"UnknownId", {{kNext, kCtrlAltP}}, 0xC101, {}},
        AnswerCase{"IdZeroOfUnregisteredEntries", {{kNext, kCtrlAltP}}, 0, {}}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

// The window with the keyboard focus in the thread that owns this window.
HWND ThreadFocus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Wine keeps a minimised window in front, so each case puts the windows in its state itself. The player
// is in front when the window in front is its main window, one the main window owns however deep (the
// playlist, a skin's window, a pop-up of that), or any window of its process (a skin's unowned tool
// window); another program's window is not. A player hidden in the tray comes back shown.
TEST_F(HotkeyActionTest, MainWindowHotkeyMinimisesInFrontAndRestoresOtherwise) {
  enum Front { kMain, kPlaylist, kSkinWindow, kSkinPopup, kToolWindow, kOtherProgram };
  struct Case {
    const char* name;
    HostSkin skin;
    int show;  // how the main window is shown before the press
    Front front;
    bool minimisedAfter;
  };
  const Case cases[] = {
      {"in front", HostSkin::kClassic, SW_RESTORE, kMain, true},
      {"playlist in front", HostSkin::kClassic, SW_RESTORE, kPlaylist, true},
      {"minimised, another program in front", HostSkin::kClassic, SW_MINIMIZE, kOtherProgram, false},
      {"behind another program", HostSkin::kClassic, SW_RESTORE, kOtherProgram, false},
      {"hidden in the tray", HostSkin::kClassic, SW_HIDE, kOtherProgram, false},
      {"skin's window in front", HostSkin::kModern, SW_RESTORE, kSkinWindow, true},
      {"a pop-up the skin's window owns in front", HostSkin::kModern, SW_RESTORE, kSkinPopup, true},
      {"the skin's unowned tool window in front", HostSkin::kModern, SW_RESTORE, kToolWindow, true},
      {"modern, behind another program", HostSkin::kModern, SW_RESTORE, kOtherProgram, false},
  };
  const TestInstall install;
  const PlayerProcess otherProgram(install, PluginSource::kNone);
  ASSERT_NE(otherProgram.MainWindow(), nullptr);
  HWND toolWindow = CreateTestWindow("KlvSkinTool", DefWindowProcA, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                     RECT{400, 300, 600, 400});
  SetWindowLongA(toolWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  Assign(kMainWindow, 0xC100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.SwitchSkin(c.skin);
    ShowWindow(host.main, c.show);
    HWND popup = c.front == kSkinPopup
                     ? CreateTestWindow("KlvSkinPopup", DefWindowProcA, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                        RECT{60, 60, 200, 160}, host.skinMain)
                     : nullptr;
    const HWND front = c.front == kMain         ? host.main
                       : c.front == kPlaylist   ? host.playlist
                       : c.front == kSkinWindow ? host.skinMain
                       : c.front == kSkinPopup  ? popup
                       : c.front == kToolWindow ? toolWindow
                                                : otherProgram.MainWindow();
    ASSERT_TRUE(WaitUntil([&] {
      SetForegroundWindow(front);
      return GetForegroundWindow() == front;
    })) << "front "
        << front << " foreground " << GetForegroundWindow() << " main " << host.main;
    // The foreground moves at once, the other program's activation follows in its own time, and
    // with it its focus request to X: landing after the plug-in's, that would move Wine's
    // foreground on to the desktop.
    if (c.front == kOtherProgram) {
      ASSERT_TRUE(WaitUntil([&] { return ThreadFocus(front) == front; }));
    }
    host.ClearLog();
    RunHotkeyAction(0xC100);
    // Brought forward: activated from this thread, whatever X makes of the foreground afterwards.
    auto activated = [&] {
      return std::any_of(host.log.begin(), host.log.end(), [&](const RecordedMessage& m) {
        return m.window == host.main && m.message == WM_ACTIVATE && LOWORD(m.wParam) != WA_INACTIVE;
      });
    };
    auto settled = [&] {
      return (IsIconic(host.main) != FALSE) == c.minimisedAfter && IsWindowVisible(host.main) &&
             (c.minimisedAfter || activated());
    };
    EXPECT_TRUE(WaitUntil(settled)) << "minimised " << (IsIconic(host.main) != FALSE) << ", shown "
                                    << (IsWindowVisible(host.main) != FALSE) << ", activated " << activated();
    EXPECT_TRUE(host.Commands().empty());
    if (popup != nullptr) DestroyWindow(popup);
  }
  ShowWindow(host.main, SW_RESTORE);
  host.SwitchSkin(HostSkin::kClassic);
  DestroyWindow(toolWindow);
}

// The whole road of one press through the real DLL: init registers the stored combination, the
// hook runs the action before the host's own procedure sees the hotkey, quit releases it. On
// both kinds of host window.
class HotkeyPluginKindTest : public DllTest, public testing::WithParamInterface<HostKind> {};

TEST_P(HotkeyPluginKindTest, PressedHotkeyRunsItsCommandBeforeTheHostSeesIt) {
  // One section: the profile functions show a reader only the first of two spellings.
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n");
  TestHost& host = SharedHost();
  host.SetKind(GetParam());
  OtherParty other;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(other.IsFree(kCtrlAltN));
    host.ClearLog();
    host.PressHotkey(kCtrlAltN);

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
}

INSTANTIATE_TEST_SUITE_P(BothKinds, HotkeyPluginKindTest,
                         testing::Values(HostKind::kUnicode, HostKind::k8Bit));

// A held key repeats its key-down: the toggles run once per press, the volume steps at every
// repeat, however late the host handles the messages. The events come from a second thread at the
// times they carry, while this one plays a host busy before the first message and in every Next.
// Every watch of a key ends with its hold, or at a quit or an unload while the key is still down.
enum class HeldKeyEnd { kReleased, kQuitWhileDown, kUnloadedWhileDown };
struct KeyEvent {
  DWORD at;  // ms from the start; Ctrl and Alt are held throughout
  WORD key;
  bool up;
};
struct HeldKeyCase {
  const char* name;
  DWORD busyFirstMs, nextTakesMs;
  std::vector<KeyEvent> keys;
  int nexts, plays, volumeUps;
  HeldKeyEnd end = HeldKeyEnd::kReleased;
};

class HeldKeyTest : public DllTest, public testing::WithParamInterface<HeldKeyCase> {};

TEST_P(HeldKeyTest, RunsTheTogglesOncePerPressAndTheStepsAtEveryRepeat) {
  const HeldKeyCase& c = GetParam();
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) +
                   "\r\nplay_hotkey=" + std::to_string(kCtrlAltP) +
                   "\r\nVolUp_hotkey=" + std::to_string(('U' << 16) | 3) + "\r\n");
  TestHost& host = SharedHost();
  auto plugin = std::make_unique<LoadedPlugin>(host.main);
  ASSERT_EQ(plugin->Init(), 0);
  // Shown once its messages run. Wine takes the keyboard's state afresh when a window comes to the
  // front, which would let the modifiers go.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(host.main) != FALSE; }));
  PumpMessages(50);
  host.ClearLog();
  host.nextTakesMs = c.nextTakesMs;
  const HMODULE dll = plugin->module;
  const DWORD start = GetTickCount();
  auto send = [start](DWORD at, WORD key, DWORD flags) {
    while (GetTickCount() - start < at) Sleep(1);
    INPUT input = KeyInput(key, flags);
    input.ki.time = start + at;
    SendInput(1, &input, sizeof(input));
  };
  Win32Thread keyboard([&] {
    for (WORD modifier : std::initializer_list<WORD>{VK_CONTROL, VK_MENU}) send(0, modifier, 0);
    for (const KeyEvent& e : c.keys) send(e.at, e.key, e.up ? KEYEVENTF_KEYUP : 0);
  });
  Sleep(c.busyFirstMs);
  const auto downs = std::count_if(c.keys.begin(), c.keys.end(), [](const KeyEvent& e) { return !e.up; });
  EXPECT_TRUE(WaitUntil([&] { return host.Hotkeys().size() == static_cast<size_t>(downs); }));
  keyboard.Join();
  const std::vector<int> commands = host.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 40048), c.nexts);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 40045), c.plays);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 40058), c.volumeUps);
  host.nextTakesMs = 0;
  if (c.end != HeldKeyEnd::kReleased) plugin->Quit();
  if (c.end == HeldKeyEnd::kUnloadedWhileDown) plugin.reset();
  // The watch reads every 5 ms and the host here is idle. Its thread holds the library: once it
  // has ended, an unloaded one is gone.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return plugin ? ThreadsStartedIn(dll) == 0 : GetModuleHandleA(PluginDllPath().c_str()) == nullptr;
      },
      200))
      << "a key watch outlived its hold";
  for (WORD key : std::initializer_list<WORD>{'N', 'P', 'U', VK_MENU, VK_CONTROL})
    send(GetTickCount() - start, key, KEYEVENTF_KEYUP);
  PumpMessages(50);
  if (c.end == HeldKeyEnd::kReleased) plugin->Quit();
}

// At the pace of this prefix (first repeat after 500 ms, then every 33 ms) unless a row says
// otherwise. The generated holds, taps and busy hosts are in core/tests/key_repeat_test.cpp; these
// rows take the plug-in's own watch, its marker and its ends through the real DLL.
const std::vector<KeyEvent> kTwoTaps = {
    {0, 'N', false}, {60, 'N', true}, {450, 'N', false}, {510, 'N', true}};
const std::vector<KeyEvent> kHeld = {{0, 'N', false},   {500, 'N', false}, {533, 'N', false},
                                     {566, 'N', false}, {599, 'N', false}, {632, 'N', false},
                                     {650, 'N', true}};
const std::vector<KeyEvent> kStillDown = {{0, 'N', false}, {500, 'N', false}};
// Three taps 400 ms apart, each Next taking 500 ms.
const std::vector<KeyEvent> kTapsEvery400 = {{0, 'N', false},  {60, 'N', true},   {400, 'N', false},
                                             {460, 'N', true}, {800, 'N', false}, {860, 'N', true}};
// A keyboard's own pace: first repeat after 250 ms, then 30 a second, for a second.
std::vector<KeyEvent> HeldAt250And30() {
  std::vector<KeyEvent> keys = {{0, 'N', false}};
  for (DWORD at = 250; at <= 1000; at += 33) keys.push_back({at, 'N', false});
  keys.push_back({1010, 'N', true});
  return keys;
}
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, HeldKeyTest, testing::Values(
    HeldKeyCase{"TwoTapsHostIdle",            0,   0,   kTwoTaps,      2, 0, 0},
    HeldKeyCase{"TapsEvery400DuringSlowNexts", 0,  500, kTapsEvery400, 3, 0, 0},
    HeldKeyCase{"HeldAtAKeyboardsOwnPace",    0,   0,   HeldAt250And30(), 1, 0, 0},
    HeldKeyCase{"OneRepeat60msLate",          0,   0,   {{0, 'N', false}, {500, 'N', false}, {533, 'N', false},
                {626, 'N', false}, {632, 'N', false}, {665, 'N', false}, {680, 'N', true}}, 1, 0, 0},
    // The watch starts only once the host takes the press: it finds the key up and counts that as
    // the key-up, so the second tap runs; a hold it finds over stays one press.
    HeldKeyCase{"TapWhileTheHostWasBusy",     300, 0,   kTwoTaps,      2, 0, 0},
    HeldKeyCase{"HeldWhileTheHostWasBusy",    800, 0,   kHeld,         1, 0, 0},
    HeldKeyCase{"VolumeUpAtEveryRepeat", 0, 0, {{0, 'U', false}, {500, 'U', false}, {533, 'U', false},
                {540, 'U', true}}, 0, 0, 3},
    HeldKeyCase{"AnotherKeyBetweenRepeats", 0, 0, {{0, 'N', false}, {500, 'N', false}, {520, 'P', false},
                {530, 'P', true}, {533, 'N', false}, {566, 'N', false}, {580, 'N', true}}, 1, 1, 0},
    HeldKeyCase{"QuitWhileDown",              0,   0,   kStillDown,    1, 0, 0, HeldKeyEnd::kQuitWhileDown},
    HeldKeyCase{"UnloadedWhileDown",          0,   0,   kStillDown,    1, 0, 0, HeldKeyEnd::kUnloadedWhileDown}),
    [](const testing::TestParamInfo<HeldKeyCase>& info) { return info.param.name; });
// clang-format on

// The host's notices through the real DLL: the start-up text once per track start (the 8-bit
// notice and its UTF-16 twin); a pause, resume or stop by any means as the Pause, Play and Stop
// actions show it, told by the state notice alone (an older 5.x player) or with its own; the
// volume as a level, a balance change nothing; a track start no play state; our own actions once;
// each only with its option on, and with both off no state or volume asked.
struct Notice {
  LPARAM code;
  WPARAM what;                 // for 603
  const char* path = nullptr;  // for 3003 and 13003
};
struct NoticeCase {
  const char* name;
  const char* options;          // [OSD] keys, with hotkeys on and Ctrl+Alt+P for pressed
  int32_t state, stateAfter;    // 104 at init, and once the player changed it
  int32_t volume, volumeAfter;  // 122
  const char* pressed;          // an action of ours pressed before the notices, or null
  std::vector<Notice> notices;
  int texts;  // composed (each asks for the entry, 125, once)
  const char* shown;
};

class NoticeTest : public DllTest, public testing::WithParamInterface<NoticeCase> {};

TEST_P(NoticeTest, ShowsEachChangeOnceWhereItsOptionIsOn) {
  const NoticeCase& c = GetParam();
  const std::string pressed = c.pressed != nullptr ? std::string(c.pressed) + "=5242883\r\n" : "";
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\n" + pressed + "[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n" +
                   c.options);
  TestHost& host = SharedHost();
  host.playingState = c.state;
  host.volume = c.volume;
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  host.ClearLog();
  host.playingState = c.stateAfter;
  host.volume = c.volumeAfter;
  if (c.pressed != nullptr) {
    ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
  }
  static klv::HostStopInfo stop{65432, 1};
  for (const Notice& notice : c.notices) {
    if (notice.code == klv::kHostTrackStarted) {
      SendMessageA(host.main, WM_USER, reinterpret_cast<WPARAM>(notice.path), notice.code);
    } else if (notice.code == klv::kHostTrackStartedWide) {
      const std::wstring widePath(notice.path, notice.path + std::strlen(notice.path));
      SendMessageW(host.main, WM_USER, reinterpret_cast<WPARAM>(widePath.c_str()), notice.code);
    } else {
      SendMessageW(host.main, WM_USER,
                   notice.code == klv::kHostStopped ? reinterpret_cast<WPARAM>(&stop) : notice.what,
                   notice.code);
    }
  }
  const std::vector<int> asked = host.Requests();
  EXPECT_EQ(std::count(asked.begin(), asked.end(), klv::kHostPlaylistIndex), c.texts);
  EXPECT_EQ(WindowTextOf(FindOsdWindow()), c.shown);
  if (std::strstr(c.options, "=1") == nullptr) {
    EXPECT_EQ(std::count(asked.begin(), asked.end(), klv::kHostPlayingState), 0);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), klv::kHostVolume), 0);
  }
  plugin.Quit();
  host.playingState = 0;
  host.volume = 158;
}

const char kStartupText[] = "\"Song\" [1:05/3:07]";
const Notice kStart8Bit{klv::kHostTrackStarted, 0, "a"}, kStartWide{klv::kHostTrackStartedWide, 0, "a"};
const Notice kTitle{klv::kHostChanged, klv::kChangedTitle}, kState{klv::kHostChanged, klv::kChangedState},
    kPaused{klv::kHostChanged, klv::kChangedPaused}, kResumed{klv::kHostChanged, klv::kChangedResumed},
    kVolume{klv::kHostChanged, klv::kChangedVolume}, kStopped{klv::kHostStopped, 0};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Notices, NoticeTest, testing::Values(
    NoticeCase{"TrackStartOff", "OSDOnTrackChange=0", 0, 1, 158, 158, nullptr, {kStart8Bit, kStartWide}, 0, ""},
    NoticeCase{"TrackStartAndItsTwin", "OSDOnTrackChange=1", 0, 1, 158, 158, nullptr, {kStart8Bit, kStartWide}, 1, kStartupText},
    NoticeCase{"WideStartAlone", "OSDOnTrackChange=1", 0, 1, 158, 158, nullptr, {kStartWide}, 1, kStartupText},
    NoticeCase{"TwoStarts", "OSDOnTrackChange=1", 0, 1, 158, 158, nullptr, {kStart8Bit, kStartWide, {3003, 0, "b"}}, 2, kStartupText},
    NoticeCase{"WideTwinOfAnotherPath", "OSDOnTrackChange=1", 0, 1, 158, 158, nullptr, {kStart8Bit, {13003, 0, "b"}}, 2, kStartupText},
    NoticeCase{"PausedByThePlayer", "OSDOnPlayState=1", 1, 3, 158, 158, nullptr, {kTitle, kState, kPaused}, 1, "Pause : \"Song\" [1:05/3:07]"},
    NoticeCase{"ResumedByThePlayer", "OSDOnPlayState=1", 3, 1, 158, 158, nullptr, {kTitle, kState, kResumed}, 1, "Play : \"Song\" [1:05/3:07]"},
    NoticeCase{"StoppedByThePlayer", "OSDOnPlayState=1", 1, 0, 158, 158, nullptr, {kStopped, kTitle, kState}, 1, "Stop : \"Song\" [1:05/3:07]"},
    NoticeCase{"PausedOnAnOlder5x", "OSDOnPlayState=1", 1, 3, 158, 158, nullptr, {kTitle, kState}, 1, "Pause : \"Song\" [1:05/3:07]"},
    NoticeCase{"TrackStartIsNoPlayState", "OSDOnPlayState=1", 0, 1, 158, 158, nullptr, {kStart8Bit, kStartWide, kTitle, kState}, 0, ""},
    NoticeCase{"OurPauseShowsOnce", "OSDOnPlayState=1", 1, 3, 158, 158, "pause_hotkey", {kTitle, kState, kPaused}, 1, "Pause : \"Song\" [1:05/3:07]"},
    NoticeCase{"VolumeByThePlayer", "OSDOnVolumeChange=1", 1, 1, 158, 100, nullptr, {kVolume}, 0, "Volume : 39%"},
    NoticeCase{"BalanceShowsNothing", "OSDOnVolumeChange=1", 1, 1, 158, 158, nullptr, {kVolume}, 0, ""},
    NoticeCase{"OurVolumeUpKeepsItsText", "OSDOnVolumeChange=1", 1, 1, 158, 162, "VolUp_hotkey", {kVolume}, 0, "Volume Up"},
    NoticeCase{"BothOffByDefault", "", 1, 3, 158, 100, nullptr, {kTitle, kState, kPaused, kVolume}, 0, ""}),
    [](const testing::TestParamInfo<NoticeCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
