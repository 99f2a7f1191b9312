// Play on start and the remembered position, against the host's request log.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/osd_window.h"
#include "plugin/playback_resume.h"
#include "plugin/plugin_state.h"
#include "tests/wine/test_host.h"

namespace {

// wParam of every request with this code to the main window, in order.
std::vector<WPARAM> RequestArguments(const TestHost& host, int code) {
  std::vector<WPARAM> arguments;
  for (const RecordedMessage& m : host.log) {
    if (m.window == host.main && m.message == WM_USER && m.lParam == code) arguments.push_back(m.wParam);
  }
  return arguments;
}

class PlayOnStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gPlugin.hwndParent = host.main;
    gSettings = klv::Settings{};
    gLastPlaybackPosition = 5000;
    host.ClearLog();
  }
  void TearDown() override {
    DestroyOsdPlatformWindow();
    gSettings = klv::Settings{};
    gPlugin.hwndParent = nullptr;
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
      EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{5000});
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

// The whole start through the DLL: the seek carries the position stored at
// the last quit, and the next quit stores the position the host reached.
TEST(ResumeTest, PositionSurvivesARestart) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n");
  TestHost host;
  host.position = -1;
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(RequestArguments(host, 102).size(), 1u);
    EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{5000});
    host.position = 81000;
    SendMessageA(host.main, WM_NULL, 0, 0);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Track", "Position"), "81000");
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(RequestArguments(host, 106), std::vector<WPARAM>{81000});
    plugin.Quit();
  }
  ResetGlobalAtoms();
}

}  // namespace
