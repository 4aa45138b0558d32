#include "platform/starter_note.h"

#include <windows.h>

#include <cstdio>

void TellStarter(const char* text, bool isError) {
    std::fputs(text, isError ? stderr : stdout);
    std::fflush(isError ? stderr : stdout);
    MessageBoxA(nullptr, text, "Orvendale", MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}
