#include "core/game_random.h"

namespace {
uint32_t g_state = 1;
}

int GameRand() {
    g_state = g_state * 214013u + 2531011u;
    return (int)((g_state >> 16) & 0x7FFFu);
}

uint32_t GameRandState() { return g_state; }
void SetGameRandState(uint32_t state) { g_state = state; }
