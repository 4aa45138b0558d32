// The table of the ten best flights, as the text a person can read in the game's folder:
//
//   orvendale best flights, version 1
//   # score  atoms flowers fractals  date time  recording
//   23.41 2 1 0 2026-12-11 06:01 flight-20261211-060102-4242-1.orvr
//
// One row a flight, best first; the recording is the kept replay of that flight beside
// the table, or "-" when it has none. A file whose version line is not this one, or with
// any line that is not a row, a comment or the version, is not read at all: the caller
// sets it aside whole, so that nothing in it is lost by a silent drop.
#pragma once

#include <string>
#include <vector>

#include "game/flight_score.h"

const int kBestFlightsKept = 10;
extern const char kBestFlightsVersionLine[];

struct FlightRow {
    FlightScore score;
    int collected[3] = {0, 0, 0};
    std::string date;       // "2026-12-11 06:01", local time at game over
    std::string recording;  // the kept replay's file name, "" for none
};

struct BestFlights {
    std::vector<FlightRow> rows;  // best first, at most kBestFlightsKept
};

std::string FormatBestFlights(const BestFlights& table);

// False, with `why` (which line and what is wrong with it), for a file that is not a
// table of this version; `table` is then empty.
bool ParseBestFlights(const std::string& text, BestFlights* table, std::string* why);

// Puts `row` in its place: below every row it does not rank above, so that of equal
// flights the earlier keeps its place. Returns its index, or -1 when ten better or equal
// flights are there. Rows pushed out of the ten are appended to `dropped`.
int InsertFlight(BestFlights* table, const FlightRow& row, std::vector<FlightRow>* dropped);

// Whether `name` may be a recording the table names: a plain file name in the game's
// folder, never a path.
bool IsRecordingName(const std::string& name);
