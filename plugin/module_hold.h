// Keeps the library mapped while its code can still be called. A host that
// frees it without quit, or quits and frees it while a message box or modal
// loop of ours is up, must not leave a window or a return address pointing
// into unmapped code.
#pragma once

// Marks a call of ours on the stack for as long as it lives: an entry the host
// calls, a hook, a dialog's window procedure.
class CallInProgress {
 public:
  CallInProgress() noexcept;
  ~CallInProgress();
  CallInProgress(const CallInProgress&) = delete;
  CallInProgress& operator=(const CallInProgress&) = delete;
};

// Takes one reference to this module, unless it already holds one.
void HoldModule();
// Gives the reference back, when nothing of ours is on the stack below the
// caller; otherwise the module keeps it for the life of the process.
void ReleaseModuleHold();
