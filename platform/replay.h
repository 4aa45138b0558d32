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

// Reads and checks the whole file. check: run without waiting and stop at the first
// frame that differs. On failure `message` says why and no replay is active.
bool StartReplay(const char* path, bool check, Header* header, std::string* message);

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
