// Shared state of the SDL stand-in for Win32/WGL. Private to platform/sdl.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <deque>
#include <string>

namespace orvsdl {

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    Uint32 sdlId = 0;
    WNDPROC proc = nullptr;
    bool destroyed = false;
    bool hasDc = false;
    bool pixelFormatSet = false;
    int depthBits = 0;
};

struct ContextRecord {
    SDL_GLContext context = nullptr;
    WindowRecord* window = nullptr;
};

inline WindowRecord* FromHandle(HWND window) { return reinterpret_cast<WindowRecord*>(window); }
inline HWND ToHandle(WindowRecord* w) { return reinterpret_cast<HWND>(w); }
// A window's device context is the window record itself (one DC per window, as with
// CS_OWNDC); only GetDC hands it out.
inline WindowRecord* FromDc(HDC dc) { return reinterpret_cast<WindowRecord*>(dc); }
inline HDC ToDc(WindowRecord* w) { return reinterpret_cast<HDC>(w); }

// Brings up SDL's video subsystem once; false when there is no display.
bool EnsureVideo();
// Brings up SDL's event subsystem (enough for scripted events without a display).
bool EnsureEvents();

WindowRecord* FindBySdlId(Uint32 id);
// The most recently created window that is not destroyed, or null.
WindowRecord* LatestWindow();

// Translates everything SDL has queued into window messages (and cursor motion).
void PumpEvents();
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Cursor bookkeeping that the event pump and message boxes need.
void AddMouseMotion(int dx, int dy);
// Motion from SDL's queue: relative motion (captured pointer, scripted) moves the cursor
// by its amount; a free pointer's motion puts the cursor where the pointer is.
void TakeMouseMotion(const SDL_MouseMotionEvent& motion);
void ApplyCursorMode();
int CurrentShowCount();
void SuspendRelativeMouse();
void ResumeRelativeMouse();

// True while a full-screen mode set by ChangeDisplaySettingsA is in force.
bool DisplayModeChanged();

// Brings up SDL's game controllers once (and the watch on their arrivals); false when
// SDL cannot, and then no pad is ever connected.
bool EnsurePads();

// Converts Windows-1250 bytes to UTF-8 for display.
std::string Cp1250ToUtf8(const char* text);

}  // namespace orvsdl
