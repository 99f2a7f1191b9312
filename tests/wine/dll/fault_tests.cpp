// Hostile input and faults through the real DLL as the host loads it: files
// that cannot be written, missing host windows, a host that answers nonsense,
// init and unload at the wrong moments, and another process taking a
// combination.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/hotkey_holder.h"
#include "testkit/test_host.h"
#include "ui/config_dialog_ids.h"

namespace {

void ClickIn(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

HWND HotkeyList(HWND dialog) { return GetDlgItem(dialog, form1::kHotkeyList); }

void SendHotkey(HWND main, const char* atomName) {
  SendMessageA(main, WM_HOTKEY, GlobalFindAtomA(atomName), 0);
}

// The settings-file text holding one line per key.
std::string Section(const char* name, const std::vector<std::string>& lines) {
  std::string text = std::string("[") + name + "]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class FaultTest : public DllTest {
 protected:
  void TearDown() override {
    FlushPostedMessages();
    DllTest::TearDown();
    TestInstall::SetRegistryValue(install.Directory());
  }
  MessageBoxWatcher boxes;
  TestHost host;
};

// ---- The settings file cannot be written ----

struct SaveFaultCase {
  const char* label;
  bool readOnly;          // the file exists and is read-only
  bool missingDirectory;  // the host directory does not exist
};

TEST_F(FaultTest, RefusedWritesShowOneBoxAtExitAndNoneAtQuit) {
  const SaveFaultCase cases[] = {{"read-only file", true, false}, {"directory missing", false, true}};
  for (const SaveFaultCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string content = "[Track]\r\nPosition=777\r\n";
    std::string directory = install.Directory();
    if (c.missingDirectory) {
      directory += "\\absent";
      TestInstall::SetRegistryValue(directory);
    } else {
      install.WriteIni(content);
    }
    const std::string iniPath = directory + "\\Plugins\\gen_klv.ini";
    const size_t boxesBefore = boxes.Seen().size();
    {
      LoadedPlugin plugin(host.main);
      ASSERT_EQ(plugin.Init(), 0);
      plugin.Config();
      FlushPostedMessages();
      HWND dialog = FindConfigDialog();
      ASSERT_NE(dialog, nullptr);
      if (c.readOnly) SetFileAttributesA(iniPath.c_str(), FILE_ATTRIBUTE_READONLY);
      ClickIn(dialog, form1::kPlayOnStartBox);  // a change that Exit would write
      ClickIn(dialog, form1::kExitButton);
      auto seen = boxes.SeenAfterPump();
      EXPECT_FALSE(IsWindow(dialog));
      ASSERT_EQ(seen.size(), boxesBefore + 1);
      EXPECT_EQ(seen.back().text, "Unable to write to " + iniPath + ".");
      // Quit reports nothing of its own refused write, and stops all the same.
      SendMessageA(host.main, WM_NULL, 0, 0);
      plugin.Quit();
      EXPECT_EQ(boxes.SeenAfterPump().size(), boxesBefore + 1);
      EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    }
    if (c.readOnly) {
      SetFileAttributesA(iniPath.c_str(), FILE_ATTRIBUTE_NORMAL);
      EXPECT_EQ(install.ReadIni(), content);
    } else {
      EXPECT_EQ(GetFileAttributesA(directory.c_str()), INVALID_FILE_ATTRIBUTES) << "created " << directory;
      TestInstall::SetRegistryValue(install.Directory());
    }
  }
}

// ---- Missing host windows ----

struct SideWindowsCase {
  const char* label;
  bool playlist;
  bool equalizer;
};

TEST(FaultSideWindowsTest, MissingSideWindowsStartActivateAndQuit) {
  const SideWindowsCase cases[] = {
      {"no playlist", false, true}, {"no equalizer", true, false}, {"neither", false, false}};
  for (const SideWindowsCase& c : cases) {
    SCOPED_TRACE(c.label);
    ResetGlobalAtoms();
    TestInstall install;
    install.WriteIni(Section(
        "Transparency",
        {"EnableActive=1", "EnableInactive=1", "WinAMP_active=200", "WinAMP_inactive=100",
         "Playlist_active=201", "Playlist_inactive=101", "Equalizer_active=202", "Equalizer_inactive=102"}));
    TestHost host(c.playlist, c.equalizer);
    const WNDPROC mainProcedure = WindowProcedure(host.main);
    {
      LoadedPlugin plugin(host.main);
      ASSERT_EQ(plugin.Init(), 0);
      struct Hooked {
        HWND window;
        BYTE active, inactive;
      };
      for (const Hooked& w :
           {Hooked{host.main, 200, 100}, Hooked{host.playlist, 201, 101}, Hooked{host.equalizer, 202, 102}}) {
        if (w.window == nullptr) continue;
        SendMessageA(w.window, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(AlphaOf(w.window), w.inactive);
        SendMessageA(w.window, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(AlphaOf(w.window), w.active);
      }
      SendMessageA(host.main, WM_NULL, 0, 0);
      plugin.Quit();
      EXPECT_EQ(WindowProcedure(host.main), mainProcedure);
      EXPECT_EQ(install.IniValue("Track", "Position"), "65432");
    }
    // Unloaded: activation reaches the host and changes no level any more.
    const int lastAlpha = AlphaOf(host.main);
    host.ClearLog();
    SendMessageA(host.main, WM_ACTIVATE, lastAlpha == 200 ? WA_INACTIVE : WA_ACTIVE, 0);
    EXPECT_GE(host.Count(host.main, WM_ACTIVATE), 1);
    EXPECT_EQ(AlphaOf(host.main), lastAlpha);
    EXPECT_TRUE(host.Requests().empty());
    ResetGlobalAtoms();
  }
}

// ---- A host that answers nonsense ----

// What a host may answer, however odd.
struct HostAnswers {
  const char* label;
  int32_t position, lengthSeconds, playlistIndex, shuffle, repeat;
  bool nullTitle;
  std::string title;
  LRESULT titles = 0;  // when not 0, the answer to both 212 and 213
};
const std::string kLongTitle(5000, 'x');
const HostAnswers kMinusOne{"minus one everywhere", -1, -1, -1, -1, -1, false, "Song", -1};
const HostAnswers kSmallTitles{"titles as small integers", 65432, 187, 0, 0, 0, false, "Song", 4};
const HostAnswers kNoLength{"no length", 65432, -1, 0, 0, 0, false, "Song"};
const HostAnswers kNullTitle{"null title", 65432, 187, 0, 0, 0, true, ""};
const HostAnswers kHuge{"huge times", INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, false, "Song"};
const HostAnswers kLongTitleAndStatesOn{"title past the limit", 0, 0, 0, 1, 1, false, kLongTitle};
const HostAnswers* const kHostAnswers[] = {&kMinusOne,  &kSmallTitles, &kNoLength,
                                           &kNullTitle, &kHuge,        &kLongTitleAndStatesOn};

// The OSD text of each action under some of those answers, written out: every
// action and every answer at least once. How each action composes its text
// from any answer is the core's, pinned there.
struct ShownText {
  const HostAnswers* answers;
  const char* atomName;
  std::string expected;
};
const std::string kTitleCut = "\"" + std::string(255, 'x') + "\" [0:00/0:00]";
const ShownText kShownTexts[] = {
    {&kMinusOne, "prev_hotkey", "Previous : \"\" [0:00/0:00]"},
    {&kSmallTitles, "inform_hotkey", "Info : \"\" [1:05/3:07]"},
    {&kMinusOne, "VolUp_hotkey", "Volume Up"},
    {&kMinusOne, "repeat_hotkey", "Repeat Off"},
    {&kMinusOne, "shuffle_hotkey", "Shuffle Off"},
    {&kNoLength, "play_hotkey", "Play : \"Song\" [0:00/0:00]"},
    {&kNoLength, "pause_hotkey", "Pause : \"Song\" [0:00/0:00]"},
    {&kNoLength, "VolDown_hotkey", "Volume Down"},
    {&kNullTitle, "stop_hotkey", "Stop : \"\" [1:05/3:07]"},
    {&kNullTitle, "next_hotkey", "Next : \"\" [1:05/3:07]"},
    // The test host answers the playing state with 0, stopped: Play/Pause plays.
    {&kNullTitle, "playpause_hotkey", "Play : \"\" [1:05/3:07]"},
    {&kHuge, "fwd_hotkey", "Forward : \"Song\" [35791:23/35791394:07]"},
    {&kHuge, "rew_hotkey", "Rewind : \"Song\" [35791:23/35791394:07]"},
    {&kHuge, "mainwindow_hotkey", "WinAMP : \"Song\" [35791:23/35791394:07]"},
    {&kHuge, "repeat_hotkey", "Repeat Off"},
    {&kLongTitleAndStatesOn, "inform_hotkey", "Info : " + kTitleCut},
    {&kLongTitleAndStatesOn, "jump_hotkey", "Jump : " + kTitleCut},
    {&kLongTitleAndStatesOn, "stop_after_current_hotkey", "Stop after current : " + kTitleCut},
    {&kLongTitleAndStatesOn, "repeat_hotkey", "Repeat On"},
    {&kLongTitleAndStatesOn, "shuffle_hotkey", "Shuffle On"},
};

void Answer(TestHost& host, const HostAnswers& answers) {
  host.position = answers.position;
  host.lengthSeconds = answers.lengthSeconds;
  host.playlistIndex = answers.playlistIndex;
  host.shuffle = answers.shuffle;
  host.repeat = answers.repeat;
  host.nullTitle = answers.nullTitle;
  host.title = answers.title;
  host.rawAnswers.erase(212);
  host.rawAnswers.erase(213);
  if (answers.titles != 0) host.rawAnswers[212] = host.rawAnswers[213] = answers.titles;
}

TEST_F(FaultTest, EveryOsdActionSurvivesAnyHostAnswer) {
  std::string hotkeys = "[Hotkeys]\r\nEnable=1\r\n";
  for (int row = 0; row < klv::kHotkeyCount; ++row) {
    // Ctrl+Alt+Shift with F1..F12, then four letters.
    const uint16_t key =
        row < 12 ? static_cast<uint16_t>(VK_F1 + row) : static_cast<uint16_t>('W' + row - 12);
    hotkeys += std::string(klv::kHotkeyActions[row].atomName) + "=" +
               std::to_string(klv::PackHotkey(key, true, true, true, false)) + "\r\n";
  }
  install.WriteIni(hotkeys + Section("OSD", {"Enable=1", "OSDDisplayTime=60000"}));
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  ASSERT_TRUE(boxes.Seen().empty()) << "a combination was refused";
  for (const HostAnswers* answers : kHostAnswers) {
    SCOPED_TRACE(answers->label);
    Answer(host, *answers);
    for (const klv::HotkeyAction& action : klv::kHotkeyActions) {
      SCOPED_TRACE(action.atomName);
      SendHotkey(host.main, action.atomName);
      HWND osd = FindOsdWindow();
      ASSERT_NE(osd, nullptr);
      EXPECT_TRUE(IsWindowVisible(osd));
      EXPECT_FALSE(WindowTextOf(osd).empty());
    }
  }
  for (const ShownText& shown : kShownTexts) {
    SCOPED_TRACE(std::string(shown.answers->label) + ", " + shown.atomName);
    Answer(host, *shown.answers);
    SendHotkey(host.main, shown.atomName);
    ASSERT_NE(FindOsdWindow(), nullptr);
    EXPECT_EQ(WindowTextOf(FindOsdWindow()), shown.expected);
  }
  ShowWindow(host.main, SW_RESTORE);
  plugin.Quit();
  EXPECT_EQ(FindOsdWindow(), nullptr);
}

// ---- A hand-edited settings file ----

// Values no dialog writes: the plug-in starts, shows, opens its dialog and
// stops with each of them.
TEST_F(FaultTest, HostileSettingsValuesStartShowAndStop) {
  const std::string next = "[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n";
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"huge font", Section("OSD", {"Enable=1", "OSDFontSize=2147483647", "OSDDisplayTime=2147483647"})},
      {"negative font and time", Section("OSD", {"Enable=1", "OSDFontSize=-40", "OSDDisplayTime=-1"})},
      {"font name past the limit",
       Section("OSD", {"Enable=1", "OSDFontName=" + std::string(2100, 'F'), "OSDFontSize=0"})},
      {"system colours and position past eight",
       Section("OSD", {"Enable=1", "OSDColor=-1", "OSDFontColor=$80000012", "OSDPosition=255"})},
      {"unparsable numbers",
       Section("OSD", {"Enable=x", "OSDPosition=seven", "OSDDisplayTime=0x", "OSDColor=$"}) +
           Section("Transparency", {"EnableActive=1", "WinAMP_active=-1", "Playlist_active=99999999999"})},
      {"a key with no code", "[Hotkeys]\r\nEnable=1\r\nnext_hotkey=3\r\n[OSD]\r\nEnable=1\r\n"},
  };
  for (const auto& [label, osd] : cases) {
    SCOPED_TRACE(label);
    install.WriteIni(osd.rfind("[Hotkeys]", 0) == 0 ? osd : next + osd);
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    host.ClearLog();
    SendHotkey(host.main, "next_hotkey");
    SendMessageA(host.main, WM_NULL, 0, 0);
    plugin.Config();
    FlushPostedMessages();
    ASSERT_NE(FindConfigDialog(), nullptr);
    SendMessageA(FindConfigDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    FlushPostedMessages();
    plugin.Quit();
    EXPECT_EQ(FindOsdWindow(), nullptr);
    EXPECT_EQ(FindConfigDialog(), nullptr);
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
  }
}

// ---- Init and quit at the wrong moments ----

TEST_F(FaultTest, ASecondInitIsRefusedAndTheFirstKeepsWorking) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n" +
                   Section("OSD", {"Enable=1", "OSDDisplayTime=60000"}));
  const WNDPROC hostProcedure = WindowProcedure(host.main);
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  const WNDPROC hooked = WindowProcedure(host.main);
  const ATOM id = GlobalFindAtomA("next_hotkey");
  ASSERT_NE(id, 0);
  EXPECT_EQ(plugin.Init(), -1);
  EXPECT_EQ(plugin.Init(), -1);

  EXPECT_EQ(WindowProcedure(host.main), hooked);
  EXPECT_EQ(GlobalFindAtomA("next_hotkey"), id);
  EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
  host.ClearLog();
  SendMessageA(host.main, WM_HOTKEY, id, 0);
  // One hook, one action: the command once, the hotkey passed on once.
  EXPECT_EQ(host.Commands(), std::vector<int>{40048});
  EXPECT_EQ(host.Count(host.main, WM_HOTKEY), 1);
  ASSERT_NE(FindOsdWindow(), nullptr);
  EXPECT_EQ(WindowTextOf(FindOsdWindow()).rfind("Next : ", 0), 0u) << WindowTextOf(FindOsdWindow());

  plugin.Quit();
  EXPECT_EQ(WindowProcedure(host.main), hostProcedure);
  EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
  EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
  EXPECT_EQ(FindOsdWindow(), nullptr);
}

// The host quits from inside a picker's modal loop, as when its own close
// message arrives there.
TEST_F(FaultTest, QuitWhileAPickerIsOpenClosesTheDialogAndThePicker) {
  install.WriteIni(Section("OSD", {"Enable=1", "OSDDisplayTime=60000"}) +
                   "[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltN) + "\r\n");
  for (int button : {form1::kSelectColorButton, form1::kSelectFontButton}) {
    SCOPED_TRACE(button == form1::kSelectColorButton ? "colour" : "font");
    ResetGlobalAtoms();
    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    SendHotkey(host.main, "next_hotkey");
    ASSERT_NE(FindOsdWindow(), nullptr);
    plugin.Config();
    FlushPostedMessages();
    HWND dialog = FindConfigDialog();
    ASSERT_NE(dialog, nullptr);
    HWND picker = nullptr;
    {
      ModalScript script({WhenDialog([&](HWND shown) {
                            picker = shown;
                            plugin.Quit();
                          }),
                          // Should quit leave it open, the test does not hang.
                          WhenDialog([](HWND left) { PostMessageA(left, WM_COMMAND, IDCANCEL, 0); })});
      ClickIn(dialog, button);  // returns once the picker has gone
      EXPECT_EQ(script.StepsDone(), 1u) << "quit left the picker open";
    }
    ASSERT_NE(picker, nullptr) << "the picker never showed";
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(FindOsdWindow(), nullptr);
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
    FlushPostedMessages();
  }
  EXPECT_TRUE(boxes.Seen().empty());
}

// ---- Another process takes a combination ----

// Held at start: one box names it, the dialog shows it waiting, "Exit" keeps it, and a resume from
// sleep registers it once the other process has let it go.
TEST_F(FaultTest, ACombinationHeldByAnotherProcessAtStartWaitsForItsKey) {
  install.WriteIni("[Hotkeys]\r\nEnable=1\r\nnext_hotkey=" + std::to_string(kCtrlAltP) +
                   "\r\nplay_hotkey=" + std::to_string(kCtrlAltN) + "\r\n");
  auto holder = std::make_unique<HotkeyHolder>(kCtrlAltP);
  ASSERT_TRUE(holder->WaitHeld()) << EnvPath("KLV_WINTOOL");
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  EXPECT_TRUE(OneErrorBox(boxes.SeenAfterPump(),
                          "Unable to set a hot key.\nNext: Ctrl+Alt+P is in use by another program."));
  plugin.Config();
  HWND dialog = FindConfigDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(RowMarked(HotkeyList(dialog), 4));
  EXPECT_EQ(RowText(HotkeyList(dialog), 4), "Next (in use)");
  EXPECT_EQ(RowText(HotkeyList(dialog), 1), "Play");
  ClickIn(dialog, form1::kExitButton);
  FlushPostedMessages();
  EXPECT_EQ(install.IniValue("HotKeys", "next_hotkey"), std::to_string(kCtrlAltP));

  holder.reset();
  SendMessageA(host.main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  host.ClearLog();
  ASSERT_TRUE(host.PressHotkey(kCtrlAltP));
  EXPECT_EQ(host.Commands(), std::vector<int>{40048});
  plugin.Quit();
  EXPECT_EQ(boxes.SeenAfterPump().size(), 1u);
}

}  // namespace
