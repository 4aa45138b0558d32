// The head-up display, drawn in normalised device coordinates (-1..1, y up) at the end of
// every frame: the start countdown and the "SLIDE !" banner, then the energy and zone
// bars, the three collection counters and the frame rate.
#pragma once

#include "assets/bitmap_font.h"
#include "assets/stroke_font.h"
#include "game/game_state.h"

// Countdown while totalTime < 3 (font B), banner once it is above 3 (font A).
void DrawStartTexts(const GameState& g, BitmapFont& fontA, BitmapFont& fontB);
// "PAUSED" across the middle of the picture while the game is paused (font A).
void DrawPauseText(const GameState& g, BitmapFont& fontA);
// Energy bar, zone bars, counters (font B at 0.65) and the frame rate (stroke font).
void DrawBarsCountersAndRate(const GameState& g, BitmapFont& fontB, StrokeFont& stroke);
