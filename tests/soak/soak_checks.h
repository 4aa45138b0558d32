// The checks the soak makes after every frame: the rules keep energy, meters, kinds and
// counts within their ranges and change them only as the rules allow; the clocks advance
// by the scripted frame time; the landscape ring advances one slot at a time with later
// stamps and a sane span.
#pragma once

#include "game/game_state.h"

struct RingWatch {
    int previousHead = 0;
    long advances = 0;
};

void CheckRules(long frame, const GameState& g, const GameState& previous, int framesPerSecond);
void CheckRing(long frame, RingWatch& ring, int framesPerSecond);
