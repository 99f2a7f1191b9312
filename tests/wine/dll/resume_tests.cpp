// The remembered position through the real DLL.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

// The whole start through the DLL: the seek carries the position stored at
// the last quit, and the next quit stores the position the host reached. A
// player closed while muted is given its level back by Mute after the next
// start, and that quit stores that it is muted no more.
TEST(ResumeTest, PositionAndMuteSurviveARestart) {
  ResetGlobalAtoms();
  TestInstall install;
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nmute_hotkey=" + std::to_string(kCtrlAltP) +
                   "\r\n[Track]\r\nPlayOnStart=1\r\nRememberPosition=1\r\nPosition=5000\r\n");
  TestHost host;
  host.position = -1;
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(host.RequestArguments(102).size(), 1u);
    EXPECT_EQ(host.RequestArguments(106), std::vector<WPARAM>{5000});
    host.position = 81000;
    ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
    EXPECT_EQ(host.volume, 0);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Track", "Position"), "81000");
  EXPECT_EQ(install.IniValue("Steps", "MutedVolume"), "158");
  {
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_EQ(host.RequestArguments(106), std::vector<WPARAM>{81000});
    ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
    EXPECT_EQ(host.volume, 158);
    plugin.Quit();
  }
  EXPECT_EQ(install.IniValue("Steps", "MutedVolume"), "0");
  ResetGlobalAtoms();
}

}  // namespace
