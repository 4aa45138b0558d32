#include "app/flight.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/best_flights_file.h"
#include "app/local_time.h"
#include "app/replay_session.h"
#include "app/results_panel.h"
#include "app/shell.h"
#include "app/startup.h"
#include "audio/sound.h"
#include "game/flight_score.h"
#include "game/frame_driver.h"
#include "game/world.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

Steering steering;
SteeringSettings steeringSettings;

namespace {

bool g_results = false;
bool g_sessionDue = false;  // the flight's recording begins at the loop's next idle pass
int g_flights = 0;
std::string g_recording;  // this flight's recording in the game's folder; "" for none

// A name no other flight, of this game or another running beside it, takes.
std::string NewRecordingName() {
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = (int)getpid();
#endif
    return "flight-" + LocalTime("%Y%m%d-%H%M%S") + "-" + std::to_string(pid) + "-" +
           std::to_string(g_flights) + ".orvr";
}

void KeepPicture() { KeepLastPicture(screenWidth, screenHeight); }

}  // namespace

void ResetFlightState(GameState& g, ContourLandscape& land, Steering& s) {
    g = GameState();
    land.Restart();
    s = Steering();
}

void StartFlight() {
    const bool again = g_flights > 0;
    ++g_flights;
    ResetFlightState(game, landscape, steering);
    steering.sensitivity = steeringSettings.sensitivity;
    steering.invertY = steeringSettings.invertY;
    CentreMouse();
    if (again) {
        // The box showed the cursor for the results; the flight hides it again.
        ShowCursor(FALSE);
        RestartSound();
    }
    g_results = false;
    beforeLastPresent = KeepPicture;
    g_recording.clear();
    g_sessionDue = true;
}

void BeginDueFlightSession() {
    if (!g_sessionDue) return;
    g_sessionDue = false;
    g_recording = NewRecordingName();
    if (!BeginFlightSession(g_recording.c_str())) g_recording.clear();
}

bool FlyAgain() {
    if (!g_results) return false;
    StartFlight();
    return true;
}

bool FlightSessionDue() { return g_sessionDue; }

bool ResultsShowing() { return g_results; }

void ShowResults() {
    g_results = true;
    ResultsView view;
    view.flight.score = ScoreOf(game);
    for (int k = 0; k < 3; ++k) view.flight.collected[k] = game.collected[k];
    view.flight.date = LocalTime("%Y-%m-%d %H:%M");

    bool recorded = false;
    std::string why;
    if (!g_recording.empty()) recorded = EndFlightSession(&why);

    if (ReplayingSession()) {
        // A replay shows the flight against the table as it is, and keeps nothing.
        view.table = ReadBestFlights("");
        std::vector<FlightRow> dropped;
        view.rank = InsertFlight(&view.table, view.flight, &dropped);
        // A flight flown before is no news: no title, no figure.
        view.newBest = false;
    } else {
        FlightRow row = view.flight;
        if (recorded) row.recording = g_recording;
        FlightEntry entry = EnterFlight("", row);
        view.table = entry.table;
        view.rank = entry.rank;
        view.newBest = entry.newBest;
        if (!recorded && !g_recording.empty()) {
            entry.notes.push_back("orvendale: this flight's recording is not kept: " + why + ".");
            std::remove(g_recording.c_str());
        } else if (recorded) {
            std::string keepWhy;
            if (!KeepAsLastFlight("", g_recording, entry.written && entry.rank >= 0, &keepWhy))
                entry.notes.push_back(std::string("orvendale: ") + kLastFlightFile +
                                      " cannot be written (" + keepWhy + ").");
        }
        for (const std::string& note : entry.notes) std::fprintf(stderr, "%s\n", note.c_str());
        std::fflush(stderr);
    }
    g_recording.clear();
    if (view.newBest) PlayNewBestFigure();
    DrawResults(view);
}

void EndFlights() {
    if (g_results || g_recording.empty() || ReplayingSession()) return;
    std::string why;
    if (EndFlightSession(&why)) KeepAsLastFlight("", g_recording, false, &why);
    else std::remove(g_recording.c_str());
    g_recording.clear();
}
