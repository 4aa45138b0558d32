#include "app/command_line.h"

const char kUsageText[] =
    "usage: orvendale                       play\n"
    "       orvendale --record FILE         play and record the game into FILE\n"
    "       orvendale --replay FILE         watch a recorded game\n"
    "       orvendale --replay FILE --check replay without waiting and compare every frame\n"
    "                                       (exit 0 exact, 1 a frame differs, 2 FILE unusable)\n";

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> args;
    if (commandLine == nullptr) return args;
    const char* p = commandLine;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (*p == '\0') break;
        std::string arg;
        bool quoted = false;
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t slashes = 0;
                while (*p == '\\') {
                    ++slashes;
                    ++p;
                }
                if (*p == '"') {
                    // 2n backslashes and a quote: n backslashes, and the quote groups;
                    // 2n + 1: n backslashes and a literal quote.
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++p;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (*p == '"') {
                // Inside quotes, a doubled quote is a literal one.
                if (quoted && p[1] == '"') {
                    arg += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

namespace {

// An option name in the place of the file is a mistake, not a file name.
bool IsFile(const std::string& arg) { return !arg.empty() && arg.compare(0, 2, "--") != 0; }

}  // namespace

LaunchOptions ParseLaunchOptions(const char* commandLine) {
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    LaunchOptions o;
    if (args.empty()) return o;
    o.mode = LaunchOptions::Mode::Usage;
    if (args.size() == 2 && args[0] == "--record" && IsFile(args[1])) {
        o.mode = LaunchOptions::Mode::Record;
        o.file = args[1];
    } else if (args.size() == 2 && args[0] == "--replay" && IsFile(args[1])) {
        o.mode = LaunchOptions::Mode::Replay;
        o.file = args[1];
    } else if (args.size() == 3 && args[0] == "--replay" && IsFile(args[1]) &&
               args[2] == "--check") {
        o.mode = LaunchOptions::Mode::Check;
        o.file = args[1];
    } else if (args.size() == 3 && args[0] == "--check" && args[1] == "--replay" &&
               IsFile(args[2])) {
        o.mode = LaunchOptions::Mode::Check;
        o.file = args[2];
    }
    return o;
}
