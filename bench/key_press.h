// Shared by the benches that press keys (through the kit's PressKeys, as the
// user would): the waits until a window is painted.
#pragma once

#include <windows.h>

#include <cstdio>

#include "bench/bench_support.h"
#include "core/hotkeys/hotkey_actions.h"
#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"
#include "testkit/test_kit.h"

namespace bench {

constexpr double kPressTimeoutMs = 2000;
constexpr int kInfoEntry = 10;  // "Show Song Information": asks the host for title and times only

// Starts the plug-in linked into the bench on host, with the bench's settings
// file in install; the "Show Song Information" combination, 0 (said on
// stderr) when the plug-in did not start with its hotkeys.
inline klv::PackedHotkey StartWithInfoHotkey(TestInstall& install, HWND host) {
  if (!WriteBenchIni(install.IniPath(), true)) {
    std::fprintf(stderr, "cannot write the settings file\n");
    return 0;
  }
  gPlugin.hwndParent = host;
  if (PluginInit() != 0 || gHotkeyTable[kInfoEntry].registration.atom == 0) {
    std::fprintf(stderr, "the plug-in did not start with its hotkeys\n");
    return 0;
  }
  return gSettings.hotkeys[kInfoEntry];
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
