// The whole program, WinMain itself, when the display cannot be made: each failing step
// ends the program with the display-failure result (3), never with the 0 of a game the
// player ended, and Engine.log says which step failed and why on the line after
// "Init engine ...", the lines before it as always. Answering No to the question whether
// to play in a window is the player's choice and still ends with 0, with no such line.
// Each case runs in a child process of its own, in a scratch copy of the data folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sdl/seam.h"
#include "tests/entry/scratch_folder.h"

namespace {

struct Case {
    const char* name;
    // The call that fails (Call::Count: none), and whether the mode switch is refused so
    // that the game asks; the answer the question gets (0: the box cannot be shown).
    orvseam::Call failing;
    bool refuseMode;
    int answer;
    int result;
    const char* lastLine;
};

const Case kCases[] = {
    {"NoWindow", orvseam::Call::CreateWindowEx, false, 0, 3,
     "    Failed: Unable to create the main window."},
    {"NoDeviceContext", orvseam::Call::GetDC, false, 0, 3,
     "    Failed: Unable to create a GL device context."},
    {"NoPixelFormat", orvseam::Call::ChoosePixelFormat, false, 0, 3,
     "    Failed: Unable to find a suitable pixelformat."},
    {"PixelFormatRefused", orvseam::Call::SetPixelFormat, false, 0, 3,
     "    Failed: Unable to set the pixelformat."},
    {"NoContext", orvseam::Call::wglCreateContext, false, 0, 3,
     "    Failed: Unable to create a GL rendering context."},
    {"ContextNotActivated", orvseam::Call::wglMakeCurrent, false, 0, 3,
     "    Failed: Unable to activate the GL rendering context."},
    {"QuestionCannotBeShown", orvseam::Call::MessageBox, true, 0, 3,
     "    Failed: Unable to set fullscreen mode, and the question whether to play in a "
     "window could not be shown."},
    {"PlayerAnswersNo", orvseam::Call::Count, true, IDNO, 0, "Init engine ..."},
};

// Prints Engine.log as one line, '|' between its lines, and ends with WinMain's result.
void RunProgram(const Case& c) {
    int dw = 0, dh = 0;
    if (!orvseam::DesktopSize(&dw, &dh)) std::exit(100);
    const std::string dir = EnterScratchDataFolder("display", 101);
    // The desktop's own size, the one mode the test's X server has.
    WriteSettingsSize(dw, dh);

    orvseam::Reset();
    if (c.refuseMode) orvseam::FailNext(orvseam::Call::ChangeDisplaySettings);
    if (c.failing != orvseam::Call::Count) orvseam::FailNext(c.failing);
    if (c.answer != 0) orvseam::QueueMessageBoxAnswer(c.answer);
    // The message box of a failed step, answered at once.
    if (c.failing != orvseam::Call::MessageBox) orvseam::QueueMessageBoxAnswer(IDOK);
    char noArguments[] = "";
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWDEFAULT);

    std::ifstream log("Engine.log");
    std::string line, joined;
    while (std::getline(log, line)) joined += line + "|";
    std::fprintf(stderr, "log: %s\n", joined.c_str());
    RemoveScratchFolder(dir);
    std::exit(result);
}

// A regular expression that matches `text` as it stands (the death test's output is
// matched as a POSIX extended expression).
std::string Literally(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (std::string("\\^$.|?*+()[]{}").find(ch) != std::string::npos) out += '\\';
        out += ch;
    }
    return out;
}

class DisplayFailureTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        int w = 0, h = 0;
        if (!orvseam::DesktopSize(&w, &h)) GTEST_SKIP() << "no display";
    }
};

TEST_P(DisplayFailureTest, EndsWithItsResultAndTheReasonInTheLog) {
    const Case& c = GetParam();
    const std::string log = std::string("log: __________Engine - Log__________|") +
                            "Loading objects ..|    OK|Init engine ...|" +
                            (c.result == 0 ? "" : std::string(c.lastLine) + "|") + "\n";
    EXPECT_EXIT(RunProgram(c), ::testing::ExitedWithCode(c.result), Literally(log));
    // A child that failed before its clean-up leaves its folder: it goes now.
    SweepScratchFolders();
}

INSTANTIATE_TEST_SUITE_P(EveryStep, DisplayFailureTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
