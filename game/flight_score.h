// A flight's score: the time flown from "SLIDE !" to game over, in hundredths of a
// second. Every catch, every move between the zones and every mistake shows in it, and
// paused time is not in it (the game's clock stands still while paused). Of two flights
// as long, the one with more catches ranks higher.
#pragma once

#include "game/game_state.h"

// The countdown's length: "SLIDE !" shows once the play time is past it.
const float kCountdownSeconds = 3.0f;

struct FlightScore {
    int hundredths = 0;  // seconds flown x 100, rounded
    int catches = 0;     // atoms + flowers + fractals
};

// The score of the flight `g` describes (at game over): never below 0.
FlightScore ScoreOf(const GameState& g);

// Whether `a` ranks above `b`. Equal scores rank neither above the other.
bool RanksAbove(const FlightScore& a, const FlightScore& b);

// "12.34": the score as the player reads it.
void FormatScore(int hundredths, char* out, int size);
