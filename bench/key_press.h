// Shared by the benches that press keys (through the kit's PressKeys, as the
// user would): the waits until a window is painted.
#pragma once

#include <windows.h>

#include "bench/bench_support.h"
#include "core/hotkeys/hotkey_actions.h"
#include "plugin/osd/osd_window.h"
#include "testkit/test_kit.h"

namespace bench {

constexpr double kPressTimeoutMs = 2000;

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
  if (!PressKeys(packed)) return -1;
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
