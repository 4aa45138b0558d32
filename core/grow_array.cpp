#include "core/grow_array.h"

#include "core/alloc_failure.h"

namespace growarray_detail {

void* Allocate(long bytes) {
    if (!AllocationAllowed()) return nullptr;
    if (bytes <= 0) bytes = 1;
    return ::operator new((size_t)bytes, std::nothrow);
}

void Release(void* p) { ::operator delete(p); }

}  // namespace growarray_detail
