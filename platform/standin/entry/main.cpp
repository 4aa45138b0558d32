// The process entry on systems without Win32: hands control to the game's WinMain with
// the arguments Windows would give it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/standin/command_line.h"

int main(int argc, char** argv) {
    std::string commandLine = orvstandin::JoinCommandLine(argc - 1, argv + 1);
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
    // Said outright, as returning from main says it: in the browser main has handed the
    // thread back to the page many times by now, and only an explicit exit still ends
    // the program there and tells the page its result.
    std::exit(result);
}
