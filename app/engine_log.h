// Engine.log: the start-up progress log in the working directory. Each write opens,
// appends and closes the file, so every line is on disk when the call returns. A log
// that cannot be opened (a read-only folder) simply loses the line.
#pragma once

void StartLog();
void LogLine(const char* text);
