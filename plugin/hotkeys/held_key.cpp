#include "plugin/hotkeys/held_key.h"

#include <versionhelpers.h>

#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"

namespace {

// Often enough to see a key go up before a person can press it again.
constexpr UINT kWatchMs = 15;
// Wine answers a key read as up from a short-lived cache, so a read soon after
// the key went down may still say up.
constexpr DWORD kTrustedReadMs = 100;

UINT_PTR gWatch = 0;  // the thread timer that looks for keys going up

// Windows 7 on drops the repeats of a MOD_NOREPEAT registration itself; Wine
// takes the flag, passes itself off as a later Windows, and repeats anyway.
bool SystemDropsRepeats() {
  return IsWindows7OrGreater() &&
         GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

// Read at each press: the user may change them at any time.
klv::RepeatSchedule SystemSchedule() {
  UINT delay = 1;
  DWORD speed = 31;
  SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
  SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
  return klv::RepeatScheduleFrom(delay, speed);
}

void StopWatch() {
  if (gWatch != 0) KillTimer(nullptr, gWatch);
  gWatch = 0;
}

// A thread timer: it runs in whichever loop the host thread pumps. The time a
// key is seen up orders it with the messages sent before and after.
void CALLBACK WatchHeldKeys(HWND, UINT, UINT_PTR, DWORD) noexcept {
  const DWORD now = GetTickCount();
  bool watching = false;
  for (klv::HotkeyRow& row : gHotkeyTable) {
    if (!row.held.Watched()) continue;
    const bool down = (GetAsyncKeyState(klv::HotkeyKeyCode(RowCombination(row))) & 0x8000) != 0;
    if (!down && now - row.held.PressTime() >= kTrustedReadMs) {
      row.held.SeenUp(now);
    } else {
      watching = true;
    }
  }
  if (!watching) StopWatch();
}

}  // namespace

bool IsHeldRepeat(klv::HotkeyRow& row, DWORD time) {
  if (SystemDropsRepeats()) return false;
  if (row.held.IsRepeat(time, SystemSchedule())) return true;
  // Unwatched, the times alone decide.
  if (gWatch == 0) gWatch = SetTimer(nullptr, 0, kWatchMs, WatchHeldKeys);
  return false;
}

void ForgetHeldKeys() {
  StopWatch();
  for (klv::HotkeyRow& row : gHotkeyTable) row.held.Forget();
}
