// The application shell's own state: the window size from the settings, whether the
// window has the keyboard focus, the steering's rest point and the window's name.
#pragma once

struct MouseCentre {
    int x, y;
};

extern int screenWidth;   // from Settings.ini, else 640
extern int screenHeight;  // from Settings.ini, else 480
extern int hasFocus;      // set and cleared by the window procedure
extern MouseCentre mouseCentre;

// The window title and the window class name.
extern const char kWindowName[];
