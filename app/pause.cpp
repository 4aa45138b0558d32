#include "app/pause.h"

#include <windows.h>

#include "app/shell.h"
#include "game/world.h"

namespace {
// How many times the pause raised the cursor's display counter: the start-up and the
// display each lowered it, so one raise would not show it.
int g_cursorRaises = 0;
}  // namespace

void TogglePause() {
    if (!(game.energy > 0.0f)) return;
    if (!game.paused) {
        game.paused = 1;
        // The frame clock forgets its last reading now, so that none of the time spent
        // paused reaches the game, even if the game goes on before a paused frame is drawn.
        game.lastCounter = -1;
        g_cursorRaises = 0;
        while (g_cursorRaises < 16) {
            ++g_cursorRaises;
            if (ShowCursor(TRUE) >= 0) break;
        }
        return;
    }
    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    for (; g_cursorRaises > 0; --g_cursorRaises) ShowCursor(FALSE);
    game.paused = 0;
    // The frame rate counts again from here, not over the pause.
    game.fpsFrames = 0;
    game.fpsStartClock = -1;
}
