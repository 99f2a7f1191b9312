#include "tests/wine/plugin_kit.h"

#include "plugin/hotkeys/held_key.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/plugin_state.h"
#include "testkit/test_host.h"

void ResetPluginState(HWND hostMain) {
  ResetGlobalAtoms();
  SetHostMainWindow(hostMain);
  gSettings = klv::Settings{};
  ForgetHeldKeys();  // the key watch too
  for (klv::HotkeyRow& row : gHotkeyTable) row.registration = {};
}

SIZE MeasureInOsdFont(const std::wstring& text, UINT format) {
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(OsdPlatformWindow(), WM_GETFONT, 0, 0));
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  RECT extent{0, 0, GetSystemMetrics(SM_CXSCREEN), 0};
  DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &extent, format | DT_CALCRECT);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return SIZE{extent.right, extent.bottom};
}

SIZE MeasureInOsdFont(const std::string& asciiText, UINT format) {
  return MeasureInOsdFont(std::wstring(asciiText.begin(), asciiText.end()), format);
}

DWORD ManualOsdClock::now_ = 0;

ManualOsdClock::ManualOsdClock(DWORD now) {
  now_ = now;
  SetOsdClock(&Read);
}

ManualOsdClock::~ManualOsdClock() { SetOsdClock(nullptr); }

void ManualOsdClock::Set(DWORD now) { now_ = now; }

DWORD ManualOsdClock::Read() { return now_; }
