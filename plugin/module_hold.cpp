#include "plugin/module_hold.h"

#include <windows.h>

namespace {

int gCallsInProgress = 0;
HMODULE gHeldModule = nullptr;

}  // namespace

CallInProgress::CallInProgress() noexcept { ++gCallsInProgress; }

CallInProgress::~CallInProgress() { --gCallsInProgress; }

void HoldModule() {
  if (gHeldModule != nullptr) return;
  // Counted like a LoadLibrary: the host's FreeLibrary then only drops its own reference.
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&HoldModule),
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
