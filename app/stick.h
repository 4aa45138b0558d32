// What a pad's left stick and d-pad ask of the steering: a deflection of at most 1 in
// each direction, right and up positive. The stick has a radial dead zone of the
// platform's guidance (XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE, about a quarter of its
// travel), so a resting stick never drifts; past its edge the response rises from 0 as
// the square of the way out to the rim, so small pushes steer finely and a full push
// steers at full speed. The d-pad is a full push in its direction.
#pragma once

#include <windows.h>
#include <xinput.h>

struct StickDeflection {
    float x = 0.0f;
    float y = 0.0f;
};

// The left stick alone, from XInput's axes.
StickDeflection StickResponse(int thumbX, int thumbY);

// The stick and the d-pad of one pad together, no longer than 1.
StickDeflection PadDeflection(const XINPUT_GAMEPAD& pad);

// Two pads' deflections together, each direction clamped to -1..1.
StickDeflection AddDeflections(StickDeflection a, StickDeflection b);
