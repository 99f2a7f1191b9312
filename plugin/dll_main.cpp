// The library's entry point and its one export. Compiled into the DLL only.
#include <windows.h>

#include "config_dialog.h"
#include "gen.h"
#include "hotkey_registration.h"
#include "osd_window.h"
#include "plugin_state.h"
#include "window_hooks.h"

namespace {

// The host unloads the library without calling quit: nothing of ours may stay
// reachable from the host's windows or from a window of our own, and the
// hotkeys and markers go too, or the next load in this session is refused.
void ReleaseHostWindows() noexcept {
  try {
    if (gPluginRunning) {
      gPluginRunning = false;
      UnregisterAllHotkeys();
      DeleteAllAtoms();
      GlobalDeleteAtom(gInstanceAtom);
      gInstanceAtom = 0;
      RemoveWindowHooks();
      DestroyOsdWindow();
    }
    // A dialog may be open without a running plug-in (config after a refused init).
    if (ConfigDialogWindow() != nullptr) CloseConfigDialog();
  } catch (...) {
  }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      ResetPluginDescriptor();
      break;
    case DLL_PROCESS_DETACH:
      // At process termination the windows are going away with us; touch nothing.
      if (reserved == nullptr) ReleaseHostWindows();
      break;
    default:
      break;
  }
  return TRUE;
}

extern "C" __declspec(dllexport) PluginDescriptor* __cdecl winampGetGeneralPurposePlugin() {
  return &gPlugin;
}
