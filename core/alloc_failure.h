// The one switch that makes heap allocations fail on purpose, so that tests can walk a
// load or a build through every allocation failing in turn. The game's allocators (the
// grow arrays, the configuration texts and the 3DS reader) ask it before each
// allocation; the game itself never sets it, so it always answers yes there.
#pragma once

// The next `allocationsBeforeFailure` allocations succeed and every later one fails,
// until reset with -1 (the default: never fail). One count serves all allocators, so a
// test sees the failures of an operation in the order the operation allocates.
void SetAllocFailure(int allocationsBeforeFailure);

// Asked once per allocation, just before it is made: false if this one is to fail.
// Every call while failures are pending uses up one allowed allocation.
bool AllocationAllowed();
