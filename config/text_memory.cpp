#include "config/text_memory.h"

#include <cstdlib>

namespace {
int g_allocationsBeforeFailure = -1;

bool AllocationAllowed() {
    if (g_allocationsBeforeFailure == 0) return false;
    if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
    return true;
}
}  // namespace

void SetTextMemAllocFailure(int allocationsBeforeFailure) {
    g_allocationsBeforeFailure = allocationsBeforeFailure;
}

void* TextMemAlloc(size_t bytes) {
    if (!AllocationAllowed()) return nullptr;
    return std::malloc(bytes != 0 ? bytes : 1);
}

void* TextMemAllocZeroed(size_t count, size_t size) {
    if (!AllocationAllowed()) return nullptr;
    if (count == 0 || size == 0) return std::calloc(1, 1);
    return std::calloc(count, size);
}

void TextMemFree(void* block) { std::free(block); }
