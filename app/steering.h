// The mouse steering of the main loop.
//
// The steering was made for 60 steps a second: each step the world closes a fifteenth of
// its distance to where the player steers, and the camera sways with a damping of
// 0.9090909 a step. So the steps run on a clock of their own, 60 a second of the
// performance counter, whatever the frame rate: a frame runs as many steps as are due
// (none at 240 frames a second most of the time, two at 30). The cursor is read and
// re-centred every frame while the window has the focus, and its movement is shared out
// over the steps that fall within the frame as the hand moved; the division of the
// movement by 5 keeps its remainder for the next step, so no movement is lost at any rate.
// At 60 frames a second, with movements of whole multiples of 5 pixels a step, this is
// the classic one-step-a-frame steering to the bit.
#pragma once

#include <cstdint>

#include "core/vec3.h"
#include "game/game_state.h"

// Steps a second of the steering clock.
const int kSteerStepsPerSecond = 60;
// Most steps one frame runs: after a longer stall the clock skips ahead instead of
// catching up in a burst.
const int kMaxSteerStepsPerFrame = 10;

// The steering state of the main loop.
struct Steering {
    Vec3 steerTarget{0.0f, 0.0f, 0.0f};  // the mouse movement added up (x, y), in fifths
    Vec3 cameraSway{0.0f, 0.0f, -30.0f};
    // Pixels moved but not yet turned into whole fifths of the target.
    int pendingX = 0, pendingY = 0;

    // The step clock: step n of the current run falls on counter reading
    // clockOrigin + n * frequency / 60. Not started until the first frame.
    bool clockStarted = false;
    int64_t clockOrigin = 0;
    int64_t nextStep = 0;
    int64_t lastLook = 0;    // the counter reading of the previous frame's look
    int64_t lastStepAt = 0;  // when the latest step fell
    bool stepTaken = false;  // whether a step has run since the clock started
};

class Ship;

// Starts the step clock afresh at the next frame, which then runs one step at once: after
// a pause, so the time spent paused neither steers nor bursts.
void RestartSteeringClock(Steering& steering);

// The steering's share of one frame, with the performance counter read at the frame's
// start. With the focus: reads how far the cursor moved since the last re-centring,
// re-centres it and runs the steps that are due. Without it the cursor is left alone and
// due steps pass without steering.
void SteerFrame(Steering& steering, GameState& g, Ship& ship, bool focused, int64_t counterNow,
                int64_t counterFrequency);

// One steering step of `seconds`, with the cursor movement in pixels that falls within
// it: adds the movement to the target in whole fifths (the rest waits for the next step),
// shifts the world and the collectible a fifteenth of the way towards the target and
// rebuilds the camera matrix. The ship is given the camera matrix of the step before.
void SteerStep(Steering& steering, GameState& g, Ship& ship, int movedX, int movedY,
               float seconds);
