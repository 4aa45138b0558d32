// The application's side of record and replay: reads the options, starts the platform
// layer's session with what the file must know about this game (window size, the data
// files' hash), hands down a digest of the game state after every frame and reports how
// a replay went.
#pragma once

#include <cstdint>

#include "platform/replay_file.h"

// Called once, after the settings are read and before anything is read from the platform
// layer. Reads the command line: a replay takes its window size from the file, --size
// sets it for this run, and *inWindow tells whether to play in a window without changing
// the display's mode (--window). Returns false when the game must not start (help, usage,
// an unusable replay file), with the program's result in *exitCode.
bool BeginReplaySession(const char* commandLine, int* width, int* height, bool* inWindow,
                        int* exitCode);

// True while a replay is being checked: it runs without waiting and makes no sound.
bool CheckingReplay();

// After every frame.
void EndReplayFrame();

// When the loop has ended: the program's result. A check returns its own (0 exact,
// 1 a frame differs); otherwise `result` is returned as it is.
int FinishReplaySession(int result);

// FNV-1a over the names and bytes of the data files the game loads; a missing file counts
// as its name alone.
uint64_t HashDataFiles();

// The digest of the game state after a frame.
orvreplay::FrameDigest TakeFrameDigest();
