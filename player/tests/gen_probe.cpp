// A minimal general-purpose plug-in for the player's own tests: it notes
// every call of the host in the file named by KLV_PROBE_LOG (with whether the
// main window is shown at init and still there at quit), hooks the main
// window like a real plug-in, notes the play command it sees there, and
// answers init with KLV_PROBE_INIT (0).
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/host_codes.h"
#include "win32/host/plugin_contract.h"

namespace {

constexpr WPARAM kSwallowedCommand = 49999;

HMODULE gModule = nullptr;
WNDPROC gSavedProcedure = nullptr;

void Note(const char* format, ...) {
  const char* path = std::getenv("KLV_PROBE_LOG");
  if (path == nullptr) return;
  FILE* file = std::fopen(path, "ab");
  if (file == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fputc('\n', file);
  std::fclose(file);
}

LRESULT CALLBACK MainHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  // The host must log only what its own procedure receives.
  if (message == WM_COMMAND && wParam == kSwallowedCommand) return 0;
  if (message == WM_COMMAND && wParam == klv::kCommandPlay) Note("play");
  return CallWindowProcA(gSavedProcedure, window, message, wParam, lParam);
}

PluginDescriptor* Descriptor();

int __cdecl Init() {
  PluginDescriptor* descriptor = Descriptor();
  bool parentIsMain = descriptor->hwndParent != nullptr &&
                      descriptor->hwndParent == FindWindowA(klv::kMainWindowClass, nullptr);
  bool instanceIsOurs = descriptor->hDllInstance == gModule;
  Note("init parent=%d instance=%d shown=%d", parentIsMain, instanceIsOurs,
       IsWindowVisible(descriptor->hwndParent) ? 1 : 0);
  const char* answer = std::getenv("KLV_PROBE_INIT");
  int result = answer != nullptr ? std::atoi(answer) : 0;
  if (result != 0) return result;
  gSavedProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(descriptor->hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainHook)));
  return 0;
}

void __cdecl Config() { Note("config"); }

void __cdecl Quit() {
  Note("quit window=%d", IsWindow(Descriptor()->hwndParent) ? 1 : 0);
  SetWindowLongPtrA(Descriptor()->hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gSavedProcedure));
}

PluginDescriptor gDescriptor = {
    kPluginDescriptorVersion, "Probe plug-in", Init, Config, Quit, nullptr, nullptr};

PluginDescriptor* Descriptor() { return &gDescriptor; }

}  // namespace

extern "C" __declspec(dllexport) PluginDescriptor* __cdecl winampGetGeneralPurposePlugin() {
  return &gDescriptor;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gModule = instance;
  if (reason == DLL_PROCESS_DETACH) Note("detach");
  return TRUE;
}
