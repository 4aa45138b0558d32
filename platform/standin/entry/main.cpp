// The process entry on systems without Win32: hands control to the game's WinMain with
// the arguments Windows would give it.
#include <windows.h>

#include <string>

#include "platform/standin/command_line.h"

int main(int argc, char** argv) {
    std::string commandLine = orvstandin::JoinCommandLine(argc - 1, argv + 1);
    return WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
}
