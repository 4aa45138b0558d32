// Where the stand-in runs the program has a terminal, or its output goes to a log.
#include "platform/starter_note.h"

#include <cstdio>

void TellStarter(const char* text, bool isError) {
    std::fputs(text, isError ? stderr : stdout);
    std::fflush(isError ? stderr : stdout);
}
