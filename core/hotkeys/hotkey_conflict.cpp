#include "core/hotkeys/hotkey_conflict.h"

#include "core/hotkeys/key_names.h"

namespace klv {

std::string CombinationText(PackedHotkey packed) {
  const uint16_t modifiers = HotkeyModifiers(packed);
  std::string text;
  if (modifiers & kModCtrl) text += "Ctrl+";
  if (modifiers & kModAlt) text += "Alt+";
  if (modifiers & kModShift) text += "Shift+";
  if (modifiers & kModWin) text += "Win+";
  const int code = HotkeyKeyCode(packed);
  const std::string name = KeyCodeToName(code);
  // A hand-edited file can hold a code the key box does not list.
  return text + (name.empty() ? "key " + std::to_string(code) : name);
}

std::string RefusalText(const std::vector<RefusedHotkey>& refused) {
  std::string text = "Unable to set a hot key.";
  for (const RefusedHotkey& r : refused) {
    text += "\n";
    text += kHotkeyActions[r.row].caption;
    text += ": " + CombinationText(r.packed);
    text += r.holder != nullptr ? std::string(" is already used by ") + r.holder->caption + "."
                                : std::string(" is in use by another program.");
  }
  return text;
}

}  // namespace klv
