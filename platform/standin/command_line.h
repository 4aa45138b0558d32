// The command line as Windows would hand it to WinMain: the arguments after the program's
// name in one string, each quoted where it must be so that the C runtime's rules split
// it back into the same arguments (blanks, quotes and backslashes included).
#pragma once

#include <string>

namespace orvstandin {

std::string JoinCommandLine(int count, const char* const* args);

}  // namespace orvstandin
