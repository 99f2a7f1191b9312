#include "win32/module_thread.h"

#include <windows.h>

#include "win32/this_module.h"

namespace {

struct ThreadStart {
  void (*work)(void*);
  void* context;
  HMODULE module;
};

DWORD WINAPI ModuleThread(void* parameter) {
  const ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  start.work(start.context);
  // Returning would land in code the last FreeLibrary may just have unmapped.
  FreeLibraryAndExitThread(start.module, 0);
}

}  // namespace

bool StartModuleThread(void (*work)(void*), void* context, HANDLE* thread) {
  HMODULE module = nullptr;
  // Counted like a LoadLibrary, taken here so that no moment is without it.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(ThisModule()),
                          &module)) {
    return false;
  }
  auto* start = new ThreadStart{work, context, module};
  HANDLE started = CreateThread(nullptr, 0, ModuleThread, start, 0, nullptr);
  if (started == nullptr) {
    delete start;
    FreeLibrary(module);
    return false;
  }
  if (thread != nullptr) {
    *thread = started;
  } else {
    CloseHandle(started);
  }
  return true;
}
