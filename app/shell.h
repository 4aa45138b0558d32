// The application shell's globals and its steps: window procedure, steering, start-up.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/gl_display.h"
#include "core/vec3.h"
#include "game/game_state.h"

struct MouseCentre {
    int x, y;
};

extern int screenWidth;   // from Settings.ini, else 640
extern int screenHeight;  // from Settings.ini, else 480
extern int hasFocus;      // set and cleared by the window procedure
extern HWND mainWindow;
extern GlDisplay* display;
extern int64_t perfFrequency;  // read once at start-up; the frame driver divides by it
extern MouseCentre mouseCentre;

// The window title and the window class name.
extern const char kWindowName[];

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the window size from the settings file; both keys or neither, else 640 x 480.
// Sizes that cannot make a window also fall back to 640 x 480.
void ReadWindowSize(const char* fileName, int* width, int* height);

// The steering state of the main loop.
struct Steering {
    Vec3 steerTarget{0.0f, 0.0f, 0.0f};  // the mouse movement added up (x, y)
    Vec3 cameraSway{0.0f, 0.0f, -30.0f};
};

class Ship;
// One steering step: reads how far the cursor moved since the last re-centring, shifts
// the world and the collectible towards the target and rebuilds the camera matrix.
void SteerStep(Steering& steering, GameState& g, Ship& ship);
