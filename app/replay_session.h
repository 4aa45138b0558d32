// The application's side of record and replay: reads the options, starts the platform
// layer's session with what the file must know about this game (window size, the data
// files' hash), hands down a digest of the game state after every frame and reports how
// a replay went.
#pragma once

#include <cstdint>
#include <string>

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

// True while a replay is watched or checked: the game then keeps nothing on disk (no
// table of best flights, no recordings of its own).
bool ReplayingSession();

// At every flight's start, with the flight's fresh state in place. A replay of a
// flight's recording puts the random generator and the focus where the recording began
// and begins serving it. Otherwise, unless a replay runs, the flight is recorded to a file
// of its own, `path`: true when its recording began.
bool BeginFlightSession(const char* path);

// Once the flight is over (its box confirmed): its recording ends. False, with `why`, when
// it could not be written whole.
bool EndFlightSession(std::string* why);

// When the loop has ended: the program's result. A check returns its own (0 exact,
// 1 a frame differs); otherwise `result` is returned as it is.
int FinishReplaySession(int result);

// FNV-1a over the names and bytes of the data files the game loads; a missing file counts
// as its name alone.
uint64_t HashDataFiles();

// The digest of the game state after a frame.
orvreplay::FrameDigest TakeFrameDigest();
