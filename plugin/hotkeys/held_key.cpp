#include "plugin/hotkeys/held_key.h"

#include <versionhelpers.h>

#include <array>
#include <new>

#include "core/hotkeys/key_repeat.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/plugin_state.h"
#include "win32/module_thread.h"

namespace {

// Often enough that a key cannot go up and down again between two reads.
constexpr DWORD kReadEveryMs = 5;

// Shared by the host thread and the watches, under the lock. Both are plain
// constant-initialised globals: the watches reach no function-local static.
SRWLOCK gLock = SRWLOCK_INIT;
std::array<klv::HeldKey, klv::kHotkeyCount> gHeld;  // by row position
// The marker a watch posts to the host's main window, registered at the first
// watch on the host thread; a watch gets it by value.
UINT gMarkerMessage = 0;
// The host thread's handles of the watches started, ended or not: a quit waits
// for them, so that an unload right after it finds the library free.
std::array<HANDLE, 2 * klv::kHotkeyCount> gWatchThreads{};

class Locked {
 public:
  Locked() { AcquireSRWLockExclusive(&gLock); }
  ~Locked() { ReleaseSRWLockExclusive(&gLock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

struct WatchOrder {
  int position;
  uint32_t id;
  int key;
  std::array<int, 4> modifierKeys;  // 0 where the combination has none
  HWND host;
  UINT marker;
};

// Wine answers a read of a key its thread last saw up from that thread's cache
// for up to 50 ms, so a short tap could pass between two reads unseen. A read
// of a key that is down asks the server and refreshes the cache for every key:
// the combination's modifiers, which a user tapping it tends to keep down, are
// read first.
bool KeyDown(const WatchOrder& order) {
  for (int modifier : order.modifierKeys) {
    if (modifier != 0) GetAsyncKeyState(modifier);
  }
  return (GetAsyncKeyState(order.key) & 0x8000) != 0;
}

// Windows 7 on drops the repeats of a MOD_NOREPEAT registration itself; Wine
// takes the flag, passes itself off as a later Windows, and repeats anyway.
bool SystemDropsRepeats() {
  return IsWindows7OrGreater() &&
         GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

// One read of the watched key; true when the watch is over.
bool ReadWatchedKey(const WatchOrder& order) {
  const bool down = KeyDown(order);
  klv::WatchStep step;
  {
    const Locked lock;
    step = gHeld[order.position].OnRead(order.id, GetTickCount(), down);
  }
  // Posted, it queues behind every hotkey message sent so far.
  if (step.postMarker && !PostMessageW(order.host, order.marker, order.position, order.id)) {
    // The host's window is gone: nothing is left to judge.
    const Locked lock;
    gHeld[order.position].OnMarker(order.id);
  }
  return step.stop;
}

// On a thread of its own, which holds the module until its last instruction.
void WatchKey(void* context) {
  const WatchOrder order = *static_cast<WatchOrder*>(context);
  delete static_cast<WatchOrder*>(context);
  while (!ReadWatchedKey(order)) Sleep(kReadEveryMs);
}

// A slot for a new watch's handle, the ended watches' handles closed; null
// when every slot holds a watch still running.
HANDLE* FreeWatchSlot() {
  HANDLE* free = nullptr;
  for (HANDLE& thread : gWatchThreads) {
    if (thread != nullptr && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
      CloseHandle(thread);
      thread = nullptr;
    }
    if (thread == nullptr && free == nullptr) free = &thread;
  }
  return free;
}

bool StartWatch(const klv::HotkeyRow& row, uint32_t id) {
  if (gMarkerMessage == 0) gMarkerMessage = RegisterWindowMessageW(L"gen_klv key watch marker");
  HWND host = HostMainWindow();
  if (gMarkerMessage == 0 || host == nullptr) return false;
  const klv::PackedHotkey combination = RowCombination(row);
  const uint16_t modifiers = klv::HotkeyModifiers(combination);
  auto modifierKey = [modifiers](uint16_t flag, int key) { return (modifiers & flag) != 0 ? key : 0; };
  const std::array<int, 4> modifierKeys = {
      modifierKey(klv::kModAlt, VK_MENU), modifierKey(klv::kModCtrl, VK_CONTROL),
      modifierKey(klv::kModShift, VK_SHIFT), modifierKey(klv::kModWin, VK_LWIN)};
  const WatchOrder first{row.position, id,   klv::HotkeyKeyCode(combination),
                         modifierKeys, host, gMarkerMessage};
  // Every press closes the handles of the watches ended since, also one that
  // needs no watch of its own: none is kept longer than to the next press.
  HANDLE* slot = FreeWatchSlot();
  // The first read here: a key already up by the time the host takes its
  // press (a tap, a message another program sent) needs no thread at all.
  if (ReadWatchedKey(first)) return true;
  auto* order = new (std::nothrow) WatchOrder(first);
  if (order == nullptr) return false;
  if (slot != nullptr && StartModuleThread(WatchKey, order, slot)) return true;
  delete order;
  return false;
}

}  // namespace

bool IsHeldRepeat(const klv::HotkeyRow& row, DWORD time) {
  if (SystemDropsRepeats()) return false;
  klv::HeldKey::Verdict verdict;
  uint32_t watch = 0;
  {
    const Locked lock;
    verdict = gHeld[row.position].OnMessage(time);
    watch = gHeld[row.position].WatchId();
  }
  if (verdict.startWatch && !StartWatch(row, watch)) {
    const Locked lock;
    gHeld[row.position].WatchFailed();
  }
  return verdict.repeat;
}

bool TakeKeyWatchMarker(UINT message, WPARAM wParam, LPARAM lParam) {
  if (gMarkerMessage == 0 || message != gMarkerMessage) return false;
  if (wParam < gHeld.size()) {
    const Locked lock;
    gHeld[wParam].OnMarker(static_cast<uint32_t>(lParam));
  }
  return true;
}

void ForgetHeldKeys() {
  {
    const Locked lock;
    for (klv::HeldKey& held : gHeld) held.Forget();
  }
  // Each ends at its next read, within a few milliseconds; more only on a
  // machine too busy to run it. One that has not ended still holds the
  // library, so the wait is bounded.
  constexpr DWORD kWatchEndMs = 500;
  const DWORD start = GetTickCount();
  for (HANDLE& thread : gWatchThreads) {
    if (thread == nullptr) continue;
    const DWORD waited = GetTickCount() - start;
    WaitForSingleObject(thread, waited < kWatchEndMs ? kWatchEndMs - waited : 0);
    CloseHandle(thread);
    thread = nullptr;
  }
}
