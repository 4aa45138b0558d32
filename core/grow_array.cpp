#include "core/grow_array.h"

namespace {
int g_allocationsBeforeFailure = -1;
}

void SetGrowArrayAllocFailure(int allocationsBeforeFailure) {
    g_allocationsBeforeFailure = allocationsBeforeFailure;
}

namespace growarray_detail {

void* Allocate(long bytes) {
    if (g_allocationsBeforeFailure == 0) return nullptr;
    if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
    if (bytes <= 0) bytes = 1;
    return ::operator new((size_t)bytes, std::nothrow);
}

void Release(void* p) { ::operator delete(p); }

}  // namespace growarray_detail
