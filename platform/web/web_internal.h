// Shared state of the browser stand-in for Win32/WGL. Private to platform/web.
//
// The browser runs the game on its one thread. The game's loop never returns to it: each
// call that would wait on Windows (SwapBuffers until the next picture is due, WaitMessage,
// a message box until it is answered) hands the thread back to the browser through the
// toolchain's asyncify and resumes when the browser calls back. Events the page's
// handlers catch in the meantime wait in a list on the JavaScript side
// (platform/web/page/stand_in.js) until the next pump takes them.
#pragma once

#include <windows.h>

#include "platform/standin/standin.h"

namespace orvweb {

struct WebWindow : orvstandin::Window {
    int width = 0, height = 0;
    bool hasDc = false;
    bool pixelFormatSet = false;
};

inline WebWindow* FromHandle(HWND window) {
    return static_cast<WebWindow*>(orvstandin::FromHandle(window));
}
inline WebWindow* FromDc(HDC dc) { return FromHandle(reinterpret_cast<HWND>(dc)); }
inline HDC ToDc(WebWindow* w) { return reinterpret_cast<HDC>(orvstandin::ToHandle(w)); }
inline WebWindow* LatestWindow() {
    return static_cast<WebWindow*>(orvstandin::LatestWindow());
}

// The cursor: motion from the page's events, and the page told whether the game wants the
// pointer captured (it does while the cursor is hidden).
void AddMouseMotion(int dx, int dy);
void PlaceMouse(int x, int y);
void TellPageCursorHidden();

// Shows every frame's state to the page from now on.
void WatchFrames();

// Marks the wave-out buffers the browser has finished playing.
void FinishPlayedBuffers();

}  // namespace orvweb
