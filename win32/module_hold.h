// Keeps the library mapped while its code can still be called. A host that
// frees it without quit, or quits and frees it while a call of ours is on the
// stack, must not leave a window or a return address pointing into unmapped
// code.
#pragma once

// Marks a call of ours on the stack for as long as it lives: taken by every
// entry that can run a modal loop (init, config, the window hooks, the
// dialogs' window procedures).
class CallInProgress {
 public:
  CallInProgress() noexcept;
  ~CallInProgress();
  CallInProgress(const CallInProgress&) = delete;
  CallInProgress& operator=(const CallInProgress&) = delete;
};

// Takes one reference to this module, unless it already holds one.
void HoldModule();
// Gives the reference back, when no call of ours is on the stack below the
// caller; otherwise the module keeps it for the life of the process: the
// host may free the library before that call returns, and giving it back in
// our own frame would then unmap the code we return into.
void ReleaseModuleHold();
