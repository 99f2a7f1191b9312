// Layered style and constant alpha on the host's three windows.
#include "plugin/host/transparency.h"

#include "plugin/host/host.h"
#include "plugin/plugin_state.h"

namespace {

// The layered style is only ever added: a switched-off group means alpha 255.
void SetWindowAlpha(HWND window, uint8_t alpha) {
  if (window == nullptr) return;
  SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
}

}  // namespace

void ApplyTransparency() {
  // Under a modern skin the main window is kept invisible at alpha 0 and the
  // others are hidden or the skin's children: none of them is ours to change.
  if (HostRunsModernSkin()) return;
  const HWND windows[] = {FindHostWindow(klv::kMainWindowClass), FindHostWindow(klv::kPlaylistWindowClass),
                          FindHostWindow(klv::kEqualizerWindowClass)};
  const HWND active = GetActiveWindow();
  for (int i = 0; i < 3; ++i) {
    const bool isActive = windows[i] != nullptr && windows[i] == active;
    SetWindowAlpha(windows[i], klv::EffectiveAlpha(gSettings, static_cast<klv::HostWindow>(i), isActive));
  }
}

void SetAlphaFromPercent(int tag, int percent) {
  if (tag < 1 || tag > klv::kAlphaLevelCount) return;
  gSettings.alphaLevels[tag - 1] = klv::PercentToAlpha(percent);
  ApplyTransparency();
}

void ApplyActivationAlpha(HWND window, klv::HostWindow which, WORD state) {
  // Any other state is none of the three activation states: nothing changes.
  if (state != WA_INACTIVE && state != WA_ACTIVE && state != WA_CLICKACTIVE) return;
  if (HostRunsModernSkin()) return;
  SetWindowAlpha(window, klv::EffectiveAlpha(gSettings, which, state != WA_INACTIVE));
}
