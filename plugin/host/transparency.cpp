// Layered style and constant alpha on the host's three windows.
#include "plugin/host/transparency.h"

#include "plugin/host/host.h"
#include "plugin/plugin_state.h"

namespace {

// What a window was like before the plug-in first set its alpha, so that it
// can be given back.
struct Before {
  HWND window = nullptr;
  bool layered = false;
  COLORREF key = 0;
  BYTE alpha = 255;
  DWORD flags = 0;
};

Before gBefore[3];  // by klv::HostWindow

// The layered style is only ever added: a switched-off group means alpha 255.
void SetWindowAlpha(HWND window, klv::HostWindow which, uint8_t alpha) {
  if (window == nullptr) return;
  const LONG style = GetWindowLongA(window, GWL_EXSTYLE);
  Before& before = gBefore[static_cast<int>(which)];
  if (before.window != window) {
    before = Before{window, (style & WS_EX_LAYERED) != 0};
    if (before.layered) GetLayeredWindowAttributes(window, &before.key, &before.alpha, &before.flags);
  }
  SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

// A modern skin makes the playlist its child and hides the equalizer; a
// system that draws layered children would keep the plug-in's alpha on them,
// no longer following activation. The main window is the skin's to set.
void GiveBackSideWindows() {
  for (klv::HostWindow which : {klv::HostWindow::kPlaylist, klv::HostWindow::kEqualizer}) {
    Before& before = gBefore[static_cast<int>(which)];
    if (before.window == nullptr) continue;
    if (IsWindow(before.window)) {
      if (before.layered) {
        if (before.flags != 0)
          SetLayeredWindowAttributes(before.window, before.key, before.alpha, before.flags);
      } else {
        SetWindowLongA(before.window, GWL_EXSTYLE,
                       GetWindowLongA(before.window, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
      }
    }
    before = Before{};
  }
}

}  // namespace

void ApplyTransparency() {
  // Under a modern skin the main window is kept invisible at alpha 0 and the
  // others are hidden or the skin's children: none of them is ours to change,
  // and what the plug-in set on them under a classic skin goes back.
  if (HostRunsModernSkin()) {
    GiveBackSideWindows();
    return;
  }
  const HWND windows[] = {FindHostWindow(klv::kMainWindowClass), FindHostWindow(klv::kPlaylistWindowClass),
                          FindHostWindow(klv::kEqualizerWindowClass)};
  const HWND active = GetActiveWindow();
  for (int i = 0; i < 3; ++i) {
    const bool isActive = windows[i] != nullptr && windows[i] == active;
    const auto which = static_cast<klv::HostWindow>(i);
    SetWindowAlpha(windows[i], which, klv::EffectiveAlpha(gSettings, which, isActive));
  }
}

void SetActiveTransparency(bool enabled) {
  gSettings.activeEnabled = enabled;
  ApplyTransparency();
}

void SetInactiveTransparency(bool enabled) {
  gSettings.inactiveEnabled = enabled;
  ApplyTransparency();
}

void SetAlphaLevel(klv::AlphaIndex index, int percent) {
  const int at = index;
  if (at < 0 || at >= klv::kAlphaLevelCount) return;
  gSettings.alphaLevels[at] = klv::PercentToAlpha(percent);
  ApplyTransparency();
}

void ApplyActivationAlpha(HWND window, klv::HostWindow which, WORD state) {
  // Any other state is none of the three activation states: nothing changes.
  if (state != WA_INACTIVE && state != WA_ACTIVE && state != WA_CLICKACTIVE) return;
  if (HostRunsModernSkin()) return;
  SetWindowAlpha(window, which, klv::EffectiveAlpha(gSettings, which, state != WA_INACTIVE));
}
