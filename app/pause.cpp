#include "app/pause.h"

#include <windows.h>

#include "app/shell.h"
#include "game/world.h"

void TogglePause() {
    if (!(game.energy > 0.0f)) return;
    if (!game.paused) {
        game.paused = 1;
        ShowCursor(TRUE);
        return;
    }
    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    ShowCursor(FALSE);
    game.paused = 0;
    // The frame rate counts again from here, not over the pause.
    game.fpsFrames = 0;
    game.fpsStartClock = -1;
}
