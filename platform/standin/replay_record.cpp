// Writing a recording. Values gather in the open block's payload; a whole block goes to
// the file at every frame's end, at every pump that brought messages and around a
// message box, so a game that ends by Escape, by closing the window or at its game-over
// box leaves a complete file even if the process is then killed. A write error stops the
// recording with a note on the terminal; the game goes on.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/standin/replay_session_state.h"

namespace orvreplay {
namespace {

// Blocks close at every frame; this only bounds a block that somehow gathers more.
const size_t kBlockSoftLimit = 64 * 1024;

bool g_atExit = false;  // the files are closed when the program exits

// Recording goes on while either file is open.
void SettleMode() {
    Session& s = S();
    if (s.out == nullptr && s.flightOut == nullptr) s.mode = Mode::Off;
}

void StopRecording(const char* why) {
    Session& s = S();
    std::fprintf(stderr, "orvendale: recording to %s stopped: %s; the game goes on.\n",
                 s.path.c_str(), why);
    if (s.out != nullptr) std::fclose(s.out);
    s.out = nullptr;
    SettleMode();
}

// The flight's file says nothing on the terminal here: the game reports how the flight
// was kept once it is over.
void StopFlightRecording(const char* why) {
    Session& s = S();
    if (s.flightFailure.empty()) s.flightFailure = std::string("cannot write ") + s.flightPath + ": " + why;
    if (s.flightOut != nullptr) std::fclose(s.flightOut);
    s.flightOut = nullptr;
    SettleMode();
}

bool WriteAll(FILE* f, const std::vector<uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
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
    if (s.out != nullptr && !WriteAll(s.out, block)) StopRecording(std::strerror(errno));
    if (s.flightOut != nullptr && !WriteAll(s.flightOut, block))
        StopFlightRecording(std::strerror(errno));
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
    // A flight still in the air when the game ends is kept as far as it went.
    if (s.flightOut != nullptr) {
        std::string message;
        FinishFlightRecording(&message);
    }
    if (s.out == nullptr) return;  // the last write failed and said so
    if (std::fclose(s.out) != 0) {
        s.out = nullptr;
        StopRecording(std::strerror(errno));
        return;
    }
    s.out = nullptr;
    SettleMode();
}

bool StartFlightRecording(const char* path, const Header& flight, std::string* message) {
    Session& s = S();
    if (s.mode != Mode::Off && s.mode != Mode::Recording) {
        *message = "a replay is playing";
        return false;
    }
    if (s.flightOut != nullptr) FinishFlightRecording(message);
    // What the session gathered before the flight is not the flight's.
    WriteBlock();
    Header h = flight;
    h.version = kFormatVersion;
    h.flightStart = true;
    h.counterBase = s.mode == Mode::Recording ? s.lastCounter : 0;
    h.msBase = s.mode == Mode::Recording ? s.lastMs : 0;
    h.firstFrame = s.frames;
    FILE* f = std::fopen(path, "wb");
    if (f == nullptr) {
        *message = std::string("cannot create ") + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    EncodeHeader(h, &bytes);
    if (!WriteAll(f, bytes)) {
        *message = std::string("cannot write ") + path + ": " + std::strerror(errno);
        std::fclose(f);
        return false;
    }
    if (s.mode == Mode::Off) {
        s.lastCounter = 0;
        s.lastMs = 0;
    }
    s.flightOut = f;
    s.flightPath = path;
    s.flightFailure.clear();
    s.mode = Mode::Recording;
    if (!g_atExit) std::atexit(FinishAtExit);
    g_atExit = true;
    return true;
}

bool FinishFlightRecording(std::string* message) {
    Session& s = S();
    if (s.flightOut == nullptr && s.flightFailure.empty() && s.flightPath.empty()) {
        *message = "no flight is being recorded";
        return false;
    }
    WriteBlock();
    if (s.flightOut != nullptr && std::fclose(s.flightOut) != 0 && s.flightFailure.empty())
        s.flightFailure = std::string("cannot write ") + s.flightPath + ": " + std::strerror(errno);
    s.flightOut = nullptr;
    s.flightPath.clear();
    SettleMode();
    *message = s.flightFailure;
    s.flightFailure.clear();
    return message->empty();
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
    if (!g_atExit) std::atexit(FinishAtExit);
    g_atExit = true;
    return true;
}

}  // namespace orvreplay
