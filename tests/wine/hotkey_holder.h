// Another process that holds a key combination, as a program the user runs
// beside the player would.
#pragma once

#include <windows.h>

#include "core/hotkey_actions.h"

// Runs `wintool hold-hotkey` (path in %KLV_WINTOOL%) for a combination until
// the object goes.
class HotkeyHolder {
 public:
  explicit HotkeyHolder(klv::PackedHotkey packed);
  ~HotkeyHolder();
  HotkeyHolder(const HotkeyHolder&) = delete;
  HotkeyHolder& operator=(const HotkeyHolder&) = delete;
  bool Started() const { return started_; }
  // False once it gave up: the combination was taken when it tried.
  bool Running() const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};
