// Keys beyond the classic keyboard and the sixteenth action's row (pressed
// through the DLL: dll/media_keys_tests.cpp): the assignment dialog offers all
// 112 names and binds a media key alone, and row sixteen of the hotkey list
// shows without scrolling and is refused as every other row (its marks and
// double clicks: the dialog suite's list rows).
// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"
#include "core/tests/expected_key_box.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "testkit/test_kit.h"
#include "tests/wine/dialog_kit.h"
#include "ui/assign_dialog.h"
#include "ui/config_dialog.h"
#include "ui/config_form_holder.h"

namespace {

constexpr int kStop = 3;
// Packed as the settings file stores them: key code << 16 | modifiers.
constexpr klv::PackedHotkey kMediaPlayPause = 179 << 16;  // 11730944, no modifier
constexpr klv::PackedHotkey kShiftVolumeMute = (173 << 16) | 4;

// ---- The assignment dialog ----

using namespace dialog_kit;

class MediaKeyDialogTest : public DialogTest {};

std::vector<std::string> KeyBoxItems(HWND dialog) {
  HWND keyBox = GetDlgItem(dialog, form2::kKeyBox);
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageA(keyBox, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    if (SendMessageA(keyBox, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof(text)))
      SendMessageA(keyBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

TEST_F(MediaKeyDialogTest, TheKeyBoxHoldsThe112NamesInOrder) {
  std::vector<std::string> items;
  AssignDialogDriver driver({[&](HWND dialog) { items = KeyBoxItems(dialog); }, CloseBox()});
  AssignHotkey(gHotkeyTable[kPlayPause], nullptr);
  std::vector<std::string> expected;
  for (const key_box::NamedKey& key : key_box::ExpectedKeyBox()) expected.push_back(key.name);
  ASSERT_EQ(expected.size(), 112u);
  EXPECT_EQ(items, expected);
}

TEST_F(MediaKeyDialogTest, AssignOfMediaPlayPauseAloneRegisters179WithoutModifiers) {
  bool result = false;
  {
    AssignDialogDriver driver(
        {ClickIn(form2::kEnableBox), PickKey("MediaPlayPause"), ClickIn(form2::kAssignButton)});
    result = AssignHotkey(gHotkeyTable[kPlayPause], nullptr);
    EXPECT_EQ(driver.done, 3u);
  }
  EXPECT_TRUE(result);
  EXPECT_EQ(gSettings.hotkeys[kPlayPause], 11730944);
  EXPECT_EQ(klv::HotkeyModifiers(gSettings.hotkeys[kPlayPause]), 0);
  // The system holds exactly that key without modifiers, and nothing with Ctrl.
  EXPECT_FALSE(IsFree(kMediaPlayPause, host.playlist));
  EXPECT_TRUE(IsFree(kMediaPlayPause | klv::kModCtrl, host.playlist));
  EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(MediaKeyDialogTest, AnEntryHoldingAMediaKeyOpensWithItsName) {
  gSettings.hotkeys[kStop] = kShiftVolumeMute;
  AssignDialogDriver driver({CloseBox()});
  AssignHotkey(gHotkeyTable[kStop], nullptr);
  ASSERT_EQ(driver.snapshots.size(), 1u);
  EXPECT_EQ(driver.snapshots[0].key, "VolumeMute");
  EXPECT_TRUE(driver.snapshots[0].shift);
  EXPECT_FALSE(driver.snapshots[0].ctrl);
  EXPECT_EQ(gSettings.hotkeys[kStop], kShiftVolumeMute);
}

// ---- The last rows of the configuration dialog's hotkey list ----

TEST_F(MediaKeyDialogTest, TheListShowsEveryRowWithoutScrolling) {
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0), 19);
  EXPECT_EQ(RowText(List(), 15), "Play/Pause");
  EXPECT_EQ(RowText(List(), 16), "Rating Up");
  EXPECT_EQ(RowText(List(), 17), "Rating Down");
  EXPECT_EQ(RowText(List(), 18), "Mute");

  RECT client{}, last{};
  GetClientRect(List(), &client);
  last.left = LVIR_BOUNDS;
  SendMessageA(List(), LVM_GETITEMRECT, 18, reinterpret_cast<LPARAM>(&last));
  EXPECT_GE(last.top, 0);
  EXPECT_LE(last.bottom, client.bottom);
  EXPECT_EQ(SendMessageA(List(), LVM_GETTOPINDEX, 0, 0), 0);
  EXPECT_GE(SendMessageA(List(), LVM_GETCOUNTPERPAGE, 0, 0), 19);
  EXPECT_EQ(GetWindowLongA(List(), GWL_STYLE) & WS_VSCROLL, 0);
}

// Another program holds the media key: the row waits for it from the opening, and "Assign" refuses
// it with its one box and leaves the entry unassigned.
TEST_F(MediaKeyDialogTest, RowSixteenWaitsAtOpeningAndIsRefusedOnAssign) {
  ASSERT_TRUE(RegisterHotKey(host.equalizer, 79, 0, 179));
  gSettings.hotkeysEnabled = true;
  gSettings.hotkeys[kPlayPause] = kMediaPlayPause;
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(RowText(List(), 15), "Play/Pause (in use)");

  bool stillOpen = false;
  {
    AssignDialogDriver driver(
        {PickKey("MediaPlayPause"), ClickIn(form2::kAssignButton), ExpectOpen(&stillOpen), CloseBox()});
    DoubleClickListRow(List(), 15);
  }
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(gSettings.hotkeys[kPlayPause], 0);
  EXPECT_FALSE(RowMarked(15));
  EXPECT_EQ(RowText(List(), 15), "Play/Pause");
  EXPECT_TRUE(OneErrorBox(boxes.Seen(), "Unable to set a hot key."));
  UnregisterHotKey(host.equalizer, 79);
}

}  // namespace
