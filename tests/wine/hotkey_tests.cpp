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

}  // namespace
