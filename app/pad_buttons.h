// What a pad's buttons mean: Start pauses and resumes (as P), Y mutes (as M), A flies again from the
// results (as Space), and B or Back quit, but only from the pause and the results, so that
// a stray press never ends a flight.
#pragma once

#include <windows.h>

// Acts on the buttons that went down since the last poll (XINPUT_GAMEPAD_* bits).
// window: the game's window, which a quit closes.
void PressPadButtons(HWND window, WORD pressed);
