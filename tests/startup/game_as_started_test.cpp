// The game as the player starts it: the real WinMain, run in a folder of its own with the
// shipped data files, stopped at the start of its first frame. There the test sees what
// every start-up step left behind (the window and the cursor, the objects, the display's
// mode, the GL defaults, the fonts, the mouse centre and the log), then closes the window
// as a player would. Any start-up step dropped from WinMain fails here.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

namespace fs = std::filesystem;

namespace {

// What the first frame starts from.
struct FirstFrame {
    bool seen = false;
    GLboolean lineSmooth = GL_FALSE, light0 = GL_FALSE, lighting = GL_FALSE,
              colourMaterial = GL_FALSE;
    GLint lineSmoothHint = 0;
    int fractalVertices = 0, flowerVertices = 0, atomVertices = 0;
    bool shipModel = false;
    bool atomViewZero = false;
    int strokeGlyphs = 0, fontATexture = -1, fontBTexture = -1;
    MouseCentre centre{0, 0};
    Vec3 worldOffset{1.0f, 1.0f, 1.0f};
    int cursorShowCount = 0;
    int width = 0, height = 0;
};

FirstFrame g_first;

void LookAtTheFirstFrame() {
    if (g_first.seen) return;
    FirstFrame& f = g_first;
    f.seen = true;
    f.lineSmooth = glIsEnabled(GL_LINE_SMOOTH);
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &f.lineSmoothHint);
    f.light0 = glIsEnabled(GL_LIGHT0);
    f.lighting = glIsEnabled(GL_LIGHTING);
    f.colourMaterial = glIsEnabled(GL_COLOR_MATERIAL);
    f.fractalVertices = fractal.vertices.count;
    f.flowerVertices = flower.vertices.count;
    f.atomVertices = atom.vertices.count;
    f.shipModel = ship.model != nullptr;
    f.atomViewZero = true;
    for (float v : atom.viewMatrix.m) f.atomViewZero = f.atomViewZero && v == 0.0f;
    f.strokeGlyphs = strokeFont.glyphCount;
    f.fontATexture = fontA.texture;
    f.fontBTexture = fontB.texture;
    f.centre = mouseCentre;
    f.worldOffset = game.worldOffset;
    f.cursorShowCount = orvseam::CursorShowCount();
    f.width = screenWidth;
    f.height = screenHeight;
    // Enough seen: the player closes the window.
    orvseam::PushCloseRequest(mainWindow);
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(GameAsStarted, EveryStartUpStepHasLeftItsMarkWhenTheFirstFrameBegins) {
    int desktopW = 0, desktopH = 0;
    if (!orvseam::DesktopSize(&desktopW, &desktopH)) GTEST_SKIP() << "no display";
    // Its own folder: the data files, and a size the display has no mode for (odd, so the
    // centre is rounded down), so that the game asks and is told to play in a window.
    const fs::path folder = fs::current_path() / "game_as_started";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* name : {"font.txt", "font_tech.tga", "font_vimra.tga", "crfighter.3ds"})
        fs::copy_file(fs::path(ORV_DATA_DIR) / name, folder / name);
    std::ofstream(folder / "Settings.ini") << "n_Width = 321;\nn_Height = 243;\n";
    const fs::path before = fs::current_path();
    fs::current_path(folder);

    orvseam::Reset();
    const int showCountBefore = orvseam::CursorShowCount();
    orvseam::QueueMessageBoxAnswer(IDYES);  // "Use windowed mode instead?"
    // Frames of no time: nothing drains and nothing moves while the test looks.
    orvseam::SetPerformanceFrequency(1000000000LL);
    orvseam::SetPerformanceCounter(5000000000LL);
    orvseam::SetMilliseconds(1000);
    orvseam::OnCounterRead(LookAtTheFirstFrame);
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOW);
    orvseam::OnCounterRead(nullptr);
    fs::current_path(before);

    EXPECT_EQ(0, result) << "closed like any game";
    ASSERT_TRUE(g_first.seen) << "no frame ran";
    const FirstFrame& f = g_first;
    // Settings.ini, the window and the display's mode.
    EXPECT_EQ(321, f.width);
    EXPECT_EQ(243, f.height);
    ASSERT_GE(orvseam::ModeChanges().size(), 1u);
    const orvseam::ModeChange& mode = orvseam::ModeChanges()[0];
    EXPECT_EQ(321, mode.width);
    EXPECT_EQ(243, mode.height);
    EXPECT_EQ(32, mode.bitsPerPel);
    EXPECT_EQ((unsigned)CDS_FULLSCREEN, mode.flags);
    ASSERT_EQ(1u, orvseam::MessageBoxes().size());
    EXPECT_EQ("Fullscreen", orvseam::MessageBoxes()[0].caption);
    EXPECT_EQ(showCountBefore - 2, f.cursorShowCount) << "hidden by the start-up and the display";
    // The objects, in their order: the atom's view matrix is the camera's (all zeros),
    // set after its build.
    EXPECT_GT(f.fractalVertices, 0);
    EXPECT_EQ(320, f.flowerVertices);
    EXPECT_EQ(64, f.atomVertices);
    EXPECT_TRUE(f.shipModel);
    EXPECT_TRUE(f.atomViewZero);
    // The GL defaults after the display.
    EXPECT_EQ(GL_TRUE, f.lineSmooth);
    EXPECT_EQ(GL_NICEST, f.lineSmoothHint);
    EXPECT_EQ(GL_TRUE, f.light0);
    EXPECT_EQ(GL_TRUE, f.lighting);
    EXPECT_EQ(GL_TRUE, f.colourMaterial);
    // The three fonts.
    EXPECT_GT(f.strokeGlyphs, 0);
    EXPECT_NE(-1, f.fontATexture);
    EXPECT_NE(-1, f.fontBTexture);
    // The mouse centre, half the window rounded down, and the cursor put there: the first
    // steering step found no motion.
    EXPECT_EQ(160, f.centre.x);
    EXPECT_EQ(121, f.centre.y);
    EXPECT_EQ(0.0f, f.worldOffset.x);
    EXPECT_EQ(0.0f, f.worldOffset.y);
    // The log, line by line.
    EXPECT_EQ("__________Engine - Log__________\nLoading objects ..\n    OK\nInit engine ...\n"
              "    OK\nLoading font(s) ..\n    OK\nRendering !\n",
              ReadFile(folder / "Engine.log"));
    orvseam::Reset();
}

}  // namespace
