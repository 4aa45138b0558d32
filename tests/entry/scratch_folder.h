// The whole program under test plays, in a child process, in a scratch copy of the data
// folder, as a player's game plays in its own: these make that folder, step into it and
// take it away again. A child that crashes, hangs or is killed cannot take its folder
// away: each folder names its owner, and folders whose owner is gone are swept.
#pragma once

#include <string>

// Copies the shipped data files into a new folder /tmp/orvendale-entry-<what>-XXXXXX,
// owned by this process, and makes it the working directory. Ends the process with
// `failCode` when that cannot be done. The process dies with the test that started it
// (a test binary killed at its timeout leaves no game running), and ends itself with
// SIGALRM after `deadlineSeconds`, a safety net for a program that hangs.
std::string EnterScratchDataFolder(const char* what, int failCode, int deadlineSeconds = 120);

// Writes a Settings.ini of that size into the working directory.
void WriteSettingsSize(int width, int height);

// Removes the folder; says so on standard error when it cannot.
void RemoveScratchFolder(const std::string& dir);

// Removes the scratch folders whose owning process has ended (a child that failed before
// its clean-up, or a run killed outright); folders of running tests stay.
void SweepScratchFolders();
