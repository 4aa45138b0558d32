// The program's results, one place for all of them; the manual page lists the same.
#pragma once

// The player ended the game: Escape, the window closed, the game-over box confirmed, or
// No to the question whether to play in a window.
const int kExitPlayed = 0;
// A replay check found a frame that differs.
const int kExitCheckDiffers = 1;
// The command line was not understood, replays are not in this build, or a replay file
// cannot be used (or a check stopped before the game's loop).
const int kExitUsage = 2;
// The display could not be made: no window, no pixel format, no GL context, or a
// question that could not be shown. Engine.log says which step and why.
const int kExitDisplayFailed = 3;
// A font could not be loaded (255 as a process status on Linux).
const int kExitFontFailed = -1;
