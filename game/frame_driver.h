// RunFrame: one frame of the game. Timing, camera, landscape, ship and collectible, the
// rules at their fixed points, the icons, the head-up display and the present.
// The main loop calls it once per idle pass for as long as the energy is above 0.
#pragma once

#include <windows.h>

#include <cstdint>

#include "game/game_state.h"
#include "platform/gl_display.h"

// What a frame needs of the program that runs it, set at start-up: the main window (the
// owner of the Game Over box), the display the frame is presented on, and the performance
// counter's frequency, read once, which the timing divides by.
extern HWND mainWindow;
extern GlDisplay* display;
extern int64_t perfFrequency;

// Called in the frame in which the energy runs out, just before the Game Over box holds
// the loop: whatever must go on while the box waits (the sound's last tone) is handed
// over here. Null: nothing.
extern void (*beforeGameOverBox)();

// Called in the frame in which the energy runs out, once the last picture is drawn and
// before it is presented: the results are drawn over that picture. Null: nothing.
extern void (*beforeLastPresent)();

void RunFrame();

// The timing step on its own: measures the frame with the performance counter and
// advances the game's clocks. While paused a frame takes no time.
void AdvanceTime(GameState& g, long long counterNow, long long counterFrequency);
// The frame-rate count, reading the millisecond clock.
void CountFrameRate(GameState& g);
