#include "bench/heap_count.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace bench {

std::atomic<size_t> gUncountedSize{0};

namespace {

std::atomic<size_t> gLive{0}, gPeak{0};
constexpr size_t kHeader = 16;  // the block's size, keeping the alignment malloc promises

void Count(size_t size, bool added) {
  if (size == gUncountedSize.load()) return;
  if (!added) {
    gLive -= size;
    return;
  }
  const size_t live = gLive += size;
  size_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
}

}  // namespace

size_t StartHeapPeak() {
  gPeak = gLive.load();
  return gPeak.load();
}

size_t HeapPeak() { return gPeak.load(); }

}  // namespace bench

extern "C" {

void* malloc(size_t size) {
  auto* block = static_cast<size_t*>(HeapAlloc(GetProcessHeap(), 0, size + bench::kHeader));
  if (block == nullptr) return nullptr;
  block[0] = size;
  bench::Count(size, true);
  return reinterpret_cast<char*>(block) + bench::kHeader;
}

void free(void* memory) {
  if (memory == nullptr) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(memory) - bench::kHeader);
  bench::Count(block[0], false);
  HeapFree(GetProcessHeap(), 0, block);
}

void* calloc(size_t count, size_t size) {
  void* memory = malloc(count * size);
  if (memory != nullptr) std::memset(memory, 0, count * size);
  return memory;
}

void* realloc(void* memory, size_t size) {
  if (memory == nullptr) return malloc(size);
  const size_t old = reinterpret_cast<size_t*>(static_cast<char*>(memory) - bench::kHeader)[0];
  void* moved = malloc(size);
  if (moved != nullptr) std::memcpy(moved, memory, std::min(old, size));
  if (moved != nullptr || size == 0) free(memory);
  return moved;
}

}  // extern "C"
