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
    enum class Mode { Play, Record, Replay, Check, Help, Usage };
    Mode mode = Mode::Play;
    std::string file;
    // --window: a window of the size, the display's mode left as it is.
    bool window = false;
    // --size WIDTHxHEIGHT: this run's size instead of the settings file's; 0 when not given.
    int width = 0;
    int height = 0;
};

// No arguments: Play. "--record FILE", "--replay FILE", "--replay FILE --check", the
// options in any order; "--window" and "--size WIDTHxHEIGHT" with play, "--size" also
// with --record (the file keeps the size; a replay takes it from there). "--help" alone:
// Help. Anything else, a repeated option or a size the settings file would refuse too:
// Usage.
LaunchOptions ParseLaunchOptions(const char* commandLine);

extern const char kUsageText[];
