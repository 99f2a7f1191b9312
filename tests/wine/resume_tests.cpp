// Play on start against the host's request log, on the plug-in linked in (the
// remembered position and where the settings file lives: dll/resume_tests.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/osd/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "plugin/settings/settings_file.h"
#include "testkit/test_host.h"
#include "tests/wine/plugin_kit.h"

namespace {

class PlayOnStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPluginState(host.main);
    gSettings.playbackPosition = 5000;
    host.ClearLog();
  }
  void TearDown() override {
    DestroyOsdPlatformWindow();
    ResetPluginState(nullptr);
  }

  TestHost host;
};

struct StartCase {
  const char* label;
  bool playOnStart;
  bool rememberPosition;
  int shuffle;
  std::vector<int> requests;
};

TEST_F(PlayOnStartTest, StartsAndSeeksAsAsked) {
  const StartCase cases[] = {
      {"off", false, false, 0, {}},
      {"off, remembering", false, true, 1, {}},
      {"on", true, false, 0, {102}},
      {"on, remembering", true, true, 0, {102, 106}},
      {"on, remembering, shuffle on", true, true, 1, {102, 106}},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.label);
    gSettings.playOnStart = c.playOnStart;
    gSettings.rememberPosition = c.rememberPosition;
    host.shuffle = c.shuffle;
    host.ClearLog();
    PlayOnStart();
    EXPECT_EQ(host.Requests(), c.requests);
    if (c.rememberPosition && c.playOnStart) {
      EXPECT_EQ(host.RequestArguments(106), std::vector<WPARAM>{5000});
    }
    EXPECT_EQ(OsdPlatformWindow(), nullptr);
  }
}

TEST_F(PlayOnStartTest, AnnouncesTheTrackWhenTheOsdIsOn) {
  gSettings.playOnStart = true;
  gSettings.osdEnabled = true;
  PrepareOsd();
  host.title = "Intro";
  PlayOnStart();
  const std::vector<int> requests = host.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front(), 102);
  ASSERT_NE(OsdPlatformWindow(), nullptr);
  // The start-up text: the quoted title and the time, no prefix.
  EXPECT_EQ(WindowTextOf(OsdPlatformWindow()), "\"Intro\" [1:05/3:07]");
  ReleaseOsd();
}

}  // namespace
