#include "core/hotkeys/hotkey_actions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace klv {
namespace {

struct PackCase {
  const char* label;
  uint16_t keyCode;
  bool alt, ctrl, shift, win;
  PackedHotkey packed;
  uint16_t modifiers;
};

const PackCase kPackCases[] = {
    {"Ctrl+Alt+P", 80, true, true, false, false, 5242883, 3},
    {"Win+F12", 123, false, false, false, true, 8060936, 8},
    {"Alt+0", 48, true, false, false, false, 3145729, 1},
    {"Shift+NumPad 5", 101, false, false, true, false, 6619140, 4},
    {"all modifiers + Esc", 27, true, true, true, true, 1769487, 15},
    {"bare ScrollLock", 145, false, false, false, false, 9502720, 0},
    {"Shift with no key", 0, false, false, true, false, 4, 4},
    {"key code with the top bit", 0xFFFF, false, true, false, false, static_cast<PackedHotkey>(0xFFFF0002u),
     2},
};

TEST(PackedHotkey, PacksKeyInHighWordAndModifiersInLowWordAndSplitsBack) {
  for (const PackCase& c : kPackCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(PackHotkey(c.keyCode, c.alt, c.ctrl, c.shift, c.win), c.packed);
    EXPECT_EQ(HotkeyKeyCode(c.packed), c.keyCode);
    EXPECT_EQ(HotkeyModifiers(c.packed), c.modifiers);
    EXPECT_EQ((HotkeyModifiers(c.packed) & kModAlt) != 0, c.alt);
    EXPECT_EQ((HotkeyModifiers(c.packed) & kModCtrl) != 0, c.ctrl);
    EXPECT_EQ((HotkeyModifiers(c.packed) & kModShift) != 0, c.shift);
    EXPECT_EQ((HotkeyModifiers(c.packed) & kModWin) != 0, c.win);
  }
}

TEST(HotkeyActions, AtomNamesAreUniqueAndNonEmpty) {
  std::set<std::string> names;
  for (const HotkeyAction& action : kHotkeyActions) {
    ASSERT_NE(action.atomName, nullptr);
    EXPECT_FALSE(std::string(action.atomName).empty());
    EXPECT_TRUE(names.insert(action.atomName).second) << action.atomName;
  }
}

TEST(HotkeyActions, OnlyCommandRowsCarryACommand) {
  for (int row = 0; row < kHotkeyCount; ++row) {
    SCOPED_TRACE(row);
    const HotkeyAction& action = kHotkeyActions[row];
    EXPECT_EQ(action.step == HostStep::kCommand, action.command != 0);
  }
  EXPECT_EQ(kHotkeyActions[9].step, HostStep::kToggleMainWindow);
  EXPECT_EQ(kHotkeyActions[10].step, HostStep::kNone);
}

// One step within 0..5; an answer that is no rating sets nothing.
TEST(Rating, StepsOneWithinZeroToFive) {
  const std::tuple<int32_t, int, int32_t> cases[] = {{0, +1, 1},   {4, +1, 5},         {5, +1, 5},
                                                     {0, -1, 0},   {5, -1, 4},         {6, +1, -1},
                                                     {-1, -1, -1}, {INT32_MAX, +1, -1}};
  for (const auto& [current, step, expected] : cases)
    EXPECT_EQ(SteppedRating(current, step), expected) << current;
  EXPECT_EQ(kHotkeyActions[16].ratingStep, +1);
  EXPECT_EQ(kHotkeyActions[17].ratingStep, -1);
}

TEST(PlayPause, PausesWhatPlaysOrIsPausedAndAnnouncesWhatFollows) {
  struct Case {
    int32_t state;
    uint32_t command;
    int osdRow;  // the row whose text announces it: 2 Pause (stopped), 1 Play (resumed or started)
  };
  const Case cases[] = {
      {1, 40046, 2},  {3, 40046, 1}, {0, 40045, 1},         {2, 40045, 1},
      {-1, 40045, 1}, {4, 40045, 1}, {INT32_MIN, 40045, 1}, {65537, 40045, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    const PlayPauseChoice choice = ChoosePlayPause(c.state);
    EXPECT_EQ(choice.command, c.command);
    EXPECT_EQ(choice.osdRow, c.osdRow);
  }
}

}  // namespace
}  // namespace klv
