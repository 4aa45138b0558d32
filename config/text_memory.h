// Heap blocks for configuration texts, tokens and the stroke font's glyphs. Plain
// malloc/free underneath, so a failed allocation is a null pointer the callers turn
// into a result code, never an exception. Tests make allocations fail through
// SetAllocFailure (core/alloc_failure.h).
#pragma once

#include <cstddef>

void* TextMemAlloc(size_t bytes);
// Zero-filled block of count * size bytes; null on overflow or when out of memory.
void* TextMemAllocZeroed(size_t count, size_t size);
void TextMemFree(void* block);
