#include "app/pad_buttons.h"

#include <xinput.h>

#include "app/flight.h"
#include "app/pause.h"
#include "audio/sound.h"
#include "game/world.h"

void PressPadButtons(HWND window, WORD pressed) {
    if (pressed & XINPUT_GAMEPAD_Y) ToggleSoundMute();
    if (pressed & XINPUT_GAMEPAD_A) FlyAgain();
    if ((pressed & (XINPUT_GAMEPAD_B | XINPUT_GAMEPAD_BACK)) &&
        (game.paused || ResultsShowing())) {
        // As Escape does: the cursor back, then the window closes and the loop ends.
        ShowCursor(TRUE);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    if (pressed & XINPUT_GAMEPAD_START) TogglePause();
}
