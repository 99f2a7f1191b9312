// Orders real users produce: a player that crashes or is killed while the
// plug-in runs, a host that calls back into the plug-in while one of its
// message boxes is up, and a global atom table with no room left.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "testkit/modal_script.h"
#include "testkit/player_process.h"
#include "testkit/test_host.h"
#include "tests/wine/dll/dialog_driver.h"
#include "ui/assign_dialog_ids.h"
#include "ui/config_dialog_ids.h"

namespace {

constexpr int kPlayRow = 1;  // entry 2
constexpr int kNextRow = 4;  // entry 5

std::string HotkeysIni(bool enabled, const std::vector<std::pair<const char*, klv::PackedHotkey>>& keys) {
  std::string text = std::string("[Hotkeys]\r\nEnable=") + (enabled ? "1" : "0") + "\r\n";
  for (const auto& [name, packed] : keys) text += std::string(name) + "=" + std::to_string(packed) + "\r\n";
  return text;
}

int VisibleConfigDialogs() { return CountVisibleWindows(form1::kClassName); }
bool HotkeyRowMarked(HWND dialog, int row) { return RowMarked(GetDlgItem(dialog, form1::kHotkeyList), row); }

class ReliabilityTest : public DllTest {
 protected:
  void TearDown() override {
    PumpMessages(20);
    DllTest::TearDown();
  }

  TestHost host;
};

// ---- A player that ends without quit ----

struct ProcessEndCase {
  const char* label;
  bool (PlayerProcess::*end)();
};

TEST_F(ReliabilityTest, AStartAfterThePlayerEndedWithoutQuitTakesItsMarkersOver) {
  const ProcessEndCase cases[] = {{"killed", &PlayerProcess::Terminate},
                                  {"exited without quit", &PlayerProcess::ExitWithoutQuit}};
  install.WriteIni(HotkeysIni(true, {{"next_hotkey", kCtrlAltN}}));
  for (const ProcessEndCase& c : cases) {
    SCOPED_TRACE(c.label);
    ResetGlobalAtoms();
    {
      PlayerProcess player(install);
      ASSERT_EQ(player.InitResult(), 0);
      EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
      ASSERT_TRUE((player.*c.end)());
    }
    // What the dead process left: the system does not take global atoms back.
    ASSERT_TRUE(GlobalAtomExists(kInstanceAtom));
    ASSERT_TRUE(GlobalAtomExists("next_hotkey"));
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));

    LoadedPlugin plugin(host.main);
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
    host.ClearLog();
    SendMessageA(host.main, WM_HOTKEY, GlobalFindAtomA("next_hotkey"), 0);
    EXPECT_EQ(host.Commands(), std::vector<int>{40048});
    plugin.Quit();
    // Taken over, not added again: quit's one deletion removes them.
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
  }
}

TEST_F(ReliabilityTest, WhileOnePlayerRunsThePluginAnotherIsRefused) {
  install.WriteIni(HotkeysIni(true, {{"next_hotkey", kCtrlAltN}}) +
                   "[Transparency]\r\nEnableInactive=1\r\nWinAMP_inactive=10\r\n");
  const LONG mainProcedure = GetWindowLongA(host.main, GWL_WNDPROC);
  {
    PlayerProcess player(install);
    ASSERT_EQ(player.InitResult(), 0);
    LoadedPlugin plugin(host.main);
    host.ClearLog();
    EXPECT_EQ(plugin.Init(), -1);
    EXPECT_EQ(GetWindowLongA(host.main, GWL_WNDPROC), mainProcedure);
    EXPECT_EQ(GetWindowLongA(host.main, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_TRUE(host.Requests().empty());
    // Quit after the refusal leaves the player's marker alone and writes
    // nothing, and there is nothing to configure.
    plugin.Quit();
    EXPECT_TRUE(GlobalAtomExists(kInstanceAtom));
    EXPECT_EQ(install.IniValue("Track", "Position"), "<missing>");
    plugin.Config();
    EXPECT_EQ(FindConfigDialog(), nullptr);
    // The player's registration is untouched, and ends with its quit.
    EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
    ASSERT_TRUE(player.Quit());
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
    // Once the player has gone, this one starts.
    EXPECT_EQ(plugin.Init(), 0);
    EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));

    // And the other way round: a player started now is refused.
    PlayerProcess second(install);
    EXPECT_EQ(second.InitResult(), -1);
    ASSERT_TRUE(second.Quit());
    EXPECT_TRUE(GlobalAtomExists(kInstanceAtom));
    EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
    plugin.Quit();
  }
  EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
  EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
}

// ---- Quit while a refusal's box is up ----

// Entry 2 ("Play") is refused, entry 5 ("Next") comes after it in the table.
enum class RefusalAt { kInit, kHotkeysSwitchedOn };

struct QuitDuringRefusalCase {
  const char* label;
  RefusalAt at;
};

TEST_F(ReliabilityTest, QuitWhileARefusalBoxIsUpStopsAllRegistration) {
  const QuitDuringRefusalCase cases[] = {{"at init", RefusalAt::kInit},
                                         {"switching hotkeys on", RefusalAt::kHotkeysSwitchedOn}};
  for (const QuitDuringRefusalCase& c : cases) {
    SCOPED_TRACE(c.label);
    ResetGlobalAtoms();
    install.WriteIni(HotkeysIni(c.at != RefusalAt::kHotkeysSwitchedOn,
                                {{"play_hotkey", kCtrlAltP}, {"next_hotkey", kCtrlAltN}}) +
                     "[Track]\r\nPosition=5000\r\n");
    LoadedPlugin plugin(host.main);
    ModalScript script({WhileMessageBoxIsUp([&plugin] { plugin.Quit(); })});
    if (c.at == RefusalAt::kInit) {
      ASSERT_TRUE(RegisterHotKey(host.equalizer, 1, MOD_CONTROL | MOD_ALT, 'P'));
      EXPECT_EQ(plugin.Init(), -1);
      // Stopped before anything was read for the position: it stays as stored.
      EXPECT_EQ(install.IniValue("Track", "Position"), "5000");
    } else {
      ASSERT_EQ(plugin.Init(), 0);
      ASSERT_TRUE(RegisterHotKey(host.equalizer, 1, MOD_CONTROL | MOD_ALT, 'P'));
      plugin.Config();
      HWND dialog = FindConfigDialog();
      ASSERT_NE(dialog, nullptr);
      SendMessageA(GetDlgItem(dialog, form1::kHotkeysBox), BM_CLICK, 0, 0);
    }
    PumpMessages(100);
    EXPECT_TRUE(script.AllDone());
    EXPECT_EQ(script.BoxTexts(),
              std::vector<std::string>{"Unable to set a hot key.\nPlay: Ctrl+Alt+P is in use by "
                                       "another program."});
    EXPECT_TRUE(IsFree(kCtrlAltN, host.playlist));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    EXPECT_FALSE(GlobalAtomExists("play_hotkey"));
    EXPECT_FALSE(GlobalAtomExists(kInstanceAtom));
    EXPECT_EQ(FindConfigDialog(), nullptr);
    UnregisterHotKey(host.equalizer, 1);
  }
}

// ---- The configuration dialog asked for while its own box is up ----

TEST_F(ReliabilityTest, ConfigWhileExitsErrorBoxIsUpLeavesOneWorkingDialog) {
  install.WriteIni("[Track]\r\nPlayOnStart=0\r\n");
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  plugin.Config();
  HWND first = FindConfigDialog();
  ASSERT_NE(first, nullptr);
  SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_READONLY);
  // The box has no owner and pumps the host's messages: the host asks again,
  // twice, once the first dialog has gone from the screen.
  HWND second = nullptr;
  int openDuringBox = 0;
  ModalScript script({{[first] { return IsWindow(first) ? nullptr : FindMessageBox(); },
                       [&](HWND box) {
                         SetFileAttributesA(install.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
                         plugin.Config();
                         second = FindConfigDialog();
                         plugin.Config();
                         openDuringBox = VisibleConfigDialogs();
                         CloseMessageBox(box);
                       }}});
  SendMessageA(GetDlgItem(first, form1::kExitButton), BM_CLICK, 0, 0);
  PumpMessages(50);
  ASSERT_TRUE(script.AllDone());
  EXPECT_EQ(script.BoxTexts(), std::vector<std::string>{"Unable to write to " + install.IniPath() + "."});
  EXPECT_EQ(openDuringBox, 1);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(FindConfigDialog(), second);
  EXPECT_EQ(VisibleConfigDialogs(), 1);

  // The dialog opened during the box is whole: it changes and writes settings.
  SendMessageA(GetDlgItem(second, form1::kPlayOnStartBox), BM_CLICK, 0, 0);
  SendMessageA(GetDlgItem(second, form1::kExitButton), BM_CLICK, 0, 0);
  PumpMessages(50);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(install.IniValue("Track", "PlayOnStart"), "1");
  // Opening and closing once more, then quit: nothing is freed twice.
  plugin.Config();
  ASSERT_NE(FindConfigDialog(), nullptr);
  SendMessageA(FindConfigDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages(50);
  EXPECT_EQ(FindConfigDialog(), nullptr);
  plugin.Config();
  plugin.Quit();
  EXPECT_EQ(FindConfigDialog(), nullptr);
  EXPECT_EQ(script.BoxTexts().size(), 1u);
}

// The host asks again after the dialog was closed but before its release
// came out of the queue: the request is not lost to the release.
TEST_F(ReliabilityTest, ConfigRightAfterACloseOpensAFreshDialog) {
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  for (const char* way : {"close box", "Exit"}) {
    SCOPED_TRACE(way);
    plugin.Config();
    HWND first = FindConfigDialog();
    ASSERT_NE(first, nullptr);
    if (std::string(way) == "Exit") {
      SendMessageA(GetDlgItem(first, form1::kExitButton), BM_CLICK, 0, 0);
    } else {
      SendMessageA(first, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    plugin.Config();
    PumpMessages(50);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(FindConfigDialog(), nullptr);
    EXPECT_EQ(VisibleConfigDialogs(), 1);
    SendMessageA(FindConfigDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(50);
    EXPECT_EQ(FindConfigDialog(), nullptr);
  }
  plugin.Quit();
}

// ---- The assignment dialog closed while its refusal box is up ----

void MarkRow(HWND dialog, int row) { MarkListRow(GetDlgItem(dialog, form1::kHotkeyList), row, true); }
void DoubleClickRow(HWND dialog, int row) { DoubleClickListRow(GetDlgItem(dialog, form1::kHotkeyList), row); }

struct AssignRefusedCase {
  const char* label;
  int row;
  void (*open)(HWND dialog, int row);
};

TEST_F(ReliabilityTest, ClosingTheAssignDialogWhileItsRefusalBoxIsUpLeavesTheRowUnmarked) {
  const AssignRefusedCase cases[] = {{"unassigned row marked", kPlayRow, MarkRow},
                                     {"assigned row double-clicked", kNextRow, DoubleClickRow}};
  install.WriteIni(HotkeysIni(true, {{"next_hotkey", kCtrlAltN}}));
  LoadedPlugin plugin(host.main);
  ASSERT_EQ(plugin.Init(), 0);
  ASSERT_TRUE(RegisterHotKey(host.equalizer, 1, MOD_CONTROL | MOD_ALT, 'P'));
  for (const AssignRefusedCase& c : cases) {
    SCOPED_TRACE(c.label);
    plugin.Config();
    HWND dialog = FindConfigDialog();
    ASSERT_NE(dialog, nullptr);
    auto assignDialog = [] { return FindVisibleWindow(form2::kClassName); };
    ModalScript script({
        {assignDialog,
         [](HWND form2) {
           auto item = [form2](int id) { return GetDlgItem(form2, id); };
           if (SendMessageA(item(form2::kEnableBox), BM_GETCHECK, 0, 0) != BST_CHECKED)
             SendMessageA(item(form2::kEnableBox), BM_CLICK, 0, 0);
           SendMessageA(item(form2::kAltBox), BM_SETCHECK, BST_CHECKED, 0);
           SendMessageA(item(form2::kCtrlBox), BM_SETCHECK, BST_CHECKED, 0);
           SendMessageA(item(form2::kKeyBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("P"));
           // Posted: the refusal's box must run in the dialog's loop, not inside this step.
           PostMessageA(form2, WM_COMMAND, MAKEWPARAM(form2::kAssignButton, BN_CLICKED),
                        reinterpret_cast<LPARAM>(item(form2::kAssignButton)));
         }},
        WhenMessageBox([assignDialog](HWND box) {
          // The box has no owner: the dialog's close box still answers.
          SendMessageA(assignDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
          CloseMessageBox(box);
        }),
    });
    c.open(dialog, c.row);
    for (int tick = 0; tick < 250 && (!script.AllDone() || assignDialog() != nullptr); ++tick)
      PumpMessages(20);
    EXPECT_TRUE(script.AllDone());
    EXPECT_EQ(assignDialog(), nullptr);
    EXPECT_EQ(script.BoxTexts(), std::vector<std::string>{"Unable to set a hot key."});
    EXPECT_FALSE(HotkeyRowMarked(dialog, c.row));
    // Exit writes what the entry holds: no combination.
    SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
    PumpMessages(50);
    const char* name = klv::kHotkeyActions[c.row].atomName;
    EXPECT_EQ(install.IniValue("HotKeys", name), "0");
  }
  UnregisterHotKey(host.equalizer, 1);
  plugin.Quit();
}

// ---- No room left in the global atom table ----

// Fills the session's global atom table, leaving one free slot.
class FullAtomTable {
 public:
  FullAtomTable() {
    for (int i = 0; i < 0x10000; ++i) {
      const ATOM atom = GlobalAddAtomA(("klv-filler-" + std::to_string(i)).c_str());
      if (atom == 0) {
        full_ = true;
        break;
      }
      atoms_.push_back(atom);
    }
    if (!atoms_.empty()) {
      GlobalDeleteAtom(atoms_.back());
      atoms_.pop_back();
    }
  }
  ~FullAtomTable() { Empty(); }
  FullAtomTable(const FullAtomTable&) = delete;
  FullAtomTable& operator=(const FullAtomTable&) = delete;
  bool Full() const { return full_; }
  void Empty() {
    for (ATOM atom : atoms_) GlobalDeleteAtom(atom);
    atoms_.clear();
  }

 private:
  std::vector<ATOM> atoms_;
  bool full_ = false;
};

TEST_F(ReliabilityTest, WithoutRoomForItsAtomAnEntryRegistersNothingAndKeepsItsCombination) {
  install.WriteIni(HotkeysIni(true, {{"next_hotkey", kCtrlAltN}}));
  MessageBoxWatcher boxes;
  LoadedPlugin plugin(host.main);
  {
    FullAtomTable table;
    ASSERT_TRUE(table.Full());
    // The one free slot goes to the instance marker; the hotkey finds none.
    ASSERT_EQ(plugin.Init(), 0);
    EXPECT_TRUE(GlobalAtomExists(kInstanceAtom));
    EXPECT_FALSE(GlobalAtomExists("next_hotkey"));
    // Not registered under id 0 either, which nothing would answer or release.
    EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
  }
  // The combination is still the entry's: the dialog shows it, and a new
  // registration with room in the table takes it.
  plugin.Config();
  PumpMessages(50);
  HWND dialog = FindConfigDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(HotkeyRowMarked(dialog, kNextRow));
  EXPECT_FALSE(IsFree(kCtrlAltN, host.equalizer));
  EXPECT_TRUE(GlobalAtomExists("next_hotkey"));
  SendMessageA(GetDlgItem(dialog, form1::kExitButton), BM_CLICK, 0, 0);
  PumpMessages(50);
  EXPECT_EQ(install.IniValue("HotKeys", "next_hotkey"), std::to_string(kCtrlAltN));
  plugin.Quit();
  EXPECT_TRUE(IsFree(kCtrlAltN, host.equalizer));
  EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
