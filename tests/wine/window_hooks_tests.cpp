// The replacement procedures on the host's windows, through the static library.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "plugin/host/window_hooks.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"
#include "tests/wine/plugin_kit.h"

namespace {

// On both kinds of host window: the 5.x player's Unicode ones and the 2.x player's 8-bit ones.
class WindowHooksTest : public ::testing::TestWithParam<HostKind> {
 protected:
  static constexpr WPARAM kNextId = 0xC0DE;
  void SetUp() override {
    FlushPostedMessages();  // the host's windows shown
    host.SetKind(GetParam());
    ResetPluginState(host.main);
    hostProcedure = WindowProcedure(host.main);
    gHotkeyTable[4].registration.atom = kNextId;  // "Next" on Ctrl+Alt+P
    gSettings.hotkeys[4] = 5242883;
    InstallWindowHooks();
    host.ClearLog();
  }
  void TearDown() override {
    RemoveWindowHooks();
    ResetPluginState(nullptr);
  }

  TestHost host;
  WNDPROC hostProcedure = nullptr;
};

struct PollCase {
  const char* label;
  UINT message;
  LPARAM lParam;
  int32_t hostPosition;
  std::vector<int> requests;  // what reaches the host, in order
  int32_t positionAfter;      // starting from 7
};

TEST_P(WindowHooksTest, EveryMessageButTheRequestsPollsThePosition) {
  const PollCase cases[] = {
      {"plain message", WM_NULL, 0, 4321, {105}, 4321},
      {"position zero counts", WM_NULL, 0, 0, {105}, 0},
      {"nothing playing keeps the last", WM_NULL, 0, -1, {105}, 7},
      {"command", WM_COMMAND, 0, 900, {105}, 900},
      {"a request is not polled", WM_USER, 125, 4321, {125}, 7},
  };
  for (const PollCase& c : cases) {
    SCOPED_TRACE(c.label);
    gSettings.playbackPosition = 7;
    host.position = c.hostPosition;
    host.ClearLog();
    SendMessageA(host.main, c.message, 0, c.lParam);
    EXPECT_EQ(host.Requests(), c.requests);
    EXPECT_EQ(gSettings.playbackPosition, c.positionAfter);
    EXPECT_EQ(host.Count(host.main, c.message), 1);
  }
}

TEST_P(WindowHooksTest, HostAnswersComeBackUnchanged) {
  host.position = 123456;
  host.lengthSeconds = 321;
  EXPECT_EQ(SendMessageA(host.main, WM_USER, 0, 105), 123456);
  EXPECT_EQ(SendMessageA(host.main, WM_USER, 1, 105), 321);
  host.shuffle = 1;
  EXPECT_EQ(SendMessageA(host.main, WM_USER, 0, 250), 1);
}

TEST_P(WindowHooksTest, HotkeyRunsItsActionAndStillReachesTheHost) {
  SendMessageA(host.main, WM_HOTKEY, kNextId, 0);
  ASSERT_EQ(host.Commands(), std::vector<int>{40048});
  ASSERT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  size_t command = 0, hotkey = 0;
  for (size_t i = 0; i < host.log.size(); ++i) {
    if (host.log[i].message == WM_COMMAND) command = i;
    if (host.log[i].message == WM_HOTKEY) hotkey = i;
  }
  EXPECT_LT(command, hotkey);
  EXPECT_EQ(host.log[hotkey].wParam, kNextId);

  host.ClearLog();
  SendMessageA(host.main, WM_HOTKEY, kNextId + 1, 0);
  EXPECT_TRUE(host.Commands().empty());
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
}

TEST_P(WindowHooksTest, TheOsdLeavesAtTheFirstHostMessageAfterItsTime) {
  ManualOsdClock clock(70000);
  gSettings.osdEnabled = true;
  PrepareOsd();

  // A display time of 0: gone within the very message that showed it.
  gSettings.osdDisplayTime = 0;
  SendMessageA(host.main, WM_HOTKEY, kNextId, 0);
  EXPECT_EQ(host.Commands(), std::vector<int>{40048});
  EXPECT_EQ(OsdPlatformWindow(), nullptr);

  gSettings.osdDisplayTime = 150;
  SendMessageA(host.main, WM_HOTKEY, kNextId, 0);
  HWND osd = OsdPlatformWindow();
  ASSERT_NE(osd, nullptr);
  EXPECT_EQ(WindowTextOf(osd), "Next : \"Song\" [1:05/3:07]");
  clock.Set(70149);
  SendMessageA(host.main, WM_NULL, 0, 0);
  EXPECT_EQ(OsdPlatformWindow(), osd);  // not yet
  clock.Set(70200);
  PumpMessages();
  EXPECT_TRUE(IsWindowVisible(osd));  // no timer: only a host message hides it
  SendMessageA(host.main, WM_NULL, 0, 0);
  EXPECT_EQ(OsdPlatformWindow(), nullptr);
  ReleaseOsd();
}

TEST_P(WindowHooksTest, SideWindowsPassEverythingOn) {
  for (HWND window : {host.playlist, host.equalizer}) {
    SendMessageA(window, WM_NULL, 0, 0);
    SendMessageA(window, WM_HOTKEY, 1, 0);
    SendMessageA(window, WM_USER, 0, 105);
    EXPECT_EQ(host.Count(window, WM_NULL), 1);
    EXPECT_EQ(host.Count(window, WM_HOTKEY), 1);
    EXPECT_EQ(host.Count(window, WM_USER), 1);
  }
  // Only the main window's hook asks the host anything.
  EXPECT_TRUE(host.Requests().empty());
}

TEST_P(WindowHooksTest, RemovingGivesEachWindowItsProcedureBack) {
  const WNDPROC hooks[] = {&MainWindowHook, &PlaylistWindowHook, &EqualizerWindowHook};
  const HWND windows[] = {host.main, host.playlist, host.equalizer};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(WindowProcedure(windows[i]), hooks[i]);
  RemoveWindowHooks();
  for (HWND window : windows) EXPECT_EQ(WindowProcedure(window), hostProcedure);
  // A second removal and a new install work on the same windows.
  RemoveWindowHooks();
  InstallWindowHooks();
  InstallWindowHooks();
  EXPECT_EQ(WindowProcedure(host.main), &MainWindowHook);
  host.ClearLog();
  SendMessageA(host.main, WM_NULL, 0, 0);
  EXPECT_EQ(host.Requests(), std::vector<int>{105});
}

// A host that runs the plug-in's quit while it carries out a command.
WNDPROC gQuittingSaved = nullptr;
LRESULT CALLBACK QuitOnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_COMMAND) RemoveWindowHooks();
  return CallWindowProcA(gQuittingSaved, window, message, wParam, lParam);
}

TEST_P(WindowHooksTest, HotkeyStillReachesTheHostWhenItsActionEndsThePlugin) {
  RemoveWindowHooks();
  gQuittingSaved = reinterpret_cast<WNDPROC>(
      SetWindowLongA(host.main, GWL_WNDPROC, reinterpret_cast<LONG>(&QuitOnCommand)));
  InstallWindowHooks();
  host.ClearLog();
  SendMessageA(host.main, WM_HOTKEY, kNextId, 0);
  EXPECT_EQ(host.Commands(), std::vector<int>{40048});
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  EXPECT_EQ(WindowProcedure(host.main), &QuitOnCommand);
  SetWindowLongA(host.main, GWL_WNDPROC, reinterpret_cast<LONG>(gQuittingSaved));
}

// Before the hooks, under them and after them, text reads back as the window
// itself keeps it: exactly on a Unicode window, through the code page on an 8-bit one.
TEST_P(WindowHooksTest, TextMessagesPassUnchanged) {
  const std::wstring caption = L"3. \u041a\u0438\u043d\u043e \u97f3\u697d - Winamp";  // Кино 音楽
  RemoveWindowHooks();
  SetWindowTextW(host.main, caption.c_str());
  const std::wstring unhooked = WideWindowTextOf(host.main);
  EXPECT_EQ(unhooked == caption, GetParam() == HostKind::kUnicode);
  InstallWindowHooks();
  EXPECT_EQ(WideWindowTextOf(host.main), unhooked);
  SetWindowTextW(host.main, caption.c_str());
  EXPECT_EQ(WideWindowTextOf(host.main), unhooked);
  host.ClearLog();
  SendMessageW(host.main, WM_CHAR, 0x436, 0);  // ж, the last message to reach the host
  ASSERT_EQ(host.log.back().message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(host.log.back().wParam, GetParam() == HostKind::kUnicode ? WPARAM{0x436} : WPARAM{'?'});
  RemoveWindowHooks();
  EXPECT_EQ(WideWindowTextOf(host.main), unhooked);
}

TEST(WindowHooksMissingTest, MissingSideWindowsAreNotHooked) {
  TestHost host(false, false);
  FlushPostedMessages();  // shown and active: an activation sent now changes nothing else
  SetHostMainWindow(host.main);
  InstallWindowHooks();
  EXPECT_EQ(WindowProcedure(host.main), &MainWindowHook);
  host.ClearLog();
  SendMessageA(host.main, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(host.Count(host.main, WM_ACTIVATE), 1);
  RemoveWindowHooks();
  EXPECT_NE(WindowProcedure(host.main), &MainWindowHook);
  SetHostMainWindow(nullptr);
}

// The host's side windows are those its main window owns, also when another set of them in its
// process, made later, comes first by class; with its playlist a skin's child, none is hooked.
TEST(WindowHooksOwnerTest, AnotherSetOfTheWindowsInTheProcessIsNotHooked) {
  TestHost host;
  TestHost later;
  SetHostMainWindow(host.main);
  InstallWindowHooks();
  EXPECT_EQ(WindowProcedure(host.playlist), &PlaylistWindowHook);
  EXPECT_EQ(WindowProcedure(host.equalizer), &EqualizerWindowHook);
  EXPECT_NE(WindowProcedure(later.playlist), &PlaylistWindowHook);
  EXPECT_NE(WindowProcedure(later.equalizer), &EqualizerWindowHook);
  RemoveWindowHooks();
  host.SwitchSkin(HostSkin::kModern);
  InstallWindowHooks();
  EXPECT_NE(WindowProcedure(later.playlist), &PlaylistWindowHook);
  RemoveWindowHooks();
  host.SwitchSkin(HostSkin::kClassic);
  SetHostMainWindow(nullptr);
}

TEST_P(WindowHooksTest, UnderAnotherSubclassTheHookOnlyPassesOn) {
  std::optional<LaterSubclass> later(std::in_place, host.main);
  RemoveWindowHooks();
  EXPECT_EQ(WindowProcedure(host.main), later->Procedure());
  EXPECT_EQ(WindowProcedure(host.playlist), hostProcedure);
  host.ClearLog();
  SendMessageA(host.main, WM_NULL, 0, 0);
  SendMessageA(host.main, WM_HOTKEY, kNextId, 0);
  EXPECT_TRUE(host.Requests().empty());
  EXPECT_TRUE(host.Commands().empty());
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);

  // A new start finds its hook still in the chain and takes it up again
  // without chaining to itself.
  InstallWindowHooks();
  host.ClearLog();
  SendMessageA(host.main, WM_NULL, 0, 0);
  EXPECT_EQ(host.Requests(), std::vector<int>{105});
  EXPECT_EQ(host.Count(host.main, WM_NULL), 1);

  later.reset();
  RemoveWindowHooks();
  EXPECT_EQ(WindowProcedure(host.main), hostProcedure);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, WindowHooksTest, testing::Values(HostKind::kUnicode, HostKind::k8Bit));

}  // namespace
