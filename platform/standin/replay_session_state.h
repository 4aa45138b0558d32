// The state of the record-and-replay session and the steps its files share. Private to the
// stand-ins: replay_record.cpp writes a recording, replay_play.cpp walks a
// replay, replay_hooks.cpp puts both under the stand-in's calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/replay.h"

namespace orvreplay {

// Waiting: a replay of a flight's recording while the game starts, before the flight
// begins; the calls answer for real, except that the counter's frequency is the
// recorded one and real input is held back as in a replay.
enum class Mode { Off, Recording, Replaying, Ended, Waiting };

struct Session {
    Mode mode = Mode::Off;
    std::string path;

    // Recording: the whole session (--record) to `out`, the flight in progress to
    // `flightOut`, each block to both. Recording while either is open.
    FILE* out = nullptr;
    FILE* flightOut = nullptr;
    std::string flightPath;
    std::string flightFailure;  // why the flight's file could not be written whole
    std::vector<uint8_t> payload;
    uint64_t quietPumps = 0;
    int64_t lastCounter = 0;
    int64_t lastMs = 0;

    // Replaying.
    ReplayFile file;
    size_t next = 0;
    int64_t quietLeft = 0;  // pumps left of the current QuietPumps item (0: not begun)
    bool check = false;
    bool viewerStopped = false;
    bool failed = false;  // a check found a difference, or the game left the recording
    std::string failure;
    bool warnedDifference = false;

    // Pacing of a plain replay: the recorded counter against the real one.
    int64_t recordedHz = 0;
    bool paceBegun = false;
    int64_t paceRecorded = 0;
    uint64_t paceReal = 0;

    // The clocks as the recording last gave them. Once a replay has ended the game only
    // finishes its frame and closes; held there, its clocks show no time passing, where
    // the machine's clock would hand it one frame as long as the whole replay (and with
    // it a sudden game over).
    bool clocksServed = false;
    int64_t servedCounter = 0;
    long servedMs = 0;

    uint32_t frames = 0;
};

Session& S();

// Recording (replay_record.cpp).
// The payload of the open block; a run of quiet pumps ends where the next item begins.
std::vector<uint8_t>* Payload();
// Counts one pump that brought nothing.
void NoteQuietPump();
// Writes the open block to the file (the recording stops, with a note, if it cannot).
void WriteBlock();
void CloseRecording();

// Replaying (replay_play.cpp).
// The next recorded item if it is of the wanted kind (a pump takes quiet pumps and
// messages alike); null, and the replay ended, when the recording has run out or holds
// something else here.
const Item* Take(ItemKind wanted);
// Ends a replay that went wrong at this point, saying why.
void LeaveRecording(const std::string& why);
// Sleeps so that a plain replay keeps the recorded pace.
void Pace(int64_t recordedTicks);
std::string FrameText(uint32_t frame);

}  // namespace orvreplay
