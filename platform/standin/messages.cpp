// The message queue. PeekMessageA never blocks: when our own queue is empty it has the
// stand-in translate whatever the machine has gathered (focus, keys, clicks, close
// requests) into window messages, then answers from the queue. WaitMessage sleeps in the
// stand-in's own wait until the next event arrives, so a loop with nothing to draw costs
// no CPU.
#include <windows.h>

#include <deque>

#include "platform/standin/replay_internal.h"
#include "platform/standin/standin.h"

namespace orvstandin {
namespace {

std::deque<MSG>& Queue() {
    static std::deque<MSG> queue;
    return queue;
}

}  // namespace

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = NativeMessageTime();
    Queue().push_back(m);
}

void PumpEvents() {
    if (!NativeEventsReady()) return;
    auto& q = Queue();
    const size_t before = q.size();
    PumpNativeEvents();
    orvreplay::OnPump(q, before);
}

}  // namespace orvstandin

using namespace orvstandin;

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
    // Without an event source nothing could ever arrive: fail rather than sleep for good.
    if (!NativeEventsReady()) return FALSE;
    // Any input wakes the caller, as on Windows, also input that becomes no message here
    // (mouse motion only moves the cursor); the caller simply peeks and waits again. In a
    // replay what comes next is in the file, so nothing waits on the real queue; the pump
    // after the wait still happens, as it did in the recording.
    if (!orvreplay::ServesMessages()) WaitNativeEvent(-1);
    PumpEvents();
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
    // Only the wait for input is served: the game has no handles to wait on.
    if (count != 0) return WAIT_FAILED;
    PumpEvents();
    if (!Queue().empty()) return WAIT_OBJECT_0;
    if (!NativeEventsReady()) return WAIT_FAILED;
    // As in WaitMessage: a replay waits on nothing real, and the pump after the wait
    // happens as it did in the recording.
    if (!orvreplay::ServesMessages()) WaitNativeEvent((int)milliseconds);
    PumpEvents();
    return Queue().empty() ? (DWORD)WAIT_TIMEOUT : (DWORD)WAIT_OBJECT_0;
}

BOOL TranslateMessage(const MSG* msg) {
    // Character messages are not needed by the game; nothing is generated.
    return msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    Window* w = FromHandle(msg->hwnd);
    if (w->destroyed || w->proc == nullptr) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(window);
    if (w == nullptr || w->destroyed || w->proc == nullptr) return 0;
    return w->proc(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(window);
    if (w != nullptr && w->destroyed) return FALSE;
    PostToQueue(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) { PostToQueue(nullptr, WM_QUIT, (WPARAM)exitCode, 0); }

}  // extern "C"
