#include "core/hotkeys/hotkey_conflict.h"

#include <gtest/gtest.h>

namespace klv {
namespace {

struct CombinationCase {
  PackedHotkey packed;
  const char* text;
};

const CombinationCase kCombinations[] = {
    {5242883, "Ctrl+Alt+P"},     {8060936, "Win+F12"},         {1769487, "Ctrl+Alt+Shift+Win+Esc"},
    {6619140, "Shift+NumPad 5"}, {11730944, "MediaPlayPause"}, {16711682, "Ctrl+key 255"},
};

TEST(HotkeyConflict, NamesModifiersInOrderThenTheKeyBoxName) {
  for (const CombinationCase& c : kCombinations) EXPECT_EQ(CombinationText(c.packed), c.text) << c.packed;
}

TEST(HotkeyConflict, OneLinePerRefusedActionUnderTheFirst) {
  EXPECT_EQ(RefusalText({{1, 5242883}, {13, 8060936}}),
            "Unable to set a hot key.\nPlay: Ctrl+Alt+P is in use by another program.\n"
            "Shuffle Mode On/Off: Win+F12 is in use by another program.");
  EXPECT_EQ(RefusalText({{4, 5242883, &kHotkeyActions[1]}}),
            "Unable to set a hot key.\nNext: Ctrl+Alt+P is already used by Play.");
}

}  // namespace
}  // namespace klv
