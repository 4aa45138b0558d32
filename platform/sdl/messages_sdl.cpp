// SDL's events as window messages: the desktop stand-in's half of the message queue
// (platform/standin/messages.cpp has the queue and the Win32 calls). Focus, keys, clicks
// and close requests become messages; mouse motion moves the cursor.
#include <windows.h>

#include "platform/standin/replay_internal.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

namespace orvsdl {
namespace {

// SDL key to the Win32 virtual-key code; 0 for keys the game has no name for.
WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= 'a' && key <= 'z') return (WPARAM)(key - 'a' + 'A');
    if (key >= '0' && key <= '9') return (WPARAM)key;
    switch (key) {
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT: case SDLK_RALT: return VK_MENU;
        case SDLK_PAUSE: return VK_PAUSE;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_HOME: return VK_HOME;
        case SDLK_END: return VK_END;
        case SDLK_INSERT: return VK_INSERT;
        case SDLK_DELETE: return VK_DELETE;
        default: break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) return (WPARAM)(VK_F1 + (key - SDLK_F1));
    return 0;
}

// Keyboard messages go to the window with the keyboard focus, as on Windows.
HWND KeyTarget(Uint32 windowId) {
    WindowRecord* w = FindBySdlId(windowId);
    if (w == nullptr) w = LatestWindow();
    return w ? ToHandle(w) : nullptr;
}

void Translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_WINDOWEVENT: {
            WindowRecord* w = FindBySdlId(e.window.windowID);
            if (w == nullptr) break;
            HWND h = ToHandle(w);
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                PostToQueue(h, WM_SETFOCUS, 0, 0);
                ApplyCursorMode();
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                PostToQueue(h, WM_KILLFOCUS, 0, 0);
                ApplyCursorMode();
            } else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                PostToQueue(h, WM_CLOSE, 0, 0);
            }
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            WPARAM vk = VirtualKey(e.key.keysym.sym);
            if (vk == 0) break;
            HWND h = KeyTarget(e.key.windowID);
            if (h == nullptr) break;
            // lParam: repeat count 1, scan code in bits 16..23, previous state in bit 30,
            // transition state in bit 31 (set on release).
            LPARAM lp = 1 | ((LPARAM)(e.key.keysym.scancode & 0xFF) << 16);
            if (e.type == SDL_KEYUP) lp |= (LPARAM)3 << 30;
            else if (e.key.repeat) lp |= (LPARAM)1 << 30;
            PostToQueue(h, e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, lp);
            break;
        }
        case SDL_MOUSEMOTION:
            // Motion feeds the cursor position (GetCursorPos); no WM_MOUSEMOVE is queued,
            // because the game only ever polls the cursor.
            TakeMouseMotion(e.motion);
            break;
        case SDL_MOUSEBUTTONDOWN: {
            // The left button only, as WM_LBUTTONDOWN with the point in the window.
            if (e.button.button != SDL_BUTTON_LEFT) break;
            WindowRecord* w = FindBySdlId(e.button.windowID);
            if (w == nullptr) break;
            const LPARAM at = (LPARAM)((e.button.x & 0xFFFF) | ((e.button.y & 0xFFFF) << 16));
            PostToQueue(ToHandle(w), WM_LBUTTONDOWN, 0x0001, at);
            break;
        }
        case SDL_QUIT: {
            // The session asks the program to end (a signal or logout): ask every window to
            // close, as Windows does with WM_CLOSE-like requests.
            WindowRecord* w = LatestWindow();
            if (w != nullptr) PostToQueue(ToHandle(w), WM_CLOSE, 0, 0);
            break;
        }
        default:
            break;
    }
}

}  // namespace

}  // namespace orvsdl

namespace orvstandin {

bool NativeEventsReady() { return SDL_WasInit(SDL_INIT_EVENTS) != 0; }

void PumpNativeEvents() {
    orvseam::BeforePump();
    SDL_Event e;
    while (SDL_PollEvent(&e)) orvsdl::Translate(e);
}

void WaitNativeEvent(int milliseconds) {
    if (milliseconds < 0) SDL_WaitEvent(nullptr);
    else SDL_WaitEventTimeout(nullptr, milliseconds);
}

DWORD NativeMessageTime() { return (DWORD)SDL_GetTicks(); }

uint64_t NativeCounter() { return SDL_GetPerformanceCounter(); }
uint64_t NativeCounterFrequency() { return SDL_GetPerformanceFrequency(); }
void SleepMilliseconds(unsigned milliseconds) { SDL_Delay(milliseconds); }

}  // namespace orvstandin
