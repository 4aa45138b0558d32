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
//
// A pad's stick moves the target at a speed instead: full deflection kStickSpeed world
// units a second (a mouse moving 1200 pixels a second), on the same 60 steps a second,
// with the deflection read each frame and shared out over the frame's steps as it changed
// between the reads; at rest the target stays where it is. The settings' sensitivity
// scales both (the mouse's movement before the division by 5), and their vertical
// inversion turns both over.
#pragma once

#include <cstdint>

#include "app/stick.h"
#include "core/vec3.h"
#include "game/game_state.h"

// Steps a second of the steering clock.
const int kSteerStepsPerSecond = 60;
// Most steps one frame runs: after a longer stall the clock skips ahead instead of
// catching up in a burst.
const int kMaxSteerStepsPerFrame = 10;
// World units a second the target moves with the stick fully deflected, at sensitivity 100.
const float kStickSpeed = 240.0f;
// The sensitivity that is the steering as it was made.
const int kDefaultSensitivity = 100;

// The steering state of the main loop.
struct Steering {
    Vec3 steerTarget{0.0f, 0.0f, 0.0f};  // the mouse movement added up (x, y), in fifths
    Vec3 cameraSway{0.0f, 0.0f, -30.0f};
    // Pixels moved (times the sensitivity in percent) not yet turned into whole fifths of
    // the target.
    int pendingX = 0, pendingY = 0;

    // From the settings: percent of the movement that steers, and the vertical inversion.
    int sensitivity = kDefaultSensitivity;
    bool invertY = false;

    // The stick's deflection at the previous frame, turned the target's way (y down).
    float stickX = 0.0f, stickY = 0.0f;

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
// re-centres it and runs the steps that are due, each with the stick's deflection as it
// was at the step's time between the previous frame's read and `stick`. Without it the
// cursor is left alone, the stick counts for nothing and due steps pass without steering.
void SteerFrame(Steering& steering, GameState& g, Ship& ship, bool focused, int64_t counterNow,
                int64_t counterFrequency, StickDeflection stick = StickDeflection());

// One steering step of `seconds`, with the cursor movement in pixels that falls within
// it and the stick's deflection at it (the target's way: y down): adds the movement,
// scaled by the sensitivity, to the target in whole fifths (the rest waits for the next
// step) and the stick's share of a second's speed, shifts the world and the collectible a
// fifteenth of the way towards the target and rebuilds the camera matrix. The ship is
// given the camera matrix of the step before.
void SteerStep(Steering& steering, GameState& g, Ship& ship, int movedX, int movedY,
               float seconds, float stickX = 0.0f, float stickY = 0.0f);
