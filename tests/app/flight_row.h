// A row of the best flights' table for tests: a score in hundredths of a second, the
// catches of each kind, a fixed date and, if given, the flight's recording.
#pragma once

#include <string>

#include "app/best_flights.h"

inline FlightRow Row(int hundredths, int a, int f, int x, const std::string& recording = "") {
    FlightRow r;
    r.score.hundredths = hundredths;
    r.score.catches = a + f + x;
    r.collected[0] = a;
    r.collected[1] = f;
    r.collected[2] = x;
    r.date = "2026-12-11 06:01";
    r.recording = recording;
    return r;
}
