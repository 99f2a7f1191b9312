// The words for a combination another program holds: what the error box says.
#pragma once

#include <string>
#include <vector>

#include "core/hotkeys/hotkey_actions.h"

namespace klv {

// "Ctrl+Alt+P": the modifiers present in the order Ctrl, Alt, Shift, Win,
// then the key as the assignment dialog's key box names it.
std::string CombinationText(PackedHotkey packed);

struct RefusedHotkey {
  int row;  // the action's row
  PackedHotkey packed;
  const HotkeyAction* holder = nullptr;  // the action of ours that holds it; null: another program
};

// "Unable to set a hot key.", then one line per refused action:
// "Play: Ctrl+Alt+P is in use by another program." or, held by one of ours,
// "Next: Ctrl+Alt+P is already used by Play."
std::string RefusalText(const std::vector<RefusedHotkey>& refused);

}  // namespace klv
