// A program that links heap_count.cpp counts every allocation it makes
// (libjpeg's, the runtime's, the plug-in's): its own malloc takes the place of
// the C runtime's.
#pragma once

#include <atomic>
#include <cstddef>

namespace bench {

// Blocks of exactly this size go uncounted: another party's, such as a
// player's copy of its picture.
extern std::atomic<size_t> gUncountedSize;

// The bytes live now, from which the peak starts again.
size_t StartHeapPeak();
// The most bytes live at once since StartHeapPeak.
size_t HeapPeak();

}  // namespace bench
