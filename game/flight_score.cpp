#include "game/flight_score.h"

#include <cmath>
#include <cstdio>

FlightScore ScoreOf(const GameState& g) {
    FlightScore s;
    const double flown = (double)g.totalTime - (double)kCountdownSeconds;
    s.hundredths = flown > 0.0 ? (int)std::floor(flown * 100.0 + 0.5) : 0;
    s.catches = g.collected[0] + g.collected[1] + g.collected[2];
    return s;
}

bool RanksAbove(const FlightScore& a, const FlightScore& b) {
    if (a.hundredths != b.hundredths) return a.hundredths > b.hundredths;
    return a.catches > b.catches;
}

void FormatScore(int hundredths, char* out, int size) {
    std::snprintf(out, (size_t)size, "%d.%02d", hundredths / 100, hundredths % 100);
}
