// The pads, polled once a frame as XInput wants it: every slot is read, the buttons that
// went down act (with the focus only, as the keys do), a pad that goes away in flight
// pauses the game (as consoles do; any device resumes it), and the sticks and d-pads of
// all pads together give the steering's deflection. Without a pad every slot reads "not
// connected" and nothing here does anything.
#pragma once

#include <windows.h>
#include <xinput.h>

#include "app/stick.h"

struct Gamepads {
    bool connected[XUSER_MAX_COUNT] = {};
    WORD buttons[XUSER_MAX_COUNT] = {};
};

// One poll. window: the game's window (a quit from the pause closes it). Returns the
// deflection to steer with: none without the focus.
StickDeflection PollGamepads(Gamepads& pads, HWND window, bool focused);

// Whether any pad was there at the last poll.
bool AnyGamepad(const Gamepads& pads);

// How long the paused game sleeps between polls while a pad is there: XInput sends no
// message to wake it when Start is pressed.
const DWORD kPausedPadPollMs = 16;
