// A game in a test: the global objects built and loaded as the start-up does, a real GL
// context of the game's default size, and a scripted performance counter so that frames
// last exactly as long as a test says.
#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <vector>

#include "game/game_state.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_window.h"

class GameHarness {
public:
    GameHarness();
    ~GameHarness();
    bool Ok() const { return gl_ && gl_->Ok() && loaded_; }
    GlTestWindow& Gl() { return *gl_; }

    // Resets the game state (not the landscape ring) and the clocks.
    void NewGame();
    // Runs one frame that lasted `seconds` of the performance counter.
    void Frame(double seconds);
    // Runs frames as the main loop does: only while the energy is above 0.
    int FramesWhileAlive(int frames, double seconds);

private:
    std::unique_ptr<GlTestWindow> gl_;
    bool loaded_ = false;
    long long counter_ = 0;
    long ms_ = 0;
};
