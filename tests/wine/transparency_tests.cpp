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

}  // namespace
