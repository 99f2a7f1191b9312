// Global hotkeys through the real DLL: a press from init to quit on both kinds
// of host window, a held key's repeats, and the host's notices as the OSD shows them.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/host_codes.h"
#include "core/hotkeys/hotkey_actions.h"
#include "testkit/resource_counts.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "testkit/win32_thread.h"

namespace {

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
    auto isNext = [](const RecordedMessage& m) {
      return m.message == WM_COMMAND && m.wParam == klv::kCommandNext;
    };
    auto hotkey = std::find_if(host.log.begin(), host.log.end(), isHotkey);
    auto next = std::find_if(host.log.begin(), host.log.end(), isNext);
    ASSERT_NE(hotkey, host.log.end());
    ASSERT_NE(next, host.log.end());
    EXPECT_LT(next - host.log.begin(), hotkey - host.log.begin());
    EXPECT_EQ(std::count_if(host.log.begin(), host.log.end(), isNext), 1);
    EXPECT_EQ(hotkey->wParam, GlobalFindAtomA("next_hotkey"));
    // OSD off: the only requests are the hook's position polls.
    for (int code : host.Requests()) {
      EXPECT_EQ(code, klv::kHostPosition);
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
  EXPECT_EQ(std::count(commands.begin(), commands.end(), klv::kCommandNext), c.nexts);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), klv::kCommandPlay), c.plays);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), klv::kCommandVolumeUp), c.volumeUps);
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
