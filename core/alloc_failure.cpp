// The fail-after-N count behind SetAllocFailure: -1 never fails, 0 fails every
// allocation, N lets N more through first.
#include "core/alloc_failure.h"

namespace {
int g_allocationsBeforeFailure = -1;
}

void SetAllocFailure(int allocationsBeforeFailure) {
    g_allocationsBeforeFailure = allocationsBeforeFailure;
}

bool AllocationAllowed() {
    if (g_allocationsBeforeFailure == 0) return false;
    if (g_allocationsBeforeFailure > 0) --g_allocationsBeforeFailure;
    return true;
}
