#include "app/command_line.h"

#include <cstdlib>

#include "app/settings.h"

const char kUsageText[] =
    "usage: orvendale [--window] [--size WxH]  play\n"
    "       orvendale --record FILE [--size WxH]\n"
    "                                       play and record the game into FILE\n"
    "       orvendale --replay FILE         watch a recorded game\n"
    "       orvendale --replay FILE --check replay without waiting and compare every frame\n"
    "                                       (exit 0 exact, 1 a frame differs, 2 FILE unusable)\n"
    "       orvendale --help                print this and exit\n"
    "  --window     play in a window, leaving the display's mode as it is\n"
    "  --size WxH   the window's width and height for this run instead of Settings.ini's\n"
    "               (for example 1024x768; 1 to 16384 a side)\n";

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

// Digits only: no sign, no blank, at most five of them (more is beyond any usable side).
bool ParseSide(const std::string& text, int* side) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    *side = std::atoi(text.c_str());
    return UsableWindowSide(*side);
}

// "WIDTHxHEIGHT", each side as the settings file would accept it.
bool ParseSize(const std::string& text, int* width, int* height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return ParseSide(text.substr(0, x), width) && ParseSide(text.substr(x + 1), height);
}

}  // namespace

LaunchOptions ParseLaunchOptions(const char* commandLine) {
    using Mode = LaunchOptions::Mode;
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    LaunchOptions o;
    LaunchOptions usage;
    usage.mode = Mode::Usage;
    bool record = false, replay = false, check = false, help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool haveNext = i + 1 < args.size();
        if ((arg == "--record" || arg == "--replay") && !record && !replay && haveNext &&
            IsFile(args[i + 1])) {
            (arg == "--record" ? record : replay) = true;
            o.file = args[++i];
        } else if (arg == "--check" && !check) {
            check = true;
        } else if (arg == "--window" && !o.window) {
            o.window = true;
        } else if (arg == "--size" && o.width == 0 && haveNext &&
                   ParseSize(args[i + 1], &o.width, &o.height)) {
            ++i;
        } else if (arg == "--help" && !help) {
            help = true;
        } else {
            return usage;
        }
    }
    if (help) {
        if (args.size() != 1) return usage;
        o.mode = Mode::Help;
        return o;
    }
    // A replay plays in the window it was recorded in; a recording of a game played in a
    // window would need the file to say so, which it cannot yet.
    if (check && !replay) return usage;
    if (replay && (o.window || o.width != 0)) return usage;
    if (record && o.window) return usage;
    o.mode = record ? Mode::Record : replay ? (check ? Mode::Check : Mode::Replay) : Mode::Play;
    return o;
}
