// The whole program under test plays, in a child process, in a scratch copy of the data
// folder, as a player's game plays in its own: these make that folder, step into it and
// take it away again.
#pragma once

#include <string>

// Copies the shipped data files into a new folder /tmp/orvendale-<what>-XXXXXX and makes
// it the working directory. Ends the process with `failCode` when that cannot be done.
std::string EnterScratchDataFolder(const char* what, int failCode);

// Writes a Settings.ini of that size into the working directory.
void WriteSettingsSize(int width, int height);

// Removes the folder; says so on standard error when it cannot.
void RemoveScratchFolder(const std::string& dir);
