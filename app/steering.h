// The mouse steering of the main loop.
#pragma once

#include "core/vec3.h"
#include "game/game_state.h"

// The steering state of the main loop.
struct Steering {
    Vec3 steerTarget{0.0f, 0.0f, 0.0f};  // the mouse movement added up (x, y)
    Vec3 cameraSway{0.0f, 0.0f, -30.0f};
};

class Ship;
// One steering step: reads how far the cursor moved since the last re-centring, shifts
// the world and the collectible towards the target and rebuilds the camera matrix.
void SteerStep(Steering& steering, GameState& g, Ship& ship);
