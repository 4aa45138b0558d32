#include "tests/support/game/game_harness.h"

#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

GameHarness::GameHarness() {
    orvseam::Reset();
    gl_.reset(new GlTestWindow(640, 480));
    if (!gl_->Ok()) return;
    // The start-up's order and GL defaults.
    fractal.Build();
    flower.Build();
    ship.Build(DataPath("crfighter.3ds"));
    atom.Build();
    atom.SetViewMatrix(game.cameraMatrix);
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    loaded_ = strokeFont.Load(DataPath("font.txt")) && fontA.Load(DataPath("font_vimra.tga")) &&
              fontB.Load(DataPath("font_tech.tga"));
    display = nullptr;
    mainWindow = nullptr;
    NewGame();
}

GameHarness::~GameHarness() { orvseam::Reset(); }

void GameHarness::NewGame() {
    game = GameState();
    // The camera at rest, as the first steering step leaves it.
    game.cameraMatrix = LookAtFrame(Vec3{0.0f, 10.0f, -30.0f}, Vec3{0.0f, 0.0f, 0.0f});
    counter_ = 1000000000LL;
    ms_ = 5000;
    perfFrequency = 1000000000LL;
    orvseam::SetPerformanceFrequency(perfFrequency);
    orvseam::SetPerformanceCounter(counter_);
    orvseam::SetMilliseconds(ms_);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GameHarness::Frame(double seconds) {
    counter_ += (long long)(seconds * 1e9 + 0.5);
    ms_ += (long)(seconds * 1000.0 + 0.5);
    orvseam::SetPerformanceCounter(counter_);
    orvseam::SetMilliseconds(ms_);
    RunFrame();
}

int GameHarness::FramesWhileAlive(int frames, double seconds) {
    int ran = 0;
    for (int i = 0; i < frames; ++i) {
        if (!(game.energy > 0.0f)) break;
        Frame(seconds);
        ++ran;
    }
    return ran;
}
