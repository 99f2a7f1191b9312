// Shared by the benches that press keys: a hotkey's combination pressed
// through SendInput as the user would, and the waits until a window is painted.
#pragma once

#include <windows.h>

#include <vector>

#include "bench/bench_support.h"
#include "core/hotkeys/hotkey_actions.h"
#include "plugin/osd/osd_window.h"

namespace bench {

constexpr double kPressTimeoutMs = 2000;

inline INPUT KeyEvent(WORD virtualKey, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

// Presses the entry's combination as the user would; false if the system took none of it.
inline bool Press(klv::PackedHotkey packed) {
  std::vector<WORD> modifiers;
  const uint16_t mods = klv::HotkeyModifiers(packed);
  if (mods & klv::kModCtrl) modifiers.push_back(VK_CONTROL);
  if (mods & klv::kModAlt) modifiers.push_back(VK_MENU);
  if (mods & klv::kModShift) modifiers.push_back(VK_SHIFT);
  if (mods & klv::kModWin) modifiers.push_back(VK_LWIN);
  std::vector<INPUT> inputs;
  for (WORD key : modifiers) inputs.push_back(KeyEvent(key, true));
  inputs.push_back(KeyEvent(klv::HotkeyKeyCode(packed), true));
  inputs.push_back(KeyEvent(klv::HotkeyKeyCode(packed), false));
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyEvent(*it, false));
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

inline bool Painted(HWND window) {
  return window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

// Presses `packed` and dispatches this thread's messages until the window that
// `shown` names is up and painted; -1 on timeout.
template <typename Shown>
double PressUntilPainted(klv::PackedHotkey packed, Shown shown) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  LARGE_INTEGER start = Now();
  if (!Press(packed)) return -1;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    } else if (Painted(shown())) {
      return Milliseconds(start, Now());
    } else if (Milliseconds(start, Now()) > kPressTimeoutMs) {
      return -1;
    }
  }
}

// Dispatches until grown() holds and the OSD is painted; ms since start, -1 on timeout.
template <typename Grown>
double PressUntilPaintedAgain(Grown grown, LARGE_INTEGER start) {
  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&msg);
    } else if (grown() && Painted(OsdPlatformWindow())) {
      return Milliseconds(start, Now());
    } else if (Milliseconds(start, Now()) > kPressTimeoutMs) {
      return -1;
    }
  }
}

}  // namespace bench
