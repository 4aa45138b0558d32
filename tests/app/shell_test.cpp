// The shell's own steps: the log, the settings and the window procedure.
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
#include "app/window_proc.h"
#include "audio/sound.h"
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

TEST_F(SettingsTest, SoundIsOnUnlessNSoundIsZero) {
    struct Case {
        const char* text;  // null: no file
        bool on;
    };
    const Case cases[] = {
        {nullptr, true},
        {"n_Width = 800; n_Height = 600;", true},  // a file from before the key
        {"n_Width = 800; n_Height = 600; n_Sound = 0;", false},
        {"n_Sound = 1;", true},
        {"n_Sound = 0;", false},
        {"n_Sound = 0.0;", true},   // not an integer: the key is not used
        {"n_Sound = 0", true},      // parse fails: no semicolon
        {"", true},
    };
    for (const Case& c : cases) {
        std::remove("Settings.ini");
        if (c.text) Write("Settings.ini", c.text);
        EXPECT_EQ(ReadSoundOn("Settings.ini"), c.on) << (c.text ? c.text : "(no file)");
    }
}

TEST_F(SettingsTest, SteeringSensitivityAndInversionForMouseAndPad) {
    struct Case {
        const char* text;  // null: no file
        int sensitivity;
        bool invertY;
    };
    const Case cases[] = {
        {nullptr, 100, false},
        {"n_Width = 800; n_Height = 600;", 100, false},  // a file from before the keys
        {"n_Sensitivity = 150;", 150, false},
        {"n_Sensitivity = 1; n_InvertY = 1;", 1, true},
        {"n_Sensitivity = 1000;", 1000, false},
        {"n_Sensitivity = 1001;", 100, false},  // out of range: as without the key
        {"n_Sensitivity = 0;", 100, false},
        {"n_Sensitivity = -50;", 100, false},
        {"n_Sensitivity = 75.5;", 100, false},  // not an integer
        {"n_InvertY = 0;", 100, false},
        {"n_InvertY = 2;", 100, true},
        {"n_Width = 800; n_Height = 600; n_InvertY = 1; n_Sensitivity = 40;", 40, true},
    };
    for (const Case& c : cases) {
        std::remove("Settings.ini");
        if (c.text) Write("Settings.ini", c.text);
        const SteeringSettings s = ReadSteeringSettings("Settings.ini");
        EXPECT_EQ(s.sensitivity, c.sensitivity) << (c.text ? c.text : "(no file)");
        EXPECT_EQ(s.invertY, c.invertY) << (c.text ? c.text : "(no file)");
    }
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
    EXPECT_FALSE(SoundMuted());
    EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'M', 0), 0);
    EXPECT_TRUE(SoundMuted()) << "M mutes";
    EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'M', 0), 0);
    EXPECT_FALSE(SoundMuted()) << "and M again unmutes";

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
