// The hotkey assignment dialog driven through its real controls. It is modal
// and runs its loop in this thread, so a timer drives it step by step.
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "tests/wine/dialog_kit.h"
#include "ui/assign_dialog.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"
#include "ui/form_layout.h"

namespace {

using namespace dialog_kit;

class AssignDialogTest : public DialogTest {};

TEST_F(AssignDialogTest, TheFormHasItsCaptionClientSizeAndNoTaskbarButton) {
  AssignDialogDriver driver({[](HWND form2) {
                               RECT rect{};
                               GetClientRect(form2, &rect);
                               EXPECT_EQ(rect.right, ScaleForDpi(427));
                               EXPECT_EQ(rect.bottom, ScaleForDpi(37));
                               EXPECT_NE(GetWindowLongA(form2, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
                             },
                             CloseBox()});
  AssignHotkey(gHotkeyTable[kNext], nullptr);
  ASSERT_EQ(driver.snapshots.size(), 1u);
  EXPECT_EQ(
      driver.snapshots[0].caption,
      L"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430 \u0433\u043e\u0440\u044f\u0447\u0435\u0439 "
      L"\u043a\u043b\u0430\u0432\u0438\u0448\u0438");
}

TEST_F(AssignDialogTest, TabInTheAssignmentDialogFollowsItsTabOrder) {
  gSettings.hotkeys[kNext] = kCtrlAltP;
  std::vector<int> visited;
  std::vector<AssignDialogDriver::Step> steps;
  steps.push_back([&](HWND d) { visited.push_back(FocusedControl(d)); });
  for (int i = 0; i < 7; ++i) {
    steps.push_back([](HWND d) { PressTab(d); });
    steps.push_back([&](HWND d) { visited.push_back(FocusedControl(d)); });
  }
  steps.push_back(CloseBox());
  AssignDialogDriver driver(steps);
  AssignHotkey(gHotkeyTable[kNext], nullptr);
  EXPECT_EQ(visited,
            std::vector<int>({form2::kAltBox, form2::kCtrlBox, form2::kShiftBox, form2::kWinBox,
                              form2::kKeyBox, form2::kEnableBox, form2::kAssignButton, form2::kAltBox}));
}

TEST_F(AssignDialogTest, TheAssignmentDialogShowsTheEntry) {
  struct Case {
    klv::PackedHotkey packed;
    AssignDialogDriver::Snapshot expected;
  } const cases[] = {
      {kCtrlAltP, {true, true, true, false, false, true, true, true, true, "P", L""}},
      {0, {false, false, false, false, false, false, false, true, true, "", L""}},
      {klv::PackHotkey(VK_F12, false, false, true, true),
       {true, false, false, true, true, true, true, true, true, "F12", L""}},
  };
  for (const Case& c : cases) {
    gSettings.hotkeys[kNext] = c.packed;
    AssignDialogDriver driver({CloseBox()});
    AssignHotkey(gHotkeyTable[kNext], nullptr);
    ASSERT_EQ(driver.snapshots.size(), 1u);
    const auto& s = driver.snapshots[0];
    const auto& e = c.expected;
    EXPECT_EQ(std::vector<bool>({s.enable, s.alt, s.ctrl, s.shift, s.win}),
              std::vector<bool>({e.enable, e.alt, e.ctrl, e.shift, e.win}))
        << c.packed;
    EXPECT_EQ(std::vector<bool>({s.altEnabled, s.keyEnabled, s.enableEnabled, s.assignEnabled}),
              std::vector<bool>({e.altEnabled, e.keyEnabled, e.enableEnabled, e.assignEnabled}))
        << c.packed;
    EXPECT_EQ(s.key, e.key);
    EXPECT_EQ(gSettings.hotkeys[kNext], c.packed);  // the close box changes nothing
  }
}

TEST_F(AssignDialogTest, EnableSwitchesTheOtherControlsAndKeepsTheirContents) {
  gSettings.hotkeys[kNext] = kCtrlAltP;
  bool altEnabledAfterOff = true, altCheckedAfterOff = false, altEnabledAfterOn = false;
  std::string keyAfterOff;
  AssignDialogDriver driver(
      {ClickIn(form2::kEnableBox),
       [&](HWND d) {
         altEnabledAfterOff = IsWindowEnabled(GetDlgItem(d, form2::kAltBox)) != FALSE;
         altCheckedAfterOff = IsChecked(GetDlgItem(d, form2::kAltBox));
         keyAfterOff = WindowTextOf(GetDlgItem(d, form2::kKeyBox));
       },
       ClickIn(form2::kEnableBox),
       [&](HWND d) { altEnabledAfterOn = IsWindowEnabled(GetDlgItem(d, form2::kKeyBox)) != FALSE; },
       CloseBox()});
  AssignHotkey(gHotkeyTable[kNext], nullptr);
  EXPECT_FALSE(altEnabledAfterOff);
  EXPECT_TRUE(altCheckedAfterOff);
  EXPECT_EQ(keyAfterOff, "P");
  EXPECT_TRUE(altEnabledAfterOn);
}

TEST_F(AssignDialogTest, ACharacterTypedOnEnableAppliesItsState) {
  bool keyEnabled = false;
  AssignDialogDriver driver(
      {[](HWND d) {
         // The mark changed without a click: only the key press reacts to it.
         SendMessageA(GetDlgItem(d, form2::kEnableBox), BM_SETCHECK, BST_CHECKED, 0);
         SendMessageA(GetDlgItem(d, form2::kEnableBox), WM_CHAR, 'x', 1);
       },
       [&](HWND d) { keyEnabled = IsWindowEnabled(GetDlgItem(d, form2::kKeyBox)) != FALSE; }, CloseBox()});
  AssignHotkey(gHotkeyTable[kNext], nullptr);
  EXPECT_TRUE(keyEnabled);
  EXPECT_EQ(gSettings.hotkeys[kNext], 0);
}

TEST_F(AssignDialogTest, AssignWithWinAndF12StoresAndRegistersIt) {
  bool result = false;
  {
    AssignDialogDriver driver(
        {ClickIn(form2::kEnableBox), ClickIn(form2::kWinBox), PickKey("F12"), ClickIn(form2::kAssignButton)});
    result = AssignHotkey(gHotkeyTable[kNext], nullptr);
    EXPECT_EQ(driver.done, 4u);
  }
  EXPECT_TRUE(result);
  EXPECT_EQ(gSettings.hotkeys[kNext], 8060936);
  EXPECT_FALSE(IsFree(8060936, host.playlist));
}

TEST_F(AssignDialogTest, AssignReleasesTheEntrysOldCombination) {
  Register(kNext, kCtrlAltP);
  AssignDialogDriver driver({TypeKey("Q"), ClickIn(form2::kAssignButton)});
  EXPECT_TRUE(AssignHotkey(gHotkeyTable[kNext], nullptr));
  EXPECT_EQ(gSettings.hotkeys[kNext], klv::PackHotkey('Q', true, true, false, false));
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_FALSE(IsFree(gSettings.hotkeys[kNext], host.playlist));
}

TEST_F(AssignDialogTest, AssignWithAnEmptyKeyBoxDoesNothing) {
  bool stillOpen = false;
  AssignDialogDriver driver({ClickIn(form2::kEnableBox), ClickIn(form2::kCtrlBox),
                             ClickIn(form2::kAssignButton), ExpectOpen(&stillOpen), CloseBox()});
  EXPECT_FALSE(AssignHotkey(gHotkeyTable[kNext], nullptr));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(gSettings.hotkeys[kNext], 0);
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(AssignDialogTest, AssignWithEnableOffClearsTheEntryAndItsMark) {
  gSettings.hotkeysEnabled = true;
  Register(kNext, kCtrlAltP);
  ASSERT_NE(Open(), nullptr);
  AssignDialogDriver driver({ClickIn(form2::kEnableBox), ClickIn(form2::kAssignButton)});
  DoubleClickListRow(List(), kNext);
  EXPECT_EQ(gSettings.hotkeys[kNext], 0);
  EXPECT_TRUE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_FALSE(RowMarked(kNext));
}

TEST_F(AssignDialogTest, ARefusedCombinationKeepsTheDialogOpen) {
  ASSERT_TRUE(RegisterHotKey(host.equalizer, 78, klv::HotkeyModifiers(kCtrlAltF9), VK_F9));
  bool stillOpen = false;
  AssignDialogDriver driver({ClickIn(form2::kEnableBox), ClickIn(form2::kAltBox), ClickIn(form2::kCtrlBox),
                             PickKey("F9"), ClickIn(form2::kAssignButton), ExpectOpen(&stillOpen),
                             CloseBox()});
  EXPECT_FALSE(AssignHotkey(gHotkeyTable[kNext], nullptr));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(gSettings.hotkeys[kNext], 0);
  EXPECT_TRUE(OneErrorBox(boxes.Seen(), "Unable to set a hot key."));
  UnregisterHotKey(host.equalizer, 78);
}

TEST_F(AssignDialogTest, AnUnknownKeyNameIsNotAssigned) {
  Register(kNext, kCtrlAltP);
  bool stillOpen = false;
  AssignDialogDriver driver(
      {TypeKey("Foo"), ClickIn(form2::kAssignButton), ExpectOpen(&stillOpen), CloseBox()});
  EXPECT_TRUE(AssignHotkey(gHotkeyTable[kNext], nullptr));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(gSettings.hotkeys[kNext], kCtrlAltP);
  EXPECT_FALSE(IsFree(kCtrlAltP, host.playlist));
  EXPECT_TRUE(OneErrorBox(boxes.Seen(), "Unknown key: Foo"));
}

}  // namespace
