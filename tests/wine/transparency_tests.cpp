// Alpha levels on the host's windows, read back with GetLayeredWindowAttributes.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "plugin/host/transparency.h"
#include "plugin/host/window_hooks.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"
#include "tests/wine/plugin_kit.h"

namespace {

class TransparencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FlushPostedMessages();  // the host's windows shown
    ResetPluginState(host.main);
    gSettings.alphaLevels = {10, 20, 30, 40, 50, 60};
  }
  void TearDown() override {
    RemoveWindowHooks();
    ResetPluginState(nullptr);
  }

  void Activate(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    ASSERT_TRUE(WaitUntil([window] { return GetActiveWindow() == window; }));
    FlushPostedMessages();  // and whatever the activation posted
  }

  TestHost host;
};

struct ApplyCase {
  const char* label;
  HostSkin skin;
  bool activeEnabled;
  bool inactiveEnabled;
  bool otherWindowActive;  // a window of ours (as the dialog would be) instead of the main window
  int main, playlist, equalizer;
};

// Under a modern skin the main window keeps the skin's alpha 0, and the playlist
// (the skin's child) and the hidden equalizer stay as they are: not layered.
TEST_F(TransparencyTest, ApplyGivesEachWindowTheLevelOfItsState) {
  const ApplyCase cases[] = {
      {"modern, both on, main active", HostSkin::kModern, true, true, false, 0, -1, -1},
      {"modern, both on, other active", HostSkin::kModern, true, true, true, 0, -1, -1},
      {"both off", HostSkin::kClassic, false, false, false, 255, 255, 255},
      {"both off, other active", HostSkin::kClassic, false, false, true, 255, 255, 255},
      {"both on, main active", HostSkin::kClassic, true, true, false, 10, 50, 60},
      {"active only, main active", HostSkin::kClassic, true, false, false, 10, 255, 255},
      {"inactive only, main active", HostSkin::kClassic, false, true, false, 255, 50, 60},
      {"both on, other active", HostSkin::kClassic, true, true, true, 40, 50, 60},
      {"active only, other active", HostSkin::kClassic, true, false, true, 255, 255, 255},
  };
  HWND other = CreateWindowExA(0, "STATIC", "dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.label);
    host.SwitchSkin(c.skin);
    Activate(c.otherWindowActive ? other : host.main);
    gSettings.activeEnabled = c.activeEnabled;
    gSettings.inactiveEnabled = c.inactiveEnabled;
    ApplyTransparency();
    EXPECT_EQ(AlphaOf(host.main), c.main);
    EXPECT_EQ(AlphaOf(host.playlist), c.playlist);
    EXPECT_EQ(AlphaOf(host.equalizer), c.equalizer);
  }
  DestroyWindow(other);
}

TEST_F(TransparencyTest, ActivationSwitchesBetweenTheTwoLevels) {
  gSettings.inactiveEnabled = true;
  gSettings.alphaLevels[klv::kPlaylistInactive] = 128;
  InstallWindowHooks();
  Activate(host.playlist);
  Activate(host.main);
  EXPECT_EQ(AlphaOf(host.playlist), 128);
  Activate(host.playlist);
  EXPECT_EQ(AlphaOf(host.playlist), 255);
  EXPECT_EQ(AlphaOf(host.main), 40);
}

TEST_F(TransparencyTest, FullyTransparentWindowStillHearsActivation) {
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = true;
  InstallWindowHooks();
  SetAlphaLevel(klv::kEqualizerInactive, 0);
  Activate(host.equalizer);
  Activate(host.main);
  EXPECT_EQ(AlphaOf(host.equalizer), 0);
  host.ClearLog();
  Activate(host.equalizer);
  EXPECT_GE(host.Count(host.equalizer, WM_ACTIVATE), 1);
  EXPECT_EQ(AlphaOf(host.equalizer), 30);
}

class TransparencyHookTest : public TransparencyTest, public testing::WithParamInterface<HostKind> {};

TEST_P(TransparencyHookTest, EachHookAppliesItsOwnWindowsLevels) {
  host.SetKind(GetParam());
  gSettings.activeEnabled = true;
  gSettings.inactiveEnabled = true;
  InstallWindowHooks();
  const HWND windows[] = {host.main, host.playlist, host.equalizer};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    SendMessageA(windows[i], WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(AlphaOf(windows[i]), gSettings.alphaLevels[i]);
    SendMessageA(windows[i], WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(AlphaOf(windows[i]), gSettings.alphaLevels[i + 3]);
    // Any other state leaves the window as it is.
    SendMessageA(windows[i], WM_ACTIVATE, 3, 0);
    EXPECT_EQ(AlphaOf(windows[i]), gSettings.alphaLevels[i + 3]);
  }
}

INSTANTIATE_TEST_SUITE_P(BothKinds, TransparencyHookTest,
                         testing::Values(HostKind::kUnicode, HostKind::k8Bit));

struct PercentCase {
  klv::AlphaIndex level;
  int percent;
  int alpha;
};

TEST_F(TransparencyTest, SliderPercentagesApplyAtOnce) {
  gSettings.inactiveEnabled = true;
  HWND other = CreateWindowExA(0, "STATIC", "dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  Activate(other);
  const PercentCase cases[] = {{klv::kMainInactive, 100, 255},
                               {klv::kPlaylistInactive, 50, 127},
                               {klv::kEqualizerInactive, 1, 2},
                               {klv::kMainInactive, 0, 0}};
  const HWND windows[] = {host.main, host.playlist, host.equalizer};
  for (const PercentCase& c : cases) {
    SCOPED_TRACE(c.level);
    SetAlphaLevel(c.level, c.percent);
    EXPECT_EQ(gSettings.alphaLevels[c.level], c.alpha);
    EXPECT_EQ(AlphaOf(windows[c.level - klv::kMainInactive]), c.alpha);
  }
  // Active levels are stored but do not show on inactive windows.
  SetAlphaLevel(klv::kPlaylistActive, 50);
  EXPECT_EQ(gSettings.alphaLevels[klv::kPlaylistActive], 127);
  EXPECT_EQ(AlphaOf(host.playlist), 127);  // its inactive level from above
  const klv::AlphaLevels before = gSettings.alphaLevels;
  SetAlphaLevel(static_cast<klv::AlphaIndex>(7), 10);
  SetAlphaLevel(static_cast<klv::AlphaIndex>(klv::kAlphaLevelCount), 10);
  EXPECT_EQ(gSettings.alphaLevels, before);
  DestroyWindow(other);
}

using TransparencyThroughTheDll = DllTest;

// Through the real DLL with both groups on (active 10, 20, 30; inactive 40,
// 50, 60) and another window active: under a modern skin the plug-in sets
// nothing, at init, at an activation that comes before the switch's 3018 and
// at quit, and at the 3018 it gives the playlist and equalizer back what it
// set on them (the playlist, the skin's child now, would otherwise keep its
// inactive level); under a classic one each has its level again, also a
// playlist that was the skin's child at init.
struct SkinStep {
  HostSkin skin;
  std::array<int, 3> beforeNotice;  // main, playlist, equalizer once the main window is activated
  std::array<int, 3> afterNotice;
  std::array<int, 2> activated;  // the playlist, then the equalizer unless hidden, each once activated
  bool newEqualizer = false;     // the switch builds the equalizer anew
};

struct SkinCase {
  const char* label;
  HostSkin atStart;
  std::array<int, 3> shown;    // once shown after the start, the last one shown active
  std::array<int, 3> started;  // then with the other window active
  std::vector<SkinStep> steps;
};

TEST_F(TransparencyThroughTheDll, AModernSkinKeepsItsOwnOpacity) {
  using S = HostSkin;
  const SkinCase cases[] = {
      {"classic, modern, classic",
       S::kClassic,
       {40, 50, 30},
       {40, 50, 60},
       {{S::kModern, {0, 50, 60}, {0, -1, -1}, {-1, -1}},
        {S::kClassic, {10, -1, -1}, {40, 50, 60}, {20, 30}},
        {S::kClassic, {10, 50, -1}, {40, 50, 60}, {20, 30}, true}}},
      {"modern, classic, modern",
       S::kModern,
       {0, -1, -1},
       {0, -1, -1},
       {{S::kClassic, {10, -1, -1}, {40, 50, 60}, {20, 30}},
        {S::kModern, {0, 50, 60}, {0, -1, -1}, {-1, -1}}}},
  };
  for (const SkinCase& c : cases) {
    SCOPED_TRACE(c.label);
    install.WriteIni(
        "[Transparency]\r\nEnableActive=1\r\nWinAMP_active=10\r\nPlaylist_active=20\r\n"
        "Equalizer_active=30\r\nEnableInactive=1\r\nWinAMP_inactive=40\r\nPlaylist_inactive=50\r\n"
        "Equalizer_inactive=60\r\n");
    TestHost host;
    host.SwitchSkin(c.atStart);  // the skin engine starts before the plug-ins
    HWND other = CreateTestWindow("KlvOtherProgram", DefWindowProcA, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  RECT{400, 300, 600, 400});
    auto alphas = [&] {
      return std::array<int, 3>{AlphaOf(host.main), AlphaOf(host.playlist), AlphaOf(host.equalizer)};
    };
    auto styles = [&] {
      return std::array<LONG, 4>{
          GetWindowLongW(host.playlist, GWL_STYLE), GetWindowLongW(host.playlist, GWL_EXSTYLE),
          GetWindowLongW(host.equalizer, GWL_STYLE), GetWindowLongW(host.equalizer, GWL_EXSTYLE)};
    };
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(IsWindowVisible(host.main));  // started before the windows are shown
    FlushPostedMessages();
    EXPECT_TRUE(IsWindowVisible(host.main));
    EXPECT_EQ(alphas(), c.shown);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return GetActiveWindow() == other; }));
    EXPECT_EQ(alphas(), c.started);
    for (const SkinStep& step : c.steps) {
      if (step.newEqualizer) {
        host.RecreateEqualizer();
      } else {
        host.SwitchSkin(step.skin);
      }
      const auto switched = styles();
      SendMessageW(host.main, WM_ACTIVATE, WA_ACTIVE, 0);  // ahead of the posted 3018
      EXPECT_EQ(alphas(), step.beforeNotice);
      FlushPostedMessages();
      // The X server may hand the focus to the main window as the skin's windows go.
      SetForegroundWindow(other);
      ASSERT_TRUE(WaitUntil([&] { return GetActiveWindow() == other; }));
      EXPECT_EQ(alphas(), step.afterNotice);
      for (int i = 0; i < 2; ++i) {
        const HWND side = i == 0 ? host.playlist : host.equalizer;
        if (i == 1 && !IsWindowVisible(side)) continue;
        SendMessageW(side, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(AlphaOf(side), step.activated[i]);
        SendMessageW(side, WM_ACTIVATE, WA_INACTIVE, 0);
      }
      EXPECT_EQ(alphas(), step.afterNotice);
      if (step.skin == S::kModern) {
        // As the skin left them, less the layered style the plug-in had added.
        auto given = switched;
        given[1] &= ~WS_EX_LAYERED;
        given[3] &= ~WS_EX_LAYERED;
        EXPECT_EQ(styles(), given);
      }
    }
    const std::array<int, 3> last = alphas();
    plugin.Quit();
    EXPECT_EQ(alphas(), last);
    DestroyWindow(other);
  }
}

}  // namespace
