// A flight: from the countdown to game over, then the results until the player flies
// again. The first flight and every later one begin through StartFlight, so a new flight
// is exactly the game a new start gives (the random draws go on where they were, so it
// differs), and the frame and the rules within it know nothing of this.
#pragma once

#include "app/settings.h"
#include "app/steering.h"
#include "game/game_state.h"
#include "landscape/contour_landscape.h"

// The steering of the flight in progress.
extern Steering steering;
// The player's steering settings, read once at start-up; every flight steers with them.
extern SteeringSettings steeringSettings;

// The state a flight starts from, the same a new start gives: the game, the landscape's
// ring and the steering. The random generator is left where it is.
void ResetFlightState(GameState& g, ContourLandscape& land, Steering& s);

// Begins a flight: the fresh state, the cursor centred (and hidden again after the
// results) and the sound as at a new start; its own recording begins with the loop's
// next idle pass.
void StartFlight();

// The loop calls this whenever the message queue is empty, before it draws: the flight
// that began since is recorded from here on (and a replay of a flight's recording begins
// serving it here). With no message waiting, what the file holds from here is the same
// whatever the start-up or the results left behind.
void BeginDueFlightSession();

// Space, Enter, a click on the results, a pad's button: while the results are up, a new
// flight begins at once and this returns true; otherwise nothing happens.
bool FlyAgain();

// Whether a flight began and its recording has not: the loop goes round once more so
// that the flight's first frame, and what it reads, is the recording's first.
bool FlightSessionDue();

// Whether the results are up (the flight is over and its box confirmed).
bool ResultsShowing();

// The loop calls this once the game is over and the results are not up yet: the flight
// is scored, entered into the table, its recording kept or let go, and the results drawn.
void ShowResults();

// At the program's end: a flight still in the air is kept as the last flight.
void EndFlights();
