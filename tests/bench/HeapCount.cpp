#include "tests/bench/HeapCount.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace velmo::bench {

std::atomic<std::size_t> heapNow{0};
std::atomic<std::size_t> heapPeak{0};

}  // namespace velmo::bench

void* operator new(std::size_t size) {
    using velmo::bench::heapNow;
    using velmo::bench::heapPeak;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = heapNow += malloc_usable_size(block);
    std::size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        velmo::bench::heapNow -= malloc_usable_size(block);
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
