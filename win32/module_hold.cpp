#include "win32/module_hold.h"

#include <windows.h>

#include "win32/this_module.h"

namespace {

// The depth of our calls on the stack, not a stage of the plug-in's life: it
// decides only whether the hold below may go, so it lives with the hold.
int gCallsInProgress = 0;
HMODULE gHeldModule = nullptr;

}  // namespace

CallInProgress::CallInProgress() noexcept { ++gCallsInProgress; }

CallInProgress::~CallInProgress() { --gCallsInProgress; }

void HoldModule() {
  if (gHeldModule != nullptr) return;
  // Counted like a LoadLibrary: the host's FreeLibrary then only drops its own reference.
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(ThisModule()),
                     &gHeldModule);
}

void ReleaseModuleHold() {
  // The host still holds its own reference while it calls us, so this never
  // unmaps the code that runs it; a caller of ours further down the stack,
  // however, could be returned into after the host's FreeLibrary.
  if (gHeldModule == nullptr || gCallsInProgress > 0) return;
  FreeLibrary(gHeldModule);
  gHeldModule = nullptr;
}
