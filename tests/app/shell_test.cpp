// The shell's own steps: the log, the settings, the steering arithmetic and the window
// procedure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/engine_log.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/steering.h"
#include "app/window_proc.h"
#include "objects/ship.h"
#include "platform/sdl/seam.h"

namespace {

// Runs each test in a fresh scratch folder, as the game runs in its data folder.
class InScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvendale-shell-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_NE(getcwd(old_, sizeof(old_)), nullptr);
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(old_), 0);
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static std::string Read(const char* name) {
        std::ifstream f(name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void Write(const char* name, const std::string& text) {
        std::ofstream f(name, std::ios::binary);
        f << text;
    }
    std::string dir_;
    char old_[4096];
};

using EngineLogTest = InScratchFolder;

TEST_F(EngineLogTest, HeaderAndLinesExactlyAndASecondRunReplaces) {
    StartLog();
    LogLine("Loading objects ..");
    LogLine("    OK");
    EXPECT_EQ(Read("Engine.log"),
              "__________Engine - Log__________\nLoading objects ..\n    OK\n");
    StartLog();
    LogLine("Rendering !");
    EXPECT_EQ(Read("Engine.log"), "__________Engine - Log__________\nRendering !\n");
}

TEST_F(EngineLogTest, AnUnopenableLogDropsTheLine) {
    // A folder where the log should be: fopen fails even for root.
    ASSERT_EQ(mkdir("Engine.log", 0755), 0);
    StartLog();
    LogLine("Loading objects ..");
    struct stat st;
    ASSERT_EQ(stat("Engine.log", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    // Each line opens the log afresh: once the way is clear, the next line lands there.
    ASSERT_EQ(rmdir("Engine.log"), 0);
    LogLine("    OK");
    EXPECT_EQ(Read("Engine.log"), "    OK\n");
}

using SettingsTest = InScratchFolder;

TEST_F(SettingsTest, BothKeysOrNeither) {
    struct Case {
        const char* text;  // null: no file
        int width, height;
    };
    const Case cases[] = {
        {nullptr, 640, 480},
        {"n_Width = 800; n_Height = 600;", 800, 600},
        {"// size\nn_Height = 768;\nn_Width = 1024;\n", 1024, 768},
        {"n_Width = 800;", 640, 480},
        {"n_Height = 600;", 640, 480},
        {"n_Width = 800; n_Height = 600", 640, 480},  // parse fails: no semicolon
        {"n_Width = 800.5; n_Height = 600;", 640, 480},
        {"n_Width = 0; n_Height = 600;", 640, 480},
        {"n_Width = 100000; n_Height = 600;", 640, 480},
        {"n_Width = 0x7FFFFFFF; n_Height = 0x7FFFFFFF;", 640, 480},
        {"n_Width = 0xFFFFFFFF; n_Height = 600;", 640, 480},  // -1 as a 32-bit int
        {"", 640, 480},
    };
    for (const Case& c : cases) {
        std::remove("Settings.ini");
        if (c.text) Write("Settings.ini", c.text);
        int w = -5, h = -5;
        ReadWindowSize("Settings.ini", &w, &h);
        EXPECT_EQ(w, c.width) << (c.text ? c.text : "(no file)");
        EXPECT_EQ(h, c.height) << (c.text ? c.text : "(no file)");
    }
}

class SteeringTest : public ::testing::Test {
protected:
    void SetUp() override {
        orvseam::Reset();
        ShowCursor(FALSE);  // as the game: the cursor is hidden and re-centred
        screenWidth = 640;
        screenHeight = 480;
        mouseCentre = {320, 240};
        SetCursorPos(320, 240);
    }
    void TearDown() override {
        ShowCursor(TRUE);
        orvseam::Reset();
    }
    float StepWithMotion(int dx, int dy) {
        orvseam::PushMouseMotion(dx, dy);
        SteerStep(steering, g, ship);
        return steering.steerTarget.x;
    }
    Steering steering;
    GameState g;
    Ship ship;
};

TEST_F(SteeringTest, IntegerDivisionOfTheMovementByFive) {
    struct Case {
        int dx;
        float added;
    };
    const Case cases[] = {{4, 0.0f}, {-4, 0.0f}, {5, 1.0f}, {12, 2.0f}, {-7, -1.0f}, {-10, -2.0f}};
    for (const Case& c : cases) {
        float before = steering.steerTarget.x;
        EXPECT_EQ(StepWithMotion(c.dx, 0) - before, c.added) << c.dx;
    }
    // Every step re-centres: two moves of 4 never add up.
    float before = steering.steerTarget.x;
    StepWithMotion(4, 0);
    StepWithMotion(4, 0);
    EXPECT_EQ(steering.steerTarget.x, before);
}

TEST_F(SteeringTest, TheWorldClosesAFifteenthOfItsDistanceEachStep) {
    g.collectibleMatrix.Identity();
    g.collectibleMatrix.m[12] = 100.0f;
    g.frameTime = 0.0f;
    StepWithMotion(150, -75);  // target (30, -15)
    const float tx = (0.0f - 30.0f) * 0.06666667f;
    const float ty = (0.0f - -15.0f) * 0.06666667f;
    EXPECT_FLOAT_EQ(g.worldOffset.x, -tx);
    EXPECT_FLOAT_EQ(g.worldOffset.y, -ty);
    EXPECT_FLOAT_EQ(g.collectibleMatrix.m[12], 100.0f - tx);
    EXPECT_FLOAT_EQ(g.collectibleMatrix.m[13], -ty);
    // With no frame time the camera only damps: eye at (0, 10, -30).
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[12], 0.0f);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[13], 10.0f);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[14], -30.0f);
    EXPECT_GT(g.cameraMatrix.m[10], 0.9f) << "looking along +z";
}

TEST_F(SteeringTest, TheCameraSwaysWithTheFrameTime) {
    g.frameTime = 0.1f;
    StepWithMotion(50, 0);  // target x 10
    const float gap = g.worldOffset.x - 10.0f;
    const float sway = (0.0f + gap * 0.1f * 0.5f) * 0.9090909f;
    EXPECT_FLOAT_EQ(steering.cameraSway.x, sway);
    EXPECT_FLOAT_EQ(g.cameraMatrix.m[12], sway);
}

TEST_F(SteeringTest, TheShipGetsThePreviousCameraMatrix) {
    g.cameraMatrix.Identity();
    g.cameraMatrix.m[12] = 7.0f;
    StepWithMotion(0, 0);
    EXPECT_EQ(ship.viewMatrix.m[12], 7.0f);
    EXPECT_EQ(ship.dirty, 1);
}

TEST(WindowProcTest, FocusAndEscape) {
    orvseam::Reset();
    hasFocus = 1;
    EXPECT_EQ(WindowProc(nullptr, WM_KILLFOCUS, 0, 0), 0);
    EXPECT_EQ(hasFocus, 0);
    EXPECT_EQ(WindowProc(nullptr, WM_SETFOCUS, 0, 0), 0);
    EXPECT_EQ(hasFocus, 1);
    const int cursor = orvseam::CursorShowCount();
    EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(orvseam::CursorShowCount(), cursor) << "other keys do nothing";

    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.lpszClassName = "ShellTestWindow";
    RegisterClassExA(&wc);
    HWND w = CreateWindowExA(0, "ShellTestWindow", "t", WS_POPUP, 0, 0, 32, 32, nullptr, nullptr,
                             nullptr, nullptr);
    if (w == nullptr) GTEST_SKIP() << "no display";
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(WindowProc(w, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_EQ(orvseam::CursorShowCount(), cursor + 1);
    // Escape -> WM_CLOSE -> destroyed -> WM_QUIT with 0.
    bool quit = false;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(m.wParam, (WPARAM)0);
        }
    EXPECT_TRUE(quit);
    ShowCursor(FALSE);
}

}  // namespace
