// Where the stand-in's calls meet the record-and-replay session. Private to the stand-ins.
// Each hook is called with the value the call would return on its own; while recording
// it writes that value down, while replaying it replaces it with the recorded one, and
// otherwise it leaves it alone.
#pragma once

#include <windows.h>
#include <xinput.h>

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/replay.h"

namespace orvreplay {

// True while a replay serves the messages: a call that waits for input must not wait on
// the real event queue then, because what comes next is already in the file.
bool ServesMessages();

void OnFrequency(int64_t* ticksPerSecond);
void OnCounter(int64_t* ticks);
void OnMilliseconds(long* ms);
void OnCursor(LONG* x, LONG* y);
// XInputGetState of slot `userIndex`: the result and, when it is ERROR_SUCCESS, the state.
// A replay of a file from before pads were recorded finds no pad in any slot.
void OnPad(DWORD userIndex, DWORD* result, XINPUT_STATE* state);

// After a pump of the event queue has appended queue[firstNew..] from outside: recorded,
// or, in a replay, swapped for the recorded messages of this pump (unless the viewer
// pressed Escape or closed the window, which ends the replay).
void OnPump(std::deque<MSG>& queue, size_t firstNew);

// show: puts up the box and waits for its answer.
int OnMessageBox(UINT type, const std::function<int()>& show);
// change: makes the change on the display and reports its result.
LONG OnDisplayMode(bool restore, const std::function<LONG()>& change);

// Called with every frame's digest, recorded or not: a stand-in that shows the game's
// state to someone (the browser's page, to its tests) sets it once.
void SetFrameObserver(void (*observer)(const FrameDigest& digest));

}  // namespace orvreplay
