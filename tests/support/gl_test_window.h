// A real OpenGL context for rendering tests, made through the platform layer's Win32/WGL
// calls exactly as the game makes its own (so it works on the SDL stand-in under Xvfb and
// on Windows alike). The window is visible, borderless, at (0, 0).
//
//   GlTestWindow gl(160, 120);
//   if (!gl.Ok()) GTEST_SKIP() << "no display";   // only when no X server at all
//   ... draw ...
//   std::vector<unsigned char> rgba = gl.ReadPixels();  // bottom row first
#pragma once

#include <windows.h>

#include <vector>

class GlTestWindow {
public:
    GlTestWindow(int width, int height);
    ~GlTestWindow();
    GlTestWindow(const GlTestWindow&) = delete;
    GlTestWindow& operator=(const GlTestWindow&) = delete;

    bool Ok() const { return rc_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // glReadPixels of the back buffer (before Present) as RGBA bytes, bottom row first.
    std::vector<unsigned char> ReadPixels() const;
    // Brightness sum (r + g + b) of the pixels in [x0, x1) x [y0, y1), y from the bottom.
    long RegionBrightness(int x0, int y0, int x1, int y1) const;
    void Present();

private:
    int width_, height_;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC rc_ = nullptr;
};

// The same readings of the current context's back buffer, for windows made otherwise (the
// game's own main window in the game harness).
std::vector<unsigned char> ReadBackBuffer(int width, int height);
long BackBufferBrightness(int width, int height, int x0, int y0, int x1, int y1);

// Path of a file in data/ (the shipped game data), for tests.
const char* DataPath(const char* fileName);
