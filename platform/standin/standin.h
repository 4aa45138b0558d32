// What the stand-ins for Win32 share, and what each of them gives the shared part.
// Private to platform/: platform/sdl (the desktop, over SDL2) and platform/web (the
// browser) each implement the second half of this file; the first half is written once
// in platform/standin: the window list and classes, the message queue, the replay
// session and the conversion of the game's Windows-1250 texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvstandin {

// --- shared ---------------------------------------------------------------------------

// What every stand-in window has; each stand-in keeps its own record derived from it.
struct Window {
    WNDPROC proc = nullptr;
    bool destroyed = false;
};

inline Window* FromHandle(HWND window) { return reinterpret_cast<Window*>(window); }
inline HWND ToHandle(Window* w) { return reinterpret_cast<HWND>(w); }

// Window records are never freed: a handle stays safe to pass around after
// DestroyWindow, as on Windows, where calls on a stale handle simply fail.
void AddWindow(Window* w);
// Every window made, destroyed ones included, oldest first.
const std::vector<Window*>& Windows();
// The most recently created window that is not destroyed, or null.
Window* LatestWindow();

// A window's start and end, as CreateWindowExA and DestroyWindow make them: a window
// made with a class's procedure `proc` gets WM_CREATE, shows itself if asked, and is
// listed; a window destroyed gets WM_DESTROY and WM_NCDESTROY and stays listed as gone
// (false when it was gone already).
HWND StartWindow(Window* w, WNDPROC proc, DWORD style);
bool EndWindow(HWND window);

// Window classes: RegisterClassExA's checks and table; 0 when refused.
WORD RegisterWindowClass(const WNDCLASSEXA* wc);
// The class registered under `name`, or null.
const WNDCLASSEXA* FindWindowClass(const char* name);

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Translates everything the stand-in has gathered into window messages, then lets the
// replay session record or swap what came.
void PumpEvents();

// Converts Windows-1250 bytes to UTF-8 for display.
std::string Cp1250ToUtf8(const char* text);

// --- given by each stand-in -------------------------------------------------------------

// False while the stand-in has no source of events at all (nothing could ever arrive).
bool NativeEventsReady();
// Posts what the machine has gathered since the last call (keys, focus, clicks, closes).
void PumpNativeEvents();
// Sleeps until an event may be waiting, or `milliseconds` pass (negative: no limit).
void WaitNativeEvent(int milliseconds);
// Milliseconds for a message's time stamp.
DWORD NativeMessageTime();
// A monotonic counter and its rate, for a plain replay's pace.
uint64_t NativeCounter();
uint64_t NativeCounterFrequency();
void SleepMilliseconds(unsigned milliseconds);

}  // namespace orvstandin
