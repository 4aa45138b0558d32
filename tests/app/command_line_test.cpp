// The options: the command line split by the C runtime's rules, the stand-in's joining of
// argv as their exact inverse (so a file name with blanks, quotes or backslashes arrives
// whole), and the table of what the game makes of its arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/standin/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, SplitsByTheRuntimesRules) {
    struct Case {
        const char* line;
        Args args;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"--record a.orvr", {"--record", "a.orvr"}},
        {"  --replay\t\tb  ", {"--replay", "b"}},
        {"\"my games/run 1.orvr\"", {"my games/run 1.orvr"}},
        {"a\"b c\"d e", {"ab cd", "e"}},
        {"\"\"", {""}},
        {"C:\\games\\x.orvr", {"C:\\games\\x.orvr"}},
        {"a\\\\\\\"b", {"a\\\"b"}},      // 3 backslashes and a quote: one backslash, a quote
        {"\"a\\\\\" b", {"a\\", "b"}},   // 2 backslashes and a quote: one backslash, quote ends
        {"a\\\\b", {"a\\\\b"}},          // backslashes not before a quote stay
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"unterminated here", {"unterminated here"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
    EXPECT_EQ(SplitCommandLine(nullptr), Args());
}

TEST(CommandLineTest, JoiningArgvIsTheInverseOfSplitting) {
    const Args tricky[] = {
        {"--record", "plain.orvr"},
        {"--record", "with space.orvr"},
        {"--replay", "tab\there", "--check"},
        {"--replay", "quote\"inside"},
        {"--replay", "ends with backslash\\"},
        {"--replay", "C:\\dir with space\\"},
        {"--replay", "back\\\\\"slashes\\\"and quotes"},
        {"--replay", ""},
        {"\\\\server\\share\\x"},
    };
    for (const Args& args : tricky) {
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        const std::string line = orvstandin::JoinCommandLine((int)argv.size(), argv.data());
        EXPECT_EQ(SplitCommandLine(line.c_str()), args) << line;
    }
    // Arguments that need no quotes are passed as they are.
    const char* plain[] = {"--replay", "a.orvr", "--check"};
    EXPECT_EQ(orvstandin::JoinCommandLine(3, plain), "--replay a.orvr --check");
}

TEST(CommandLineTest, OptionsTable) {
    using Mode = LaunchOptions::Mode;
    struct Case {
        const char* line;
        Mode mode;
        const char* file;
    };
    const Case cases[] = {
        {"", Mode::Play, ""},
        {"  ", Mode::Play, ""},
        {"--record game.orvr", Mode::Record, "game.orvr"},
        {"--replay game.orvr", Mode::Replay, "game.orvr"},
        {"--replay game.orvr --check", Mode::Check, "game.orvr"},
        {"--check --replay game.orvr", Mode::Check, "game.orvr"},
        {"--replay \"a b.orvr\" --check", Mode::Check, "a b.orvr"},
        {"--record", Mode::Usage, ""},
        {"--replay", Mode::Usage, ""},
        {"--check", Mode::Usage, ""},
        {"--record \"\"", Mode::Usage, ""},
        {"--replay --check", Mode::Usage, ""},
        {"--record --replay", Mode::Usage, ""},
        {"--record a --replay b", Mode::Usage, ""},
        {"--replay b --record a", Mode::Usage, ""},
        {"--record a --check", Mode::Usage, ""},
        {"--replay a --check extra", Mode::Usage, ""},
        {"--replay a b", Mode::Usage, ""},
        {"--REPLAY a", Mode::Usage, ""},
        {"game.orvr", Mode::Usage, ""},
        {"-replay a", Mode::Usage, ""},
    };
    for (const Case& c : cases) {
        const LaunchOptions o = ParseLaunchOptions(c.line);
        EXPECT_EQ(o.mode, c.mode) << c.line;
        EXPECT_EQ(o.file, c.file) << c.line;
    }
}

// --window, --size and --help: what each combination means, and the sizes refused as the
// settings file refuses them (0 or beyond 16384 a side, anything not plain digits).
TEST(CommandLineTest, WindowSizeAndHelpTable) {
    using Mode = LaunchOptions::Mode;
    struct Case {
        const char* line;
        Mode mode;
        bool window;
        int width;
        int height;
    };
    const Case cases[] = {
        {"--window", Mode::Play, true, 0, 0},
        {"--size 800x600", Mode::Play, false, 800, 600},
        {"--size 1x16384", Mode::Play, false, 1, 16384},
        {"--window --size 1280x720", Mode::Play, true, 1280, 720},
        {"--size 1280x720 --window", Mode::Play, true, 1280, 720},
        {"--record a.orvr --size 800x600", Mode::Record, false, 800, 600},
        {"--size 800x600 --record a.orvr", Mode::Record, false, 800, 600},
        {"--help", Mode::Help, false, 0, 0},
        // A replay has the window it was recorded in; a recording cannot yet keep --window.
        {"--replay a.orvr --window", Mode::Usage, false, 0, 0},
        {"--replay a.orvr --size 800x600", Mode::Usage, false, 0, 0},
        {"--replay a.orvr --check --size 800x600", Mode::Usage, false, 0, 0},
        {"--record a.orvr --window", Mode::Usage, false, 0, 0},
        {"--help --window", Mode::Usage, false, 0, 0},
        {"--window --window", Mode::Usage, false, 0, 0},
        {"--size 800x600 --size 640x480", Mode::Usage, false, 0, 0},
        {"--size", Mode::Usage, false, 0, 0},
        {"--size --window", Mode::Usage, false, 0, 0},
        {"--size 0x600", Mode::Usage, false, 0, 0},
        {"--size 800x0", Mode::Usage, false, 0, 0},
        {"--size 16385x600", Mode::Usage, false, 0, 0},
        {"--size 99999999999x600", Mode::Usage, false, 0, 0},
        {"--size -800x600", Mode::Usage, false, 0, 0},
        {"--size +800x600", Mode::Usage, false, 0, 0},
        {"--size 800X600", Mode::Usage, false, 0, 0},
        {"--size 800x600x2", Mode::Usage, false, 0, 0},
        {"--size x600", Mode::Usage, false, 0, 0},
        {"--size 800x", Mode::Usage, false, 0, 0},
        {"--size \"800 x600\"", Mode::Usage, false, 0, 0},
    };
    for (const Case& c : cases) {
        const LaunchOptions o = ParseLaunchOptions(c.line);
        EXPECT_EQ(o.mode, c.mode) << c.line;
        if (o.mode == Mode::Usage) continue;
        EXPECT_EQ(o.window, c.window) << c.line;
        EXPECT_EQ(o.width, c.width) << c.line;
        EXPECT_EQ(o.height, c.height) << c.line;
    }
}

}  // namespace
