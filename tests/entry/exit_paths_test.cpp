// The whole program, WinMain itself, on each way it ends after a full-screen start: every
// one of them gives the desktop its mode back. Each path runs in a child process of its
// own (a fresh program, as a player starts it) in a scratch copy of the data folder, with
// the platform seam recording the mode changes in the order the program made them.
#include <windows.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sdl/seam.h"
#include "tests/entry/scratch_folder.h"

namespace {

enum class Ending { Escape, FontFails, GlFailsAfterTheSwitch };

// Runs the program in a scratch data folder whose Settings.ini asks for the desktop's own
// size (the only mode the test's X server has, so the switch succeeds), and ends the
// child process with 0 when the desktop got its mode back, 1 when it did not.
void RunProgram(Ending ending) {
    int dw = 0, dh = 0;
    if (!orvseam::DesktopSize(&dw, &dh)) std::exit(3);
    const std::string dir = EnterScratchDataFolder("exit", 4);
    WriteSettingsSize(dw, dh);

    orvseam::Reset();
    int expectedResult = 0;
    switch (ending) {
        case Ending::Escape:
            orvseam::PushKeyDown(VK_ESCAPE);
            break;
        case Ending::FontFails:
            std::remove("font_tech.tga");
            expectedResult = -1;
            break;
        case Ending::GlFailsAfterTheSwitch:
            orvseam::FailNext(orvseam::Call::wglCreateContext);
            expectedResult = 3;
            orvseam::QueueMessageBoxAnswer(IDOK);
            break;
    }
    char noArguments[] = "";
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWDEFAULT);

    const auto& modes = orvseam::ModeChanges();
    std::fprintf(stderr, "result %d;", result);
    for (const auto& m : modes)
        std::fprintf(stderr, " mode %dx%d flags %u -> %ld;", m.width, m.height, m.flags, m.result);
    std::fprintf(stderr, " %s\n", orvseam::DisplayModeChanged() ? "mode held" : "desktop back");
    const bool ok = result == expectedResult && modes.size() == 2 && modes[0].width == dw &&
                    modes[0].height == dh && modes[0].flags == CDS_FULLSCREEN &&
                    modes[0].result == DISP_CHANGE_SUCCESSFUL && modes[1].width == 0 &&
                    modes[1].height == 0 && !orvseam::DisplayModeChanged();
    RemoveScratchFolder(dir);
    std::exit(ok ? 0 : 1);
}

class ExitPathsTest : public ::testing::TestWithParam<Ending> {
protected:
    void SetUp() override {
        // Each child starts the program afresh instead of inheriting this one's state.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        int w = 0, h = 0;
        if (!orvseam::DesktopSize(&w, &h)) GTEST_SKIP() << "no display";
    }
};

TEST_P(ExitPathsTest, TheDesktopGetsItsModeBack) {
    EXPECT_EXIT(RunProgram(GetParam()), ::testing::ExitedWithCode(0), "desktop back");
    // A child that failed before its clean-up leaves its folder: it goes now.
    SweepScratchFolders();
}

INSTANTIATE_TEST_SUITE_P(EveryEnding, ExitPathsTest,
                         ::testing::Values(Ending::Escape, Ending::FontFails,
                                           Ending::GlFailsAfterTheSwitch),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             switch (info.param) {
                                 case Ending::Escape: return "Escape";
                                 case Ending::FontFails: return "FontFails";
                                 default: return "GlFailsAfterTheSwitch";
                             }
                         });

}  // namespace
