// A thread of our own in someone else's process. It holds a reference to this
// module from before it starts until its very last instruction, so that an
// unload of the library never pulls code out from under it, and nobody waits
// for it: it ends on its own.
#pragma once

// Runs work(context) on a new thread; false (work not run) when none could be started.
bool StartModuleThread(void (*work)(void* context), void* context);
