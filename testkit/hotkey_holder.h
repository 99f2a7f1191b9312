// Another process that holds a key combination, as a program the user runs
// beside the player would.
#pragma once

#include <windows.h>

#include <string>

#include "core/hotkeys/hotkey_actions.h"

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
  // Pumps messages until it says it holds the combination (true) or gave up
  // or the time is up (false). Its own word, read from its output: probing the
  // combination meanwhile would take it away from it for a moment.
  bool WaitHeld(DWORD timeoutMs = 10000);

 private:
  bool SaidHeld();

  PROCESS_INFORMATION process_{};
  HANDLE output_ = nullptr;  // the read end of its standard output
  std::string said_;
  bool started_ = false;
};
