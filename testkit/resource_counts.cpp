// clang-format off
#include <windows.h>  // before the other Windows headers
// clang-format on
#include "testkit/resource_counts.h"

#include <psapi.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <vector>

int GdiObjects() {
  if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(counted);
  int live = 0;
  for (uintptr_t index = 1; index < 0x10000; ++index) {
    live += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0 ? 1 : 0;
  }
  return live;
}

int UserObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  return counted != 0 ? static_cast<int>(counted) : -1;
}

int KernelHandles() {
  DWORD counted = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted != 0) return static_cast<int>(counted);
  // Wine hands out the lowest free slot, so live handles sit at the bottom of
  // the table: probe on until a long run of free slots follows the last live one.
  constexpr uintptr_t kFreeRun = 1024;
  int live = 0;
  uintptr_t lastLive = 0;
  for (uintptr_t value = 4; value <= lastLive + 4 * kFreeRun; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++live;
      lastLive = value;
    }
  }
  return live;
}

int64_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                            sizeof(memory))) {
    return 0;
  }
  return static_cast<int64_t>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
}

int64_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  int64_t inUse = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) inUse += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return inUse;
}

namespace {

// Threads of this process whose id passes counts; -1 when they cannot be listed.
int CountOwnThreads(const std::function<bool(DWORD id)>& counts) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId() && counts(entry.th32ThreadID)) ++threads;
  }
  CloseHandle(snapshot);
  return threads;
}

}  // namespace

int ThreadsStartedIn(HMODULE module) {
  using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  constexpr int kThreadWin32StartAddress = 9;
  const auto query = reinterpret_cast<QueryThread>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  MODULEINFO image{};
  if (query == nullptr || !GetModuleInformation(GetCurrentProcess(), module, &image, sizeof(image)))
    return -1;
  const auto first = reinterpret_cast<uintptr_t>(image.lpBaseOfDll);
  return CountOwnThreads([&](DWORD id) {
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
    if (thread == nullptr) return false;
    void* start = nullptr;
    const bool inModule = query(thread, kThreadWin32StartAddress, &start, sizeof(start), nullptr) == 0 &&
                          reinterpret_cast<uintptr_t>(start) - first < image.SizeOfImage;
    CloseHandle(thread);
    return inModule;
  });
}

int FreeTlsSlots() {
  std::vector<DWORD> taken;
  for (DWORD slot = TlsAlloc(); slot != TLS_OUT_OF_INDEXES; slot = TlsAlloc()) taken.push_back(slot);
  for (DWORD slot : taken) TlsFree(slot);
  return static_cast<int>(taken.size());
}

int ProcessThreads() {
  return CountOwnThreads([](DWORD) { return true; });
}

void ExpectStable(const Resources& before, const char* what) {
  FlushPostedMessages();
  const Resources after;
  SCOPED_TRACE(what);
  EXPECT_EQ(after.windows, before.windows) << "windows";
  EXPECT_LE(after.gdiObjects, before.gdiObjects + kGdiSlack) << "GDI objects";
  if (before.userObjects >= 0) {
    EXPECT_LE(after.userObjects, before.userObjects + kUserSlack) << "USER objects";
  }
  EXPECT_LE(after.kernelHandles, before.kernelHandles + kHandleSlack) << "kernel handles";
  EXPECT_LE(after.privateBytes, before.privateBytes + kMemorySlack)
      << "private bytes grew by " << after.privateBytes - before.privateBytes;
  EXPECT_LE(after.heapBytes, before.heapBytes + kHeapSlack)
      << "heap bytes in use grew by " << after.heapBytes - before.heapBytes;
}
