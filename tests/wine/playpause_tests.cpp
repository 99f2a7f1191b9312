// The Play/Pause action against the host's three playing states, and the
// settings file with its sixteenth key, old files and new ones alike.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "plugin/hotkeys/hotkey_press.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "tests/wine/osd_fixture.h"
#include "tests/wine/plugin_kit.h"
#include "ui/config_dialog.h"

namespace {

constexpr int kPlayPause = 15;  // hotkey table row
constexpr WPARAM kId = 0xC160;
constexpr klv::PackedHotkey kMediaPlayPause = 179 << 16;  // 11730944

class PlayPauseTest : public OsdFixture {
 protected:
  void SetUp() override {
    ResetPluginState(host.main);
    OsdFixture::SetUp();
    gHotkeyTable[kPlayPause].registration.atom = kId;
    gSettings.hotkeys[kPlayPause] = kMediaPlayPause;
  }
  void TearDown() override {
    OsdFixture::TearDown();
    ResetPluginState(nullptr);
  }

  TestHost host;
};

struct StateCase {
  const char* label;
  int32_t playingState;
  bool osd;
  std::vector<int> traffic;  // requests and commands, in order
  const char* osdText;       // nullptr: nothing shown
};

// Paused, the pause command resumes: the OSD names what follows, Play.
const StateCase kStateCases[] = {
    {"playing, OSD off", 1, false, {104, 40046}, nullptr},
    {"paused, OSD off", 3, false, {104, 40046}, nullptr},
    {"stopped, OSD off", 0, false, {104, 40045}, nullptr},
    {"playing, OSD on", 1, true, {104, 40046, 125, 213, 212, 105, 105}, "Pause : \"Song\" [1:05/3:07]"},
    {"paused, OSD on", 3, true, {104, 40046, 125, 213, 212, 105, 105}, "Play : \"Song\" [1:05/3:07]"},
    {"stopped, OSD on", 0, true, {104, 40045, 125, 213, 212, 105, 105}, "Play : \"Song\" [1:05/3:07]"},
    {"an unknown state plays", 2, true, {104, 40045, 125, 213, 212, 105, 105}, "Play : \"Song\" [1:05/3:07]"},
};

TEST_F(PlayPauseTest, AsksThePlayingStateFirstAndPausesOrPlaysByIt) {
  for (const StateCase& c : kStateCases) {
    SCOPED_TRACE(c.label);
    DestroyOsdPlatformWindow();
    gSettings.osdEnabled = c.osd;
    host.playingState = c.playingState;
    host.ClearLog();
    RunHotkeyAction(kId);
    EXPECT_EQ(host.RequestsAndCommands(), c.traffic);
    if (c.osdText == nullptr) {
      EXPECT_EQ(OsdPlatformWindow(), nullptr);
    } else {
      ASSERT_NE(OsdPlatformWindow(), nullptr);
      EXPECT_EQ(WindowTextOf(OsdPlatformWindow()), c.osdText);
    }
  }
}

TEST_F(PlayPauseTest, AClearedEntryDoesNothing) {
  gSettings.hotkeys[kPlayPause] = 0;
  gSettings.osdEnabled = true;
  host.ClearLog();
  RunHotkeyAction(kId);
  EXPECT_TRUE(host.RequestsAndCommands().empty());
  EXPECT_EQ(OsdPlatformWindow(), nullptr);
}

}  // namespace
