// A note for whoever started the program, before the game has a window: the usage, or why
// an option cannot be had. Written to standard output (a request for it, such as --help)
// or standard error; on Windows, where a program with a window has no console to write
// to, also shown in a message box, so that a double-click or a shortcut shows it too.
#pragma once

void TellStarter(const char* text, bool isError);
