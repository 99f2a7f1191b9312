// Keys beyond the classic keyboard through the real DLL: media keys and
// F13-F24 pressed through SendInput reach their actions, and a stored media
// key another program holds at init is named and kept.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "core/hotkeys/hotkey_actions.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"
#include "ui/config_dialog_ids.h"

namespace {

// Packed as the settings file stores them: key code << 16 | modifiers.
constexpr klv::PackedHotkey kMediaPlayPause = 179 << 16;  // 11730944, no modifier
constexpr klv::PackedHotkey kMediaNext = 176 << 16;       // 11534336
constexpr klv::PackedHotkey kCtrlF13 = (124 << 16) | 2;   // 8126466
constexpr klv::PackedHotkey kShiftVolumeMute = (173 << 16) | 4;

using MediaKeysThroughTheDll = DllTest;

TEST_F(MediaKeysThroughTheDll, AMediaKeyAloneAndF13WithCtrlRunTheirActions) {
  install.WriteIni(
      "[Hotkeys]\r\nEnable=1\r\nplaypause_hotkey=11730944\r\nnext_hotkey=11534336\r\n"
      "stop_hotkey=8126466\r\nVolUp_hotkey=11468800\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\n"
      "OSDOnTrackChange=1\r\nOSDShowVolume=1\r\n");
  TestHost host;
  host.playingState = 3;        // paused: Play/Pause sends the pause command, which resumes
  host.announcesStarts = true;  // the track our "Next" starts keeps the "Next : " text alone
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    for (klv::PackedHotkey held : {kMediaPlayPause, kMediaNext, kCtrlF13}) {
      EXPECT_FALSE(IsFree(held, host.playlist)) << held;
    }

    struct Press {
      const char* label;
      klv::PackedHotkey packed;
      const char* atomName;
      std::vector<int> commands;
      const char* osdText;
    };
    const Press presses[] = {
        {"MediaPlayPause alone",
         kMediaPlayPause,
         "playpause_hotkey",
         {klv::kCommandPause},
         "Play : \"Song\" [1:05/3:07]"},
        {"MediaNext alone", kMediaNext, "next_hotkey", {klv::kCommandNext}, "Next : \"Song\" [1:05/3:07]"},
        {"Ctrl+F13", kCtrlF13, "stop_hotkey", {klv::kCommandStop}, "Stop : \"Song\" [1:05/3:07]"},
        {"VolumeUp alone, the host at 158",
         175 << 16,
         "VolUp_hotkey",
         {klv::kCommandVolumeUp},
         "Volume Up : 62%"},
    };
    for (const Press& press : presses) {
      SCOPED_TRACE(press.label);
      host.ClearLog();
      ASSERT_TRUE(host.PressHotkey(press.packed));
      EXPECT_EQ(host.Hotkeys(), std::vector<WPARAM>{GlobalFindAtomA(press.atomName)});
      EXPECT_EQ(host.Commands(), press.commands);
      HWND osd = FindOsdWindow();
      ASSERT_NE(osd, nullptr);
      EXPECT_EQ(WindowTextOf(osd), press.osdText);
      const std::vector<int> asked = host.Requests();
      EXPECT_LE(std::count(asked.begin(), asked.end(), 125), 1) << "one text per press";
    }

    // Unbound: Shift+VolumeMute reaches nobody's action.
    host.ClearLog();
    MarkerKey marker;
    ASSERT_TRUE(marker.Registered());
    PressKeys(kShiftVolumeMute);
    ASSERT_TRUE(marker.PressAndWait());
    EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 0);
    EXPECT_TRUE(host.Commands().empty());

    plugin.Quit();
    EXPECT_TRUE(IsFree(kMediaPlayPause, host.playlist));
    EXPECT_TRUE(IsFree(kCtrlF13, host.playlist));
  }
}

// At init, a stored media key that another program holds is named in one box and kept: "Exit"
// saves it, and the dialog's next opening registers it once the program has let it go.
TEST_F(MediaKeysThroughTheDll, AStoredMediaKeyHeldElsewhereAtInitIsNamedAndKept) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nplaypause_hotkey=11730944\r\n");
  TestHost host;
  ASSERT_TRUE(RegisterHotKey(host.equalizer, 80, 0, 179));
  MessageBoxWatcher boxes;
  {
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_TRUE(OneErrorBox(
        boxes.Seen(), "Unable to set a hot key.\nPlay/Pause: MediaPlayPause is in use by another program."));
    HWND dialog = plugin.OpenConfigDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(RowMarked(GetDlgItem(dialog, form1::kHotkeyList), 15));
    SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
    FlushPostedMessages();
    EXPECT_EQ(install.IniValue("HotKeys", "playpause_hotkey"), "11730944");
    UnregisterHotKey(host.equalizer, 80);
    ASSERT_NE(plugin.OpenConfigDialog(), nullptr);
    EXPECT_FALSE(IsFree(11730944, host.equalizer));
    plugin.Quit();
  }
  EXPECT_EQ(boxes.Seen().size(), 1u);
}

}  // namespace
