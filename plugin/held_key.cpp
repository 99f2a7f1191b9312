#include "plugin/held_key.h"

namespace {

// Often enough to see the key go up before a person can press it again.
constexpr UINT kWatchMs = 15;

WPARAM gHeldId = 0;  // 0 while no key is held
int gHeldKey = 0;
UINT_PTR gWatch = 0;  // the thread timer that looks for the key going up

bool IsDown(int keyCode) { return (GetAsyncKeyState(keyCode) & 0x8000) != 0; }

// A thread timer: it runs in whichever loop the host thread pumps, and a
// queued repeat is always handled before it (timers come last).
void CALLBACK WatchHeldKey(HWND, UINT, UINT_PTR, DWORD) noexcept {
  if (!IsDown(gHeldKey)) ForgetHeldKey();
}

}  // namespace

bool IsHeldRepeat(WPARAM id) { return gHeldId != 0 && id == gHeldId; }

void NotePress(WPARAM id, uint16_t keyCode) {
  // Already up (the press came and went before we saw it): nothing to hold
  // back, and a press that follows is a new one.
  if (keyCode == 0 || !IsDown(keyCode)) return;
  gHeldId = id;
  gHeldKey = keyCode;
  if (gWatch == 0) gWatch = SetTimer(nullptr, 0, kWatchMs, WatchHeldKey);
  // Unwatched, the key would never be let go: rather repeat than go dead.
  if (gWatch == 0) gHeldId = 0;
}

void ForgetHeldKey() {
  if (gWatch != 0) KillTimer(nullptr, gWatch);
  gWatch = 0;
  gHeldId = 0;
  gHeldKey = 0;
}
