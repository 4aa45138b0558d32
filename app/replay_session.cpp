#include "app/replay_session.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/shell.h"
#include "core/game_random.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/replay.h"
#include "platform/starter_note.h"

namespace {

std::string g_file;
bool g_check = false;
bool g_replaying = false;
bool g_finished = false;
// A replay of a flight's recording that has not reached its flight yet, and its header.
bool g_flightWaiting = false;
orvreplay::Header g_flightHeader;

// A check that never reaches the end of the loop (the display or a font failed) must not
// look like a success.
void CheckCutShort() {
    if (!g_check || g_finished) return;
    orvreplay::Outcome outcome;
    const bool why = orvreplay::Finish(&outcome) && outcome.result != 0;
    std::printf("%s: the game stopped before the replay could be checked%s%s\n",
                g_file.c_str(), why ? ": " : "", why ? outcome.line.c_str() : "");
    std::fflush(stdout);
    std::_Exit(2);
}

}  // namespace

bool CheckingReplay() { return g_check; }

bool BeginReplaySession(const char* commandLine, int* width, int* height, bool* inWindow,
                        int* exitCode) {
    using Mode = LaunchOptions::Mode;
    const LaunchOptions o = ParseLaunchOptions(commandLine);
    if (o.mode == Mode::Help || o.mode == Mode::Usage) {
        TellStarter(kUsageText, o.mode == Mode::Usage);
        *exitCode = o.mode == Mode::Help ? kExitPlayed : kExitUsage;
        return false;
    }
    *inWindow = o.window;
    if (o.width != 0) {
        *width = o.width;
        *height = o.height;
    }
    if (o.mode == Mode::Play) return true;
    if (!orvreplay::Available()) {
        const char* note =
            "orvendale: --record and --replay are not available in this build of the game.\n";
        TellStarter(note, true);
        *exitCode = kExitUsage;
        return false;
    }
    if (o.mode == Mode::Record) {
        orvreplay::Header header;
        header.width = *width;
        header.height = *height;
        header.dataHash = HashDataFiles();
        std::string message;
        if (!orvreplay::StartRecording(o.file.c_str(), header, &message))
            std::fprintf(stderr, "orvendale: not recording: %s; the game starts anyway.\n",
                         message.c_str());
        return true;
    }
    g_file = o.file;
    g_check = o.mode == Mode::Check;
    orvreplay::Header header;
    std::string message;
    if (!orvreplay::StartReplay(o.file.c_str(), g_check, &header, &message)) {
        std::printf("%s: unusable: %s\n", o.file.c_str(), message.c_str());
        *exitCode = kExitUsage;
        return false;
    }
    if (header.dataHash != HashDataFiles())
        std::fprintf(stderr,
                     "orvendale: warning: %s was recorded with other data files; the replay "
                     "checks every frame as it goes.\n",
                     o.file.c_str());
    *width = header.width;
    *height = header.height;
    if (header.flightStart) {
        // A flight's recording does not say how the display was made: it plays in a
        // window, which asks the display nothing.
        *inWindow = true;
        g_flightWaiting = true;
        g_flightHeader = header;
    }
    g_replaying = true;
    std::atexit(CheckCutShort);
    return true;
}

orvreplay::FrameDigest TakeFrameDigest() {
    orvreplay::FrameDigest d;
    d.energy = game.energy;
    d.totalTime = game.totalTime;
    for (int i = 0; i < 4; ++i) d.meters[i] = game.zoneMeters[i];
    d.worldX = game.worldOffset.x;
    d.worldY = game.worldOffset.y;
    d.collectibleX = game.collectibleMatrix.m[12];
    d.collectibleY = game.collectibleMatrix.m[13];
    d.collectibleZ = game.collectibleMatrix.m[14];
    for (int i = 0; i < 3; ++i) d.collected[i] = game.collected[i];
    d.collectibleActive = game.collectibleActive;
    d.collectibleKind = game.collectibleKind;
    d.ringHead = landscape.head;
    return d;
}

bool ReplayingSession() { return g_replaying; }

bool BeginFlightSession(const char* path) {
    if (g_flightWaiting) {
        g_flightWaiting = false;
        SetGameRandState(g_flightHeader.randomState);
        hasFocus = g_flightHeader.focused;
        orvreplay::BeginFlightReplay();
        return false;
    }
    if (g_replaying || !orvreplay::Available()) return false;
    static const uint64_t dataHash = HashDataFiles();
    orvreplay::Header flight;
    flight.width = screenWidth;
    flight.height = screenHeight;
    flight.dataHash = dataHash;
    flight.randomState = GameRandState();
    flight.focused = hasFocus != 0 ? 1 : 0;
    flight.frequency = perfFrequency;
    std::string message;
    return orvreplay::StartFlightRecording(path, flight, &message);
}

bool EndFlightSession(std::string* why) { return orvreplay::FinishFlightRecording(why); }

void EndReplayFrame() { orvreplay::EndFrame(TakeFrameDigest()); }

int FinishReplaySession(int result) {
    g_finished = true;
    orvreplay::Outcome outcome;
    if (!orvreplay::Finish(&outcome) || !g_replaying) return result;
    std::printf("%s: %s\n", g_file.c_str(), outcome.line.c_str());
    std::fflush(stdout);
    return g_check ? outcome.result : result;
}
