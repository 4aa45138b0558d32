// The program's options, read from the command line as Windows hands it over (one string,
// split by the rules of the Microsoft C runtime), so the same code reads it on every
// build.
#pragma once

#include <string>
#include <vector>

// Splits a command line into arguments: blanks separate them, double quotes group, and
// backslashes escape a quote only when they stand right before one.
std::vector<std::string> SplitCommandLine(const char* commandLine);

struct LaunchOptions {
    enum class Mode { Play, Record, Replay, Check, Usage };
    Mode mode = Mode::Play;
    std::string file;
};

// No arguments: Play. "--record FILE", "--replay FILE", "--replay FILE --check" (or with
// --check first). Anything else: Usage.
LaunchOptions ParseLaunchOptions(const char* commandLine);

extern const char kUsageText[];
