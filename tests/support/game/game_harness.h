// A game in a test, started exactly as the game starts itself (app/startup.h): the main
// window at the size asked for, the objects built in their order, the GL display created
// (in a window, never switching the screen mode), the GL defaults, the fonts and the mouse
// centre. The clocks are scripted so that frames last exactly as long as a test says, and
// frames are not presented, so a test reads what a frame drew from the back buffer.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/gl_display.h"
#include "game/game_state.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_window.h"

class GameHarness {
public:
    GameHarness(int width = 640, int height = 480);
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    bool Ok() const { return displayOk_ && loaded_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The back buffer as RGBA bytes, bottom row first, and the brightness sum (r + g + b)
    // of [x0, x1) x [y0, y1) with y from the bottom.
    std::vector<unsigned char> ReadPixels() const { return ReadBackBuffer(width_, height_); }
    long RegionBrightness(int x0, int y0, int x1, int y1) const {
        return BackBufferBrightness(width_, height_, x0, y0, x1, y1);
    }

    // Makes this game's GL context the current one again (another harness or window of
    // the same test program may have taken over).
    void MakeCurrent();
    // Resets the game state (not the landscape ring) and the clocks.
    void NewGame();
    // Runs one frame that lasted `seconds` of the performance counter.
    void Frame(double seconds);
    // Runs frames as the main loop does: only while the energy is above 0.
    int FramesWhileAlive(int frames, double seconds);

private:
    int width_, height_;
    HWND window_ = nullptr;
    std::unique_ptr<GlDisplay> display_;
    bool displayOk_ = false;
    bool loaded_ = false;
    long long counter_ = 0;
    long ms_ = 0;
};

// One game of the default size for a whole test program, made on first use and kept to
// the end (contexts are slow to make, and the game's objects are global anyway).
GameHarness& SharedGameHarness();
