// GlDisplay: the link between the main window and OpenGL. Switches the screen mode (or
// asks to play in a window), sets the pixel format, creates and activates the rendering
// context with the game's initial GL state, presents each frame, and undoes it all.
// Every failure is reported to the player in a message box.
#pragma once

#include <windows.h>

class GlDisplay {
public:
    HDC deviceContext;
    HGLRC renderContext;
    HWND window;
    int fullscreen;
    int width;
    int height;
    int active;
    // Why the last Create failed, for the log; nullptr when it did not fail, or when the
    // player declined to play in a window (a choice, not a failure).
    const char* failure;

    GlDisplay() : active(0), failure(nullptr) {}
    ~GlDisplay();
    GlDisplay(const GlDisplay&) = delete;
    GlDisplay& operator=(const GlDisplay&) = delete;

    int Create(HWND window, int width, int height, int bits, int fullscreen);
    int Shutdown();
    int Present();

private:
    int Abandon(const char* text);
};
