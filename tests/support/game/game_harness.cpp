#include "tests/support/game/game_harness.h"

#include "app/shell.h"
#include "app/startup.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

GameHarness::GameHarness(int width, int height) : width_(width), height_(height) {
    orvseam::Reset();
    screenWidth = width;
    screenHeight = height;
    OpenMainWindow(GetModuleHandleA(nullptr), SW_SHOW);
    window_ = mainWindow;
    if (window_ == nullptr) return;
    BuildObjects(ORV_DATA_DIR "/");
    display_.reset(new GlDisplay());
    displayOk_ = display_->Create(window_, width, height, 32, 0) != 0;
    if (!displayOk_) return;
    SetGlDefaults();
    loaded_ = LoadFonts(ORV_DATA_DIR "/") != 0;
    CentreMouse();
    // The frames draw into the back buffer and stay there for the test to read.
    display = nullptr;
    NewGame();
}

GameHarness::~GameHarness() {
    if (display_) display_->Shutdown();
    display_.reset();
    if (window_ != nullptr) DestroyWindow(window_);
    if (mainWindow == window_) mainWindow = nullptr;
    // The window's end posts a quit message; it is no concern of later tests.
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    orvseam::Reset();
}

void GameHarness::MakeCurrent() {
    if (displayOk_) wglMakeCurrent(display_->deviceContext, display_->renderContext);
}

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

GameHarness& SharedGameHarness() {
    static GameHarness* shared = new GameHarness();
    shared->MakeCurrent();
    return *shared;
}
