// The library's entry point and its one export. Compiled into the DLL only.
#include <windows.h>

#include "plugin/gen.h"
#include "plugin/plugin_state.h"

namespace {

// The last reference is gone. A running plug-in holds one of its own, so a
// host's FreeLibrary without quit never gets here; this only tidies up should
// that hold have failed: nothing of ours may stay reachable from a window.
void ReleaseHostWindows() noexcept {
  try {
    if (gPluginRunning) {
      gPluginRunning = false;
      ReleaseHotkeysAndMarker();
    }
    // Our windows go in any case; each release does nothing where nothing is left.
    ReleaseWindows();
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
