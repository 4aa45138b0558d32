// The record-and-replay session under the stand-in's calls (see platform/replay.h and
// replay_internal.h): each hook writes the value down while recording and serves the
// recorded one while replaying; the frame's end writes or compares the digest.
#include <cstdio>

#include "platform/standin/replay_internal.h"
#include "platform/standin/replay_session_state.h"
#include "platform/standin/standin.h"

namespace orvreplay {
namespace {

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

}  // namespace

bool Available() { return true; }

namespace {
void (*g_frameObserver)(const FrameDigest&) = nullptr;
}  // namespace

void SetFrameObserver(void (*observer)(const FrameDigest& digest)) { g_frameObserver = observer; }

void EndFrame(const FrameDigest& digest) {
    if (g_frameObserver != nullptr) g_frameObserver(digest);
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

// --- the hooks ------------------------------------------------------------------------

bool ServesMessages() { return S().mode == Mode::Replaying; }

void OnFrequency(int64_t* hz) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeValue(ItemKind::Frequency, *hz, 0, Payload());
    } else if (s.mode == Mode::Waiting) {
        *hz = s.file.header.frequency;
        s.recordedHz = *hz;
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
        s.clocksServed = true;
        s.servedCounter = item->a;
        Pace(item->a);
    } else if (s.mode == Mode::Ended && s.clocksServed) {
        *ticks = s.servedCounter;
    }
}

void OnMilliseconds(long* ms) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        EncodeValue(ItemKind::Milliseconds, *ms, s.lastMs, Payload());
        s.lastMs = *ms;
    } else if (const Item* item = Take(ItemKind::Milliseconds)) {
        *ms = (long)item->a;
        s.servedMs = *ms;
    } else if (s.mode == Mode::Ended && s.clocksServed) {
        *ms = s.servedMs;
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

void OnPad(DWORD userIndex, DWORD* result, XINPUT_STATE* state) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        RecordedPad pad;
        pad.user = userIndex;
        pad.result = *result;
        if (*result == ERROR_SUCCESS) {
            const XINPUT_GAMEPAD& g = state->Gamepad;
            pad.packet = state->dwPacketNumber;
            pad.buttons = g.wButtons;
            pad.leftTrigger = g.bLeftTrigger;
            pad.rightTrigger = g.bRightTrigger;
            pad.thumbs[0] = g.sThumbLX;
            pad.thumbs[1] = g.sThumbLY;
            pad.thumbs[2] = g.sThumbRX;
            pad.thumbs[3] = g.sThumbRY;
        }
        EncodePad(pad, Payload());
        return;
    }
    if (s.mode != Mode::Replaying) return;
    // The player's own pads play no part in a replay.
    *result = ERROR_DEVICE_NOT_CONNECTED;
    *state = XINPUT_STATE{};
    if (s.file.header.version < kFirstVersionWithPads) return;
    const Item* item = Take(ItemKind::Pad);
    if (item == nullptr) return;
    const RecordedPad& pad = s.file.pads[(size_t)item->a];
    if (pad.user != userIndex) {
        LeaveRecording(FrameText(s.frames + 1) + " differs: the game read pad " +
                       std::to_string(userIndex) + " where the recording has pad " +
                       std::to_string(pad.user));
        return;
    }
    *result = pad.result;
    if (pad.result != ERROR_SUCCESS) return;
    state->dwPacketNumber = pad.packet;
    state->Gamepad.wButtons = pad.buttons;
    state->Gamepad.bLeftTrigger = pad.leftTrigger;
    state->Gamepad.bRightTrigger = pad.rightTrigger;
    state->Gamepad.sThumbLX = pad.thumbs[0];
    state->Gamepad.sThumbLY = pad.thumbs[1];
    state->Gamepad.sThumbRX = pad.thumbs[2];
    state->Gamepad.sThumbRY = pad.thumbs[3];
}

void OnPump(std::deque<MSG>& queue, size_t firstNew) {
    Session& s = S();
    if (s.mode == Mode::Recording) {
        if (queue.size() == firstNew) {
            NoteQuietPump();
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
    if (s.mode != Mode::Replaying && s.mode != Mode::Waiting) return;

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
    if (s.mode == Mode::Waiting) return;

    const Item* item = Take(ItemKind::Messages);
    if (item == nullptr || item->kind != ItemKind::Messages) return;
    orvstandin::Window* w = orvstandin::LatestWindow();
    for (int64_t i = 0; i < item->b; ++i) {
        const RecordedMessage& m = s.file.messages[(size_t)(item->a + i)];
        HWND target = (m.window != 0 && w != nullptr) ? orvstandin::ToHandle(w) : nullptr;
        orvstandin::PostToQueue(target, m.message, (WPARAM)m.wParam, (LPARAM)m.lParam);
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
