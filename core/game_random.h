// The program-wide random sequence: a 32-bit linear congruential generator whose state
// starts at 1 and is never reseeded by the game. Each draw sets
// state = state * 214013 + 2531011 (mod 2^32) and returns bits 16..30, so the first
// values are 41, 18467, 6334, 26500. The slice generator and the spawn rule take their
// values from this one sequence in frame order; the C library's rand() is a different
// generator on most systems and is never used.
#pragma once

#include <cstdint>

int GameRand();

// For tests and tools only: read or put back the generator's state.
uint32_t GameRandState();
void SetGameRandState(uint32_t state);
