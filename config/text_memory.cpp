#include "config/text_memory.h"

#include <cstdlib>

#include "core/alloc_failure.h"

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
