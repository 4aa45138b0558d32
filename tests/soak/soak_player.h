// The soak's player: mouse motion that steers the world as a player would, chasing the
// collectible it has chosen to chase and otherwise wandering slowly between the sources'
// zones. Its choices come from its own small generator: the game's sequence is the game's.
#pragma once

#include <cstdint>

#include "app/steering.h"
#include "game/game_state.h"

struct SoakPlayer {
    uint32_t state = 12345u;
    bool chasing = false;

    // Decides whether to chase a collectible that has just been placed (about every
    // second one).
    bool ChooseToChase();
    // Pushes this frame's mouse motion through the platform seam.
    void Move(const GameState& g, const Steering& steering, long frame, int framesPerSecond);
};
