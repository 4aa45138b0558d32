// The results after a flight: the flight's last picture, kept as it was presented, with a
// panel over it in the game's fonts and the HUD's manner: this flight's score and what
// made it, the ten best flights with this one's row marked, and what the keys do.
// Everything is placed in normalised device coordinates, so it reads alike at every size.
#pragma once

#include "app/best_flights.h"
#include "assets/bitmap_font.h"

struct ResultsView {
    FlightRow flight;
    int rank = -1;         // this flight's row in `table`; -1 when it did not enter
    bool newBest = false;  // first, above every flight before it
    BestFlights table;
};

// Keeps the picture now in the back buffer (the last frame, before it is presented) as the
// results' background.
void KeepLastPicture(int width, int height);

// The kept picture with the panel over it, presented. Leaves the GL state as it found it.
void DrawResults(const ResultsView& view);

// The panel alone, under the caller's matrices: title and keys in `title` (font A), the
// rest in `text` (font B).
void DrawResultsPanel(const ResultsView& view, BitmapFont& title, BitmapFont& text);

// The panel's texts and where the table stands, as drawn (for the tests).
extern const char kFlyAgainKeysText[];
extern const float kResultsTextScale;    // font B's scale in the table
extern const float kResultsColumnX[6];   // rank, score, atoms, flowers, fractals, date
// The top of row `row` (0 the best) in normalised device coordinates; the glyphs hang
// below it.
float ResultsRowTop(int row);
