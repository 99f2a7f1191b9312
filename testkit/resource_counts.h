// What a process holds, counted the way Wine lets us see it.
//
// Wine's GetGuiResources and GetProcessHandleCount answer 0 and its
// PrivateUsage stays 0, so each count falls back to what Wine can see: GDI
// objects by probing the handle table (Wine accepts a handle's bare index),
// kernel handles by probing handle values, memory by PagefileUsage.
#pragma once

#include <cstdint>

#include "testkit/test_kit.h"

// Live GDI objects of the process.
int GdiObjects();
// Live USER objects of the process, or -1 where the system does not tell
// (Wine's GetGuiResources answers 0).
int UserObjects();
// Open kernel handles of the process.
int KernelHandles();
// Threads of the process.
int ProcessThreads();
// Threads of the process that began in the module's code: Wine keeps threads
// of its own that come and go, so only these tell a thread of ours.
int ThreadsStartedIn(HMODULE module);
// TLS slots the process can still allocate (Windows has 1,088 in all).
int FreeTlsSlots();
int64_t PrivateBytes();
// Bytes in use in every heap of the process: finer than committed memory,
// which a leak fills unseen while the heaps still have free room.
int64_t HeapBytesInUse();

struct Resources {
  int windows = CountOwnWindows();
  int gdiObjects = GdiObjects();
  int userObjects = UserObjects();
  int kernelHandles = KernelHandles();
  int64_t privateBytes = PrivateBytes();
  int64_t heapBytes = HeapBytesInUse();
};

// What a long run may leave behind: caches that settle, heap that fragments.
constexpr int kGdiSlack = 2;
constexpr int kUserSlack = 2;
constexpr int kHandleSlack = 2;
// Private memory also holds one ended thread's stack (1 MB under Wine, which
// frees it only when the next thread ends): a key watch's, now and then. A
// leak per press still shows, over thousands of presses, and the heap in use
// is held to its own slack.
constexpr int64_t kMemorySlack = 1536 * 1024;
constexpr int64_t kHeapSlack = 64 * 1024;
// Whether everything counted came back to where it was before a long run,
// within what caches that settle and a heap that fragments may keep.
void ExpectStable(const Resources& before, const char* what);
