// A thread of our own in someone else's process. It holds a reference to this
// module from before it starts until its very last instruction, so that an
// unload of the library never pulls code out from under it, and nobody has to
// wait for it: it ends on its own.
#pragma once

#include <windows.h>

// Runs work(context) on a new thread; false (work not run) when none could be
// started. With thread, the caller gets the thread's handle to wait on and close.
bool StartModuleThread(void (*work)(void* context), void* context, HANDLE* thread = nullptr);
