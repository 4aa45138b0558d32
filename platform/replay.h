// Record and replay, a feature of the platform layer. While recording, every value the
// game reads from the outside world through the layer (the performance counter and its
// frequency, the millisecond clock, the cursor position, the window messages the event
// queue brings, message-box answers and display-mode results) is written to a file as the
// game reads it. While replaying, the same calls answer from the file instead, and real
// input is ignored except Escape and closing the window, which end the replay.
//
// The application starts one session before its first read from the layer, hands down a
// digest of its state after every frame, and finishes the session when its loop ends.
// Without a session the layer behaves exactly as if this did not exist.
#pragma once

#include <string>

#include "platform/replay_file.h"

namespace orvreplay {

// Creates the file and writes the header. On failure, `message` says why and nothing is
// recorded.
bool StartRecording(const char* path, const Header& header, std::string* message);

// Starts recording a flight to a file of its own, beside the whole session's recording
// if there is one: from the next value the game reads, the file holds the flight alone.
// `flight` gives the size, the data hash and what the flight starts from (random state,
// focus, frequency); the layer adds the clocks' last readings. On failure `message` says
// why and nothing is recorded of this flight. A flight still being recorded is finished.
bool StartFlightRecording(const char* path, const Header& flight, std::string* message);
// Ends the flight's file. False, with `message`, when the file could not be written whole
// (or no flight was being recorded).
bool FinishFlightRecording(std::string* message);

// Reads and checks the whole file. check: run without waiting and stop at the first
// frame that differs. On failure `message` says why and no replay is active.
bool StartReplay(const char* path, bool check, Header* header, std::string* message);

// A replay of a file that starts at a flight's first frame (Header::flightStart) waits
// while the game starts: the calls answer for real (except the counter's frequency, which
// is the recorded one) and real input is held back. The game calls this when its flight
// begins, with the state the header describes in place; from here the file is served.
void BeginFlightReplay();

// Whether the layer was built with recording at all (the Windows build is not).
bool Available();

// After every frame. Recording: writes the digest. Replaying: compares it with the one
// recorded at the same frame.
void EndFrame(const FrameDigest& digest);

// How a replay went, once the game's loop has ended.
struct Outcome {
    // 0 exact (every recorded frame replayed the same), 1 a frame differs or the replay
    // stopped early.
    int result = 0;
    // One line that says so, without the file name.
    std::string line;
};

// Ends the session: a recording is flushed and closed; a replay reports its outcome.
// Returns false when there was no replay.
bool Finish(Outcome* outcome);

}  // namespace orvreplay
