// The library's entry point and its one export. Compiled into the DLL only.
#include <windows.h>

#include "entry/lifecycle.h"
#include "entry/plugin_descriptor.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      ResetPluginDescriptor();
      break;
    case DLL_PROCESS_DETACH:
      // At process termination the windows are going away with us; touch nothing.
      if (reserved == nullptr) ReleaseAtUnload();
      break;
    default:
      break;
  }
  return TRUE;
}

extern "C" __declspec(dllexport) PluginDescriptor* __cdecl winampGetGeneralPurposePlugin() {
  return &gPlugin;
}
