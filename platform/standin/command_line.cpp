#include "platform/standin/command_line.h"

namespace orvstandin {
namespace {

void AppendQuoted(const std::string& arg, std::string* line) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        *line += arg;
        return;
    }
    *line += '"';
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote gets one of its own.
        if (c == '"') line->append(slashes * 2 + 1, '\\');
        else line->append(slashes, '\\');
        slashes = 0;
        *line += c;
    }
    // Backslashes before the closing quote are doubled too.
    line->append(slashes * 2, '\\');
    *line += '"';
}

}  // namespace

std::string JoinCommandLine(int count, const char* const* args) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        if (i > 0) line += ' ';
        AppendQuoted(args[i], &line);
    }
    return line;
}

}  // namespace orvstandin
