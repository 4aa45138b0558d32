// Walking a replay: the decoded items are served in order. A call that asks for something
// else than the next item means the game has left the recording: a check reports the
// frame, a plain replay says so; either way the replay ends by closing the window, as it
// does when the recording runs out.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/standin/replay_session_state.h"
#include "platform/standin/standin.h"

namespace orvreplay {
namespace {

// Ends a replay: the window is asked to close, as the player would, and from here on
// the calls answer for real.
void EndReplay() {
    Session& s = S();
    s.mode = Mode::Ended;
    orvstandin::Window* w = orvstandin::LatestWindow();
    if (w != nullptr) orvstandin::PostToQueue(orvstandin::ToHandle(w), WM_CLOSE, 0, 0);
}

}  // namespace

void LeaveRecording(const std::string& why) {
    Session& s = S();
    s.failed = true;
    s.failure = why;
    if (!s.check) std::fprintf(stderr, "orvendale: replay of %s: %s; the replay ends.\n",
                               s.path.c_str(), why.c_str());
    EndReplay();
}

std::string FrameText(uint32_t frame) { return "frame " + std::to_string(frame); }

const Item* Take(ItemKind wanted) {
    Session& s = S();
    if (s.mode != Mode::Replaying) return nullptr;
    if (s.next >= s.file.items.size()) {
        EndReplay();
        return nullptr;
    }
    const Item& item = s.file.items[s.next];
    const bool pump = wanted == ItemKind::Messages || wanted == ItemKind::QuietPumps;
    const bool pumpItem = item.kind == ItemKind::Messages || item.kind == ItemKind::QuietPumps;
    if (pump ? !pumpItem : item.kind != wanted) {
        LeaveRecording(FrameText(s.frames + 1) + " differs: the game read " + ItemName(wanted) +
                       " where the recording has " + ItemName(item.kind));
        return nullptr;
    }
    if (item.kind == ItemKind::QuietPumps) {
        if (s.quietLeft == 0) s.quietLeft = item.a;
        if (--s.quietLeft == 0) ++s.next;
    } else {
        ++s.next;
    }
    return &item;
}

void Pace(int64_t recordedTicks) {
    Session& s = S();
    if (s.check || s.recordedHz <= 0) return;
    const uint64_t now = orvstandin::NativeCounter();
    if (!s.paceBegun) {
        s.paceBegun = true;
        s.paceRecorded = recordedTicks;
        s.paceReal = now;
        return;
    }
    const double recorded = (double)(recordedTicks - s.paceRecorded) / (double)s.recordedHz;
    const double real = (double)(now - s.paceReal) / (double)orvstandin::NativeCounterFrequency();
    double ahead = recorded - real;
    // A long gap in the recording is not worth waiting out in full.
    if (ahead > 1.0) ahead = 1.0;
    if (ahead > 0.001) orvstandin::SleepMilliseconds((unsigned)(ahead * 1000.0));
}

bool StartReplay(const char* path, bool check, Header* header, std::string* message) {
    Session& s = S();
    s = Session();
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        *message = std::string("cannot open it: ") + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) {
        *message = "cannot read it";
        return false;
    }
    std::string error;
    if (ReadReplay(bytes.data(), bytes.size(), &s.file, &error) != ReadResult::Ok) {
        *message = error;
        s = Session();
        return false;
    }
    *header = s.file.header;
    s.path = path;
    s.check = check;
    s.mode = s.file.header.flightStart ? Mode::Waiting : Mode::Replaying;
    return true;
}

void BeginFlightReplay() {
    Session& s = S();
    if (s.mode == Mode::Waiting) s.mode = Mode::Replaying;
}

bool Finish(Outcome* outcome) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        CloseRecording();
        return false;
    }
    if (s.mode != Mode::Replaying && s.mode != Mode::Ended && s.mode != Mode::Waiting)
        return false;
    size_t recordedFrames = s.file.digests.size();
    if (s.failed) {
        outcome->result = 1;
        outcome->line = s.failure;
    } else if (s.viewerStopped) {
        outcome->result = 1;
        outcome->line = "stopped by the player after " + FrameText(s.frames) + " of " +
                        std::to_string(recordedFrames);
    } else if (s.frames < recordedFrames) {
        outcome->result = 1;
        outcome->line = "the game ended after " + FrameText(s.frames) +
                        "; the recording goes on to frame " + std::to_string(recordedFrames);
    } else {
        outcome->result = 0;
        outcome->line = "exact, " + std::to_string(s.frames) + " frames";
    }
    s = Session();
    return true;
}

}  // namespace orvreplay
