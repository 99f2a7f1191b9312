// The Play/Pause key's row in the settings file, through the real DLL.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_dialog_ids.h"

namespace {

// ---- The settings file through the real DLL ----

// Every key in the classic save order with values away from the defaults, as
// the profile functions write them.
const char kClassicFile[] =
    "[Hotkeys]\r\n"
    "Enable=0\r\n"
    "prev_hotkey=5242883\r\n"
    "play_hotkey=0\r\n"
    "pause_hotkey=8060936\r\n"
    "stop_hotkey=0\r\n"
    "next_hotkey=-65536\r\n"
    "fwd_hotkey=0\r\n"
    "rew_hotkey=0\r\n"
    "VolUp_hotkey=7\r\n"
    "VolDown_hotkey=0\r\n"
    "mainwindow_hotkey=0\r\n"
    "inform_hotkey=0\r\n"
    "jump_hotkey=0\r\n"
    "repeat_hotkey=0\r\n"
    "shuffle_hotkey=0\r\n"
    "stop_after_current_hotkey=11534337\r\n"
    "[Transparency]\r\n"
    "EnableActive=0\r\n"
    "WinAMP_active=255\r\n"
    "Playlist_active=255\r\n"
    "Equalizer_active=255\r\n"
    "EnableInactive=0\r\n"
    "WinAMP_inactive=255\r\n"
    "Playlist_inactive=255\r\n"
    "Equalizer_inactive=255\r\n"
    "[OSD]\r\n"
    "Enable=1\r\n"
    "OSDPosition=4\r\n"
    "OSDDisplayTime=2500\r\n"
    "OSDColor=1193046\r\n"
    "OSDFontName=Courier New\r\n"
    "OSDFontSize=20\r\n"
    "OSDFontColor=255\r\n"
    "OSDFontStyleBold=1\r\n"
    "OSDFontStyleItalic=0\r\n"
    "OSDFontStyleUnderlined=1\r\n"
    "OSDFontStyleStrikeOut=0\r\n"
    "[Track]\r\n"
    "PlayOnStart=0\r\n"
    "RememberPosition=1\r\n";

// Opens the configuration through the descriptor and leaves it with "Exit".
void ConfigAndExit(LoadedPlugin& plugin) {
  HWND dialog = plugin.OpenConfigDialog();
  ASSERT_NE(dialog, nullptr);
  SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
  FlushPostedMessages();
}

// The keys of later versions, at their defaults where "Exit" writes them: in the OSD section
// after the classic ones, and the steps in a section of their own after the last classic one.
void AddLaterKeys(std::string& file) {
  const std::string osdAfter = "OSDFontStyleStrikeOut=0\r\n";
  file.insert(
      file.find(osdAfter) + osdAfter.size(),
      "OSDMonitor=0\r\nOSDHideFullScreen=0\r\nOSDOnTrackChange=0\r\nOSDShowVolume=0\r\nOSDShowArt=0\r\n"
      "OSDOnPlayState=0\r\nOSDOnVolumeChange=0\r\n");
  file += "[Steps]\r\nSeekSeconds=5\r\nVolumePercent=0\r\nMutedVolume=0\r\n";
}

using PlayPauseFile = DllTest;

TEST_F(PlayPauseFile, AClassicFileIsWrittenBackUnchangedBesidesTheNewKey) {
  install.WriteIni(kClassicFile);
  TestHost host;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    ConfigAndExit(plugin);
    // The file as "Exit" left it: every classic line as it was, and the new
    // key where the save order puts it, right after stop_after_current_hotkey.
    std::string expected = kClassicFile;
    const std::string after = "stop_after_current_hotkey=11534337\r\n";
    expected.insert(expected.find(after) + after.size(),
                    "playpause_hotkey=0\r\nrateup_hotkey=0\r\nratedown_hotkey=0\r\nmute_hotkey=0\r\n");
    AddLaterKeys(expected);
    EXPECT_EQ(install.ReadIni(), expected);
    plugin.Quit();
  }
}

// Where no key exists yet, the file shows the save order itself.
TEST_F(PlayPauseFile, AFreshFileGetsTheNewKeyRightAfterStopAfterCurrent) {
  TestHost host;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    ConfigAndExit(plugin);
    plugin.Quit();
  }
  const std::string file = install.ReadIni();
  const std::string hotkeys =
      "[Hotkeys]\r\nEnable=0\r\nprev_hotkey=0\r\nplay_hotkey=0\r\npause_hotkey=0\r\nstop_hotkey=0\r\n"
      "next_hotkey=0\r\nfwd_hotkey=0\r\nrew_hotkey=0\r\nVolUp_hotkey=0\r\nVolDown_hotkey=0\r\n"
      "mainwindow_hotkey=0\r\ninform_hotkey=0\r\njump_hotkey=0\r\nrepeat_hotkey=0\r\nshuffle_hotkey=0\r\n"
      "stop_after_current_hotkey=0\r\nplaypause_hotkey=0\r\nrateup_hotkey=0\r\nratedown_hotkey=0\r\n"
      "mute_hotkey=0\r\n[Transparency]\r\n";
  EXPECT_EQ(file.rfind(hotkeys, 0), 0u) << file;
}

TEST_F(PlayPauseFile, ANewFileReadsTheSameForAClassicReader) {
  std::string withPlayPause = kClassicFile;
  const std::string after = "stop_after_current_hotkey=11534337\r\n";
  withPlayPause.insert(withPlayPause.find(after) + after.size(), "playpause_hotkey=11730944\r\n");
  install.WriteIni(withPlayPause);
  TestHost host;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    ConfigAndExit(plugin);
    std::string written = withPlayPause;
    const std::string playPause = "playpause_hotkey=11730944\r\n";
    written.insert(written.find(playPause) + playPause.size(),
                   "rateup_hotkey=0\r\nratedown_hotkey=0\r\nmute_hotkey=0\r\n");
    AddLaterKeys(written);
    EXPECT_EQ(install.ReadIni(), written);
    plugin.Quit();
  }
  // A reader that knows only the classic keys finds each where it was.
  const char* const classic[][2] = {{"prev_hotkey", "5242883"},
                                    {"pause_hotkey", "8060936"},
                                    {"next_hotkey", "-65536"},
                                    {"stop_after_current_hotkey", "11534337"}};
  for (const auto& key : classic) EXPECT_EQ(install.IniValue("HotKeys", key[0]), key[1]) << key[0];
  EXPECT_EQ(install.IniValue("Transparency", "EnableActive"), "0");
}

}  // namespace
