// Replaces the global operator new and delete for the soak program: a small header before
// each block remembers its size and whether the caller's code lies in this program's own
// text, so OurHeapBytes() holds the program's share of the heap apart from the driver's.
#include "tests/soak/counted_heap.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" char __executable_start[];
extern "C" char etext[];

namespace {

std::atomic<long long> g_ourBytes{0};

// Sixteen bytes keep the block as aligned as malloc's.
struct alignas(16) BlockHeader {
    size_t size;
    size_t ours;
};

void* CountedAllocate(size_t size, void* caller) {
    BlockHeader* h = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (h == nullptr) return nullptr;
    h->size = size;
    h->ours = caller >= (void*)__executable_start && caller < (void*)etext;
    if (h->ours) g_ourBytes += (long long)size;
    return h + 1;
}

void CountedRelease(void* p) {
    if (p == nullptr) return;
    BlockHeader* h = static_cast<BlockHeader*>(p) - 1;
    if (h->ours) g_ourBytes -= (long long)h->size;
    std::free(h);
}

}  // namespace

long long OurHeapBytes() { return g_ourBytes.load(); }

void* operator new(size_t size) {
    void* p = CountedAllocate(size, __builtin_return_address(0));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) {
    void* p = CountedAllocate(size, __builtin_return_address(0));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size, __builtin_return_address(0));
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size, __builtin_return_address(0));
}
void operator delete(void* p) noexcept { CountedRelease(p); }
void operator delete[](void* p) noexcept { CountedRelease(p); }
void operator delete(void* p, size_t) noexcept { CountedRelease(p); }
void operator delete[](void* p, size_t) noexcept { CountedRelease(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedRelease(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedRelease(p); }
