// The table of best flights on disk, in the game's folder beside the kept recordings.
// Two games may end a flight at the same moment: each takes the folder's lock file,
// reads the table as it is then, puts its own row in and writes it whole (a temporary
// file renamed over the old one), so both rows are kept. A table that cannot be read is
// set aside under another name and a new one starts; one that cannot be written costs
// one line and the game plays on.
#pragma once

#include <string>
#include <vector>

#include "app/best_flights.h"

extern const char kBestFlightsFile[];    // "best_flights.txt"
extern const char kLastFlightFile[];     // "last_flight.orvr": the latest flight, always kept

struct FlightEntry {
    int rank = -1;          // the flight's row in `table`, -1 when it did not enter
    bool newBest = false;   // it is first, above every flight before it
    bool written = false;   // the table on disk holds it
    BestFlights table;      // the table after this flight (as it would be, if not written)
    std::vector<std::string> notes;  // lines for the terminal, one per thing gone wrong
};

// Enters the flight of `row` (its recording, if any, lies in `folder` under
// row.recording) into the table in `folder` ("" for the working directory, else ending
// in a separator). The recordings of rows pushed out are removed.
FlightEntry EnterFlight(const std::string& folder, const FlightRow& row);

// Reads the table without changing anything; a missing or unreadable one reads as empty.
BestFlights ReadBestFlights(const std::string& folder);

// Puts the flight's recording `name` in `folder` in place as the last flight: moved when
// the table does not name it, copied when it does. False, with `why`, on failure.
bool KeepAsLastFlight(const std::string& folder, const std::string& name, bool inTable,
                      std::string* why);

// Puts `from` in place of `to` in one step (a reader sees the old file or the new one).
bool ReplaceFileWhole(const std::string& from, const std::string& to);
