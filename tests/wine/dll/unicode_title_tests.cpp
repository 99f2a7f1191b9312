// A wide title through the stand-in player and the real DLL.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_codes.h"
#include "testkit/player_process.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace {

using UnicodeTitleThroughThePlayer = DllTest;

// The whole road through the stand-in player, another process: its playlist's
// Cyrillic and Greek entry, reached with "Next", is what another program reads
// from the OSD window and the player's caption with GetWindowTextW.
TEST_F(UnicodeTitleThroughThePlayer, AnotherProgramReadsTheComposedText) {
  const klv::PackedHotkey next = klv::PackHotkey('N', true, true, true, false);
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(next) +
                   "\r\n[OSD]\r\nEnable=1\r\nOSDDisplayTime=60000\r\nOSDOnTrackChange=1\r\n");
  PlayerProcess player(install);
  ASSERT_EQ(player.InitResult(), 0);
  PressKeys(next);
  HWND osd = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (osd = FindOsdWindow()) != nullptr; }));
  // "Ночной город - Νυχτερινή πόλη", the player's second entry.
  const std::wstring title =
      L"\u041d\u043e\u0447\u043d\u043e\u0439 \u0433\u043e\u0440\u043e\u0434 - "
      L"\u039d\u03c5\u03c7\u03c4\u03b5\u03c1\u03b9\u03bd\u03ae \u03c0\u03cc\u03bb\u03b7";
  // The player stays stopped on "Next" without play on start: no position.
  EXPECT_EQ(WideWindowTextOf(osd), L"Next : \"" + title + L"\" [0:00/0:00]");
  // Its Unicode caption, as the taskbar reads it, names the entry exactly while the plug-in runs.
  EXPECT_EQ(WideWindowTextOf(player.MainWindow()), L"2. " + title + L" - Winamp");
  // A start by the player itself, then its own move on at the end of that track.
  SendMessageW(player.MainWindow(), WM_COMMAND, 40045, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return WideWindowTextOf(FindOsdWindow()) == L"\"" + title + L"\" [0:00/3:23]"; }));
  SendMessageW(player.MainWindow(), WM_USER, 202700, 106);
  EXPECT_TRUE(WaitUntil(
      [] { return WindowTextOf(FindOsdWindow()) == "\"Salt & Pepper - Kitchen Stories\" [0:00/0:24]"; }));
  EXPECT_TRUE(player.Quit());
}

}  // namespace
