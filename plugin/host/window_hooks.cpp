// Replacement window procedures on the host's three windows: the plug-in's
// run-time work happens here, then every message goes on to the host.
#include "plugin/host/window_hooks.h"

#include <utility>

#include "core/host_codes.h"
#include "plugin/host/host.h"
#include "plugin/host/transparency.h"
#include "plugin/hotkeys/held_key.h"
#include "plugin/hotkeys/hotkey_press.h"
#include "plugin/hotkeys/hotkey_registration.h"
#include "plugin/osd/osd_window.h"
#include "plugin/osd/player_change_osd.h"
#include "plugin/osd/track_change_osd.h"
#include "plugin/plugin_state.h"
#include "win32/module_hold.h"

namespace {

struct HookSlot {
  HWND window = nullptr;    // null while this hook is in no window's chain
  WNDPROC saved = nullptr;  // the procedure the hook chains to
  // The window's kind at hook time. A Unicode window hooked through the 8-bit
  // calls turns 8-bit: every text message would then pass the code page.
  bool wide = false;
};

enum Slot { kMainSlot, kPlaylistSlot, kEqualizerSlot, kSlotCount };

HookSlot gSlots[kSlotCount];
const WNDPROC kHooks[kSlotCount] = {&MainWindowHook, &PlaylistWindowHook, &EqualizerWindowHook};

// Set once the library had to stay loaded because another module subclassed a
// host window after us: the hooks then only chain.
bool gPassThrough = false;

// Asked with the other kind, the system answers a stand-in handle, never our hook.
WNDPROC CurrentProcedure(HWND window, bool wide) {
  return reinterpret_cast<WNDPROC>(wide ? GetWindowLongW(window, GWL_WNDPROC)
                                        : GetWindowLongA(window, GWL_WNDPROC));
}

void SetProcedure(HWND window, bool wide, WNDPROC procedure) {
  const auto value = reinterpret_cast<LONG>(procedure);
  if (wide) {
    SetWindowLongW(window, GWL_WNDPROC, value);
  } else {
    SetWindowLongA(window, GWL_WNDPROC, value);
  }
}

void Install(Slot slot, HWND window) {
  if (window == nullptr) return;
  HookSlot& hook = gSlots[slot];
  // Still in this window's chain from an earlier run (under another module's
  // subclass): saving again would make the chain call itself.
  if (hook.window == window && IsWindow(window)) return;
  const bool wide = IsWindowUnicode(window) != FALSE;
  const WNDPROC current = CurrentProcedure(window, wide);
  if (current == kHooks[slot]) return;
  hook = HookSlot{window, current, wide};
  SetProcedure(window, wide, kHooks[slot]);
}

// True when the hook is out of the window's chain afterwards.
bool Remove(Slot slot) {
  HookSlot& hook = gSlots[slot];
  if (hook.window == nullptr) return true;
  if (!IsWindow(hook.window)) {
    hook = HookSlot{};
    return true;
  }
  if (CurrentProcedure(hook.window, hook.wide) != kHooks[slot]) return false;
  SetProcedure(hook.window, hook.wide, hook.saved);
  hook = HookSlot{};
  return true;
}

LRESULT Chain(const HookSlot& hook, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hook.saved == nullptr) {
    return hook.wide ? DefWindowProcW(window, message, wParam, lParam)
                     : DefWindowProcA(window, message, wParam, lParam);
  }
  return hook.wide ? CallWindowProcW(hook.saved, window, message, wParam, lParam)
                   : CallWindowProcA(hook.saved, window, message, wParam, lParam);
}

// After a switch of skin the playlist may be a window of its own again, or
// the equalizer a new one: whatever is gone leaves its slot, whatever has
// none is hooked now. A window still hooked keeps its slot, child or not.
void HookSideWindowsAgain() {
  const std::pair<Slot, const char*> sides[] = {{kPlaylistSlot, klv::kPlaylistWindowClass},
                                                {kEqualizerSlot, klv::kEqualizerWindowClass}};
  for (const auto& [slot, className] : sides) {
    if (gSlots[slot].window != nullptr && !IsWindow(gSlots[slot].window)) gSlots[slot] = HookSlot{};
    if (gSlots[slot].window == nullptr) Install(slot, FindHostWindow(className));
  }
}

SkinChangeListener gSkinChangeListener = nullptr;

void FollowSkinChange() {
  HookSideWindowsAgain();
  ApplyTransparency();
  if (gSkinChangeListener != nullptr) gSkinChangeListener();
}

void OnMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    ApplyActivationAlpha(window, klv::HostWindow::kMain, LOWORD(wParam));
  } else if (message == WM_HOTKEY) {
    OnHotkeyMessage(wParam, static_cast<DWORD>(GetMessageTime()));
  } else if (message == WM_DISPLAYCHANGE) {
    ForgetOsdScreen();
  } else if (message == WM_POWERBROADCAST) {
    RetryWaitingHotkeysOnResume(wParam);
  } else if (message == WM_USER && lParam == klv::kHostSkinChanged) {
    FollowSkinChange();
  } else if (message == WM_USER && lParam == klv::kHostChanged) {
    OnPlayerChangeNotice(wParam, lParam);
  } else if (message == WM_USER) {
    OnHostNotification(wParam, lParam);
  }
  CheckOsdExpiry();
  // The host's answers to our own requests come back through this hook as
  // WM_USER; not polling on them ends the recursion.
  if (message != WM_USER) {
    const intptr_t position = HostRequest(klv::kHostPosition, 0);
    if (position >= 0) gSettings.playbackPosition = static_cast<int32_t>(position);
  }
}

LRESULT SideWindowHook(Slot slot, klv::HostWindow which, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam) noexcept {
  const CallInProgress call;
  const HookSlot hook = gSlots[slot];
  try {
    if (!gPassThrough && message == WM_ACTIVATE) ApplyActivationAlpha(window, which, LOWORD(wParam));
  } catch (...) {
  }
  return Chain(hook, window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  // Taken before acting: a quit run from inside the action takes the hook out
  // and clears the slot, yet this message still belongs to the host.
  const CallInProgress call;
  const HookSlot hook = gSlots[kMainSlot];
  try {
    // Our own: the host never sees it.
    if (TakeKeyWatchMarker(message, wParam, lParam)) return 0;
    if (!gPassThrough) OnMainWindowMessage(window, message, wParam, lParam);
  } catch (...) {
  }
  return Chain(hook, window, message, wParam, lParam);
}

LRESULT CALLBACK PlaylistWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return SideWindowHook(kPlaylistSlot, klv::HostWindow::kPlaylist, window, message, wParam, lParam);
}

LRESULT CALLBACK EqualizerWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return SideWindowHook(kEqualizerSlot, klv::HostWindow::kEqualizer, window, message, wParam, lParam);
}

void InstallWindowHooks() {
  Install(kMainSlot, HostMainWindow());
  Install(kPlaylistSlot, FindHostWindow(klv::kPlaylistWindowClass));
  Install(kEqualizerSlot, FindHostWindow(klv::kEqualizerWindowClass));
  gPassThrough = false;
}

void SetSkinChangeListener(SkinChangeListener listener) { gSkinChangeListener = listener; }

bool RemoveWindowHooks() {
  bool allRemoved = true;
  for (int slot = 0; slot < kSlotCount; ++slot) allRemoved = Remove(static_cast<Slot>(slot)) && allRemoved;
  if (!allRemoved) gPassThrough = true;
  return allRemoved;
}
