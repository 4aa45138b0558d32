#include "app/gamepad.h"

#include "app/pad_buttons.h"
#include "app/pause.h"
#include "game/world.h"

StickDeflection PollGamepads(Gamepads& pads, HWND window, bool focused) {
    StickDeflection steer;
    WORD pressed = 0;
    bool lost = false;
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
        XINPUT_STATE state;
        if (XInputGetState(slot, &state) != ERROR_SUCCESS) {
            lost = lost || pads.connected[slot];
            pads.connected[slot] = false;
            pads.buttons[slot] = 0;
            continue;
        }
        const WORD now = state.Gamepad.wButtons;
        // A button held since before the focus came back is no press.
        if (focused) pressed |= (WORD)(now & ~pads.buttons[slot]);
        pads.buttons[slot] = now;
        pads.connected[slot] = true;
        if (focused) steer = AddDeflections(steer, PadDeflection(state.Gamepad));
    }
    if (lost && game.energy > 0.0f && !game.paused) TogglePause();
    if (pressed != 0) PressPadButtons(window, pressed);
    return steer;
}

bool AnyGamepad(const Gamepads& pads) {
    for (bool c : pads.connected)
        if (c) return true;
    return false;
}
