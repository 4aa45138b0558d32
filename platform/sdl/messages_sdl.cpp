// The message queue over SDL's event queue. PeekMessageA never blocks: when our own queue
// is empty it translates whatever SDL has gathered (focus, keys, close requests, mouse
// motion) into window messages, then answers from the queue. WaitMessage sleeps in SDL's
// own wait until the next event arrives, so a loop with nothing to draw costs no CPU.
#include <windows.h>

#include <deque>

#include "platform/sdl/replay_internal.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

namespace orvsdl {
namespace {

std::deque<MSG>& Queue() {
    static std::deque<MSG> queue;
    return queue;
}

DWORD NowMs() { return (DWORD)SDL_GetTicks(); }

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

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = NowMs();
    Queue().push_back(m);
}

void PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    orvseam::BeforePump();
    auto& q = Queue();
    const size_t before = q.size();
    SDL_Event e;
    while (SDL_PollEvent(&e)) Translate(e);
    orvreplay::OnPump(q, before);
}

}  // namespace orvsdl

using namespace orvsdl;

extern "C" {

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (msg == nullptr) return FALSE;
    PumpEvents();
    auto& q = Queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (window != nullptr && it->hwnd != window) continue;
        if ((filterMin != 0 || filterMax != 0) &&
            (it->message < filterMin || it->message > filterMax))
            continue;
        *msg = *it;
        if (removeMsg & PM_REMOVE) q.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL WaitMessage(void) {
    PumpEvents();
    if (!Queue().empty()) return TRUE;
    // Without an event queue nothing could ever arrive: fail rather than sleep for good.
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return FALSE;
    // Any input wakes the caller, as on Windows, also input that becomes no message here
    // (mouse motion only moves the cursor); the caller simply peeks and waits again. In a
    // replay what comes next is in the file, so nothing waits on the real queue; the pump
    // after the wait still happens, as it did in the recording.
    if (!orvreplay::ServesMessages() && SDL_WaitEvent(nullptr) == 0) return FALSE;
    PumpEvents();
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
    // Only the wait for input is served: the game has no handles to wait on.
    if (count != 0) return WAIT_FAILED;
    PumpEvents();
    if (!Queue().empty()) return WAIT_OBJECT_0;
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return WAIT_FAILED;
    // As in WaitMessage: a replay waits on nothing real, and the pump after the wait
    // happens as it did in the recording.
    if (!orvreplay::ServesMessages()) SDL_WaitEventTimeout(nullptr, (int)milliseconds);
    PumpEvents();
    return Queue().empty() ? (DWORD)WAIT_TIMEOUT : (DWORD)WAIT_OBJECT_0;
}

BOOL TranslateMessage(const MSG* msg) {
    // Character messages are not needed by the game; nothing is generated.
    return msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    WindowRecord* w = FromHandle(msg->hwnd);
    if (w->destroyed || w->proc == nullptr) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* w = FromHandle(window);
    if (w == nullptr || w->destroyed || w->proc == nullptr) return 0;
    return w->proc(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* w = FromHandle(window);
    if (w != nullptr && w->destroyed) return FALSE;
    PostToQueue(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) { PostToQueue(nullptr, WM_QUIT, (WPARAM)exitCode, 0); }

}  // extern "C"
