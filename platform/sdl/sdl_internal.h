// Shared state of the SDL stand-in for Win32/WGL. Private to platform/sdl.
#pragma once

#include <windows.h>

#include <SDL.h>

#include "platform/standin/standin.h"

#include <deque>
#include <string>

namespace orvsdl {

struct WindowRecord : orvstandin::Window {
    SDL_Window* sdl = nullptr;
    Uint32 sdlId = 0;
    bool hasDc = false;
    bool pixelFormatSet = false;
    int depthBits = 0;
};

struct ContextRecord {
    SDL_GLContext context = nullptr;
    WindowRecord* window = nullptr;
};

inline WindowRecord* FromHandle(HWND window) {
    return static_cast<WindowRecord*>(orvstandin::FromHandle(window));
}
inline HWND ToHandle(WindowRecord* w) { return orvstandin::ToHandle(w); }
// A window's device context is the window record itself (one DC per window, as with
// CS_OWNDC); only GetDC hands it out.
inline WindowRecord* FromDc(HDC dc) { return FromHandle(reinterpret_cast<HWND>(dc)); }
inline HDC ToDc(WindowRecord* w) { return reinterpret_cast<HDC>(ToHandle(w)); }

// Brings up SDL's video subsystem once; false when there is no display.
bool EnsureVideo();
// Brings up SDL's event subsystem (enough for scripted events without a display).
bool EnsureEvents();

WindowRecord* FindBySdlId(Uint32 id);
// The most recently created window that is not destroyed, or null.
inline WindowRecord* LatestWindow() {
    return static_cast<WindowRecord*>(orvstandin::LatestWindow());
}

using orvstandin::PostToQueue;
using orvstandin::PumpEvents;

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

using orvstandin::Cp1250ToUtf8;

}  // namespace orvsdl
