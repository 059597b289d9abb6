// Heap use of a benchmark program, counted by the replaced global operator
// new and delete in HeapCount.cpp, which the program links.
#pragma once

#include <atomic>
#include <cstddef>

namespace velmo::bench {

extern std::atomic<std::size_t> heapNow;
extern std::atomic<std::size_t> heapPeak;

}  // namespace velmo::bench
