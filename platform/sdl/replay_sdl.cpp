// The record-and-replay session of the SDL stand-in (see platform/replay.h).
//
// Recording collects the values in a block buffer and writes a whole block at every
// frame's end, at every pump that brought messages and before a message box, so a game
// that ends by Escape, by closing the window or at its game-over box leaves a complete
// file even if the process is then killed. A write error stops the recording with a
// note on the terminal; the game goes on.
//
// Replaying walks the decoded items in order. A call that asks for something else than
// the next item means the game has left the recording: a check reports the frame, a
// plain replay says so; either way the replay ends by closing the window, as it does when
// the recording runs out.
#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/replay.h"
#include "platform/sdl/replay_internal.h"
#include "platform/sdl/sdl_internal.h"

namespace orvreplay {
namespace {

enum class Mode { Off, Recording, Replaying, Ended };

// Blocks close at every frame; this only bounds a block that somehow gathers more.
const size_t kBlockSoftLimit = 64 * 1024;

struct Session {
    Mode mode = Mode::Off;
    std::string path;

    // Recording.
    FILE* out = nullptr;
    std::vector<uint8_t> payload;
    uint64_t quietPumps = 0;
    int64_t lastCounter = 0;
    int64_t lastMs = 0;

    // Replaying.
    ReplayFile file;
    size_t next = 0;
    int64_t quietLeft = 0;  // pumps left of the current QuietPumps item (0: not begun)
    bool check = false;
    bool finishedRecording = false;  // every recorded item was replayed
    bool viewerStopped = false;
    bool failed = false;  // a check found a difference, or the game left the recording
    std::string failure;
    bool warnedDifference = false;

    // Pacing of a plain replay: the recorded counter against the real one.
    int64_t recordedHz = 0;
    bool paceBegun = false;
    int64_t paceRecorded = 0;
    Uint64 paceReal = 0;

    uint32_t frames = 0;
};

Session& S() {
    static Session session;
    return session;
}

// --- recording ----------------------------------------------------------------------

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

// --- replaying ----------------------------------------------------------------------

// Ends a replay: the window is asked to close, as the player would, and from here on
// the calls answer for real.
void EndReplay() {
    Session& s = S();
    s.mode = Mode::Ended;
    orvsdl::WindowRecord* w = orvsdl::LatestWindow();
    if (w != nullptr) orvsdl::PostToQueue(orvsdl::ToHandle(w), WM_CLOSE, 0, 0);
}

void LeaveRecording(const std::string& why) {
    Session& s = S();
    s.failed = true;
    s.failure = why;
    if (!s.check) std::fprintf(stderr, "orvendale: replay of %s: %s; the replay ends.\n",
                               s.path.c_str(), why.c_str());
    EndReplay();
}

std::string FrameText(uint32_t frame) { return "frame " + std::to_string(frame); }

// The next recorded item if it is of the wanted kind; null (and the replay ended) when
// the recording has run out or holds something else here.
const Item* Take(ItemKind wanted) {
    Session& s = S();
    if (s.mode != Mode::Replaying) return nullptr;
    if (s.next >= s.file.items.size()) {
        s.finishedRecording = true;
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
    const Uint64 now = SDL_GetPerformanceCounter();
    if (!s.paceBegun) {
        s.paceBegun = true;
        s.paceRecorded = recordedTicks;
        s.paceReal = now;
        return;
    }
    const double recorded = (double)(recordedTicks - s.paceRecorded) / (double)s.recordedHz;
    const double real = (double)(now - s.paceReal) / (double)SDL_GetPerformanceFrequency();
    double ahead = recorded - real;
    // A long gap in the recording is not worth waiting out in full.
    if (ahead > 1.0) ahead = 1.0;
    if (ahead > 0.001) SDL_Delay((Uint32)(ahead * 1000.0));
}

bool ViewerEnds(const MSG& m) {
    return m.message == WM_CLOSE || (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE);
}

bool AskOnlyOk(UINT type) { return (type & 0xF) == MB_OK; }

int DefaultAnswer(UINT type) {
    switch (type & 0xF) {
        case MB_YESNO: return IDNO;
        case MB_OKCANCEL: return IDCANCEL;
        default: return IDOK;
    }
}

void FinishAtExit() { CloseRecording(); }

}  // namespace

// --- the session's interface ----------------------------------------------------------

bool Available() { return true; }

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
    while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
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
    s.mode = Mode::Replaying;
    return true;
}

void EndFrame(const FrameDigest& digest) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeFrame(s.frames, digest, Payload());
        ++s.frames;
        WriteBlock();
        return;
    }
    const Item* item = Take(ItemKind::Frame);
    if (item == nullptr) return;
    ++s.frames;
    DigestDifference d = CompareDigests(s.file.digests[(size_t)item->a], digest);
    if (d.field.empty()) return;
    const std::string text = FrameText(s.frames) + " differs in " + d.field + " (recorded " +
                             d.recorded + ", replayed " + d.replayed + ")";
    if (s.check) {
        LeaveRecording(text);
    } else if (!s.warnedDifference) {
        // A plain replay goes on showing what the game now does, for as long as it still
        // asks for what was recorded.
        s.warnedDifference = true;
        s.failed = true;
        s.failure = text;
        std::fprintf(stderr, "orvendale: replay of %s: %s\n", s.path.c_str(), text.c_str());
    }
}

bool Finish(Outcome* outcome) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        CloseRecording();
        return false;
    }
    if (s.mode != Mode::Replaying && s.mode != Mode::Ended) return false;
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

// --- the hooks ------------------------------------------------------------------------

bool ServesMessages() { return S().mode == Mode::Replaying; }

void OnFrequency(int64_t* hz) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeValue(ItemKind::Frequency, *hz, 0, Payload());
    } else if (const Item* item = Take(ItemKind::Frequency)) {
        *hz = item->a;
        s.recordedHz = item->a;
    }
}

void OnCounter(int64_t* ticks) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeValue(ItemKind::Counter, *ticks, s.lastCounter, Payload());
        s.lastCounter = *ticks;
    } else if (const Item* item = Take(ItemKind::Counter)) {
        *ticks = item->a;
        Pace(item->a);
    }
}

void OnMilliseconds(long* ms) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeValue(ItemKind::Milliseconds, *ms, s.lastMs, Payload());
        s.lastMs = *ms;
    } else if (const Item* item = Take(ItemKind::Milliseconds)) {
        *ms = (long)item->a;
    }
}

void OnCursor(LONG* x, LONG* y) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeCursor(*x, *y, Payload());
    } else if (const Item* item = Take(ItemKind::Cursor)) {
        *x = (LONG)item->a;
        *y = (LONG)item->b;
    }
}

void OnPump(std::deque<MSG>& queue, size_t firstNew) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        if (queue.size() == firstNew) {
            ++s.quietPumps;
            return;
        }
        std::vector<RecordedMessage> brought;
        for (size_t i = firstNew; i < queue.size(); ++i) {
            const MSG& m = queue[i];
            brought.push_back(RecordedMessage{m.message, (uint64_t)m.wParam, (int64_t)m.lParam,
                                              (uint8_t)(m.hwnd != nullptr ? 1 : 0)});
        }
        EncodeMessages(brought, Payload());
        // Escape, a close or a focus change is on disk at once.
        WriteBlock();
        return;
    }
    if (s.mode != Mode::Replaying) return;

    // Real input: only the player's Escape or close goes through, and ends the replay.
    for (size_t i = firstNew; i < queue.size(); ++i) {
        if (ViewerEnds(queue[i])) {
            MSG keep = queue[i];
            queue.erase(queue.begin() + (long)firstNew, queue.end());
            queue.push_back(keep);
            s.viewerStopped = true;
            s.mode = Mode::Ended;
            return;
        }
    }
    queue.erase(queue.begin() + (long)firstNew, queue.end());

    const Item* item = Take(ItemKind::Messages);
    if (item == nullptr || item->kind != ItemKind::Messages) return;
    orvsdl::WindowRecord* w = orvsdl::LatestWindow();
    for (int64_t i = 0; i < item->b; ++i) {
        const RecordedMessage& m = s.file.messages[(size_t)(item->a + i)];
        HWND target = (m.window != 0 && w != nullptr) ? orvsdl::ToHandle(w) : nullptr;
        orvsdl::PostToQueue(target, m.message, (WPARAM)m.wParam, (LPARAM)m.lParam);
    }
}

int OnMessageBox(UINT type, const std::function<int()>& show) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        // The box may wait for long, and the game may be ended while it is up.
        WriteBlock();
        const int answer = show();
        EncodeMessageBox(answer, (int64_t)type, Payload());
        WriteBlock();
        return answer;
    }
    if (s.mode == Mode::Replaying) {
        const Item* item = Take(ItemKind::MessageBox);
        if (item != nullptr) {
            // A box that only informs is shown and waits for the player, except in a
            // check; a question takes the recorded answer without asking again.
            if (!s.check && AskOnlyOk(type)) {
                show();
                s.paceBegun = false;
            }
            return (int)item->a;
        }
    }
    // A check never waits, not even after it has stopped.
    if (s.check) return DefaultAnswer(type);
    return show();
}

LONG OnDisplayMode(bool restore, const std::function<LONG()>& change) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        const LONG result = change();
        EncodeValue(ItemKind::DisplayMode, result, 0, Payload());
        return result;
    }
    if (s.mode == Mode::Replaying) {
        const Item* item = Take(ItemKind::DisplayMode);
        if (item != nullptr) {
            // The picture follows the recording where this display can; the game is told
            // what it was told then. A check leaves the display alone.
            if (!s.check && (restore || item->a == DISP_CHANGE_SUCCESSFUL)) change();
            return (LONG)item->a;
        }
    }
    if (s.check && !restore) return DISP_CHANGE_FAILED;
    return change();
}

}  // namespace orvreplay
