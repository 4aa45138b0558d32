// Writing a recording. Values gather in the open block's payload; a whole block goes to
// the file at every frame's end, at every pump that brought messages and around a
// message box, so a game that ends by Escape, by closing the window or at its game-over
// box leaves a complete file even if the process is then killed. A write error stops the
// recording with a note on the terminal; the game goes on.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/replay_session_sdl.h"

namespace orvreplay {
namespace {

// Blocks close at every frame; this only bounds a block that somehow gathers more.
const size_t kBlockSoftLimit = 64 * 1024;

void StopRecording(const char* why) {
    Session& s = S();
    std::fprintf(stderr, "orvendale: recording to %s stopped: %s; the game goes on.\n",
                 s.path.c_str(), why);
    if (s.out != nullptr) std::fclose(s.out);
    s.out = nullptr;
    s.mode = Mode::Off;
}

void FlushQuietPumps() {
    Session& s = S();
    if (s.quietPumps == 0) return;
    EncodeQuietPumps(s.quietPumps, &s.payload);
    s.quietPumps = 0;
}

void FinishAtExit() { CloseRecording(); }

}  // namespace

Session& S() {
    static Session session;
    return session;
}

void NoteQuietPump() { ++S().quietPumps; }

void WriteBlock() {
    Session& s = S();
    if (s.mode != Mode::Recording) return;
    FlushQuietPumps();
    if (s.payload.empty()) return;
    std::vector<uint8_t> block;
    EncodeBlock(s.payload, &block);
    s.payload.clear();
    if (std::fwrite(block.data(), 1, block.size(), s.out) != block.size() ||
        std::fflush(s.out) != 0) {
        StopRecording(std::strerror(errno));
    }
}

// Before every item: a run of quiet pumps ends where something else happens.
std::vector<uint8_t>* Payload() {
    Session& s = S();
    FlushQuietPumps();
    if (s.payload.size() > kBlockSoftLimit) WriteBlock();
    return &s.payload;
}

void CloseRecording() {
    Session& s = S();
    if (s.mode != Mode::Recording) return;
    WriteBlock();
    if (s.mode != Mode::Recording) return;  // the last write failed and said so
    if (std::fclose(s.out) != 0) {
        s.out = nullptr;
        StopRecording(std::strerror(errno));
        return;
    }
    s.out = nullptr;
    s.mode = Mode::Off;
}

bool StartRecording(const char* path, const Header& header, std::string* message) {
    Session& s = S();
    s = Session();
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        *message = std::string("cannot create ") + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    EncodeHeader(header, &bytes);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0) {
        *message = std::string("cannot write ") + path + ": " + std::strerror(errno);
        std::fclose(f);
        return false;
    }
    s.path = path;
    s.out = f;
    s.mode = Mode::Recording;
    static bool registered = false;
    if (!registered) std::atexit(FinishAtExit);
    registered = true;
    return true;
}

}  // namespace orvreplay
