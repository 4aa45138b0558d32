// The page's events as window messages: the browser stand-in's half of the message
// queue (platform/standin/messages.cpp has the queue and the Win32 calls). The page's
// handlers list keys, clicks, focus and pointer motion; a pump takes the list.
#include <emscripten.h>

#include "platform/web/web_internal.h"

namespace {

// Kinds of event in the page's list; each is four numbers: kind and three values.
enum EventKind { kKeyDown = 1, kKeyUp = 2, kMotion = 3, kPointerAt = 4, kClick = 5, kFocus = 6 };

EM_JS(int, orvweb_take_events, (int* out, int capacity), {
    const list = Module.orvStandIn.events;
    const n = Math.min(list.length, capacity >> 2);
    for (let i = 0; i < n; i++) {
        const e = list[i];
        for (let k = 0; k < 4; k++) HEAP32[(out >> 2) + i * 4 + k] = e[k] | 0;
    }
    list.splice(0, n);
    return n;
});

EM_ASYNC_JS(void, orvweb_wait_event, (int milliseconds), {
    await Module.orvStandIn.waitForEvent(milliseconds);
});


void Translate(const int* e) {
    orvweb::WebWindow* w = orvweb::LatestWindow();
    HWND h = w ? orvstandin::ToHandle(w) : nullptr;
    switch (e[0]) {
        case kKeyDown:
        case kKeyUp: {
            if (h == nullptr || e[1] == 0) break;
            // lParam as Windows builds it: repeat count 1, scan code in bits 16..23, the
            // previous state in bit 30, the transition in bit 31 (set on release).
            LPARAM lp = 1 | ((LPARAM)(e[3] & 0xFF) << 16);
            if (e[0] == kKeyUp) lp |= (LPARAM)3 << 30;
            else if (e[2]) lp |= (LPARAM)1 << 30;
            orvstandin::PostToQueue(h, e[0] == kKeyDown ? WM_KEYDOWN : WM_KEYUP, (WPARAM)e[1], lp);
            break;
        }
        case kMotion:
            orvweb::AddMouseMotion(e[1], e[2]);
            break;
        case kPointerAt:
            orvweb::PlaceMouse(e[1], e[2]);
            break;
        case kClick:
            if (h == nullptr) break;
            orvstandin::PostToQueue(h, WM_LBUTTONDOWN, 0x0001,
                                    (LPARAM)((e[1] & 0xFFFF) | ((e[2] & 0xFFFF) << 16)));
            break;
        case kFocus:
            if (h != nullptr) orvstandin::PostToQueue(h, e[1] ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
            orvweb::TellPageCursorHidden();
            break;
        default:
            break;
    }
}

}  // namespace

namespace orvstandin {

// The page's events count from the first window on, as the desktop's do: a pump before
// it finds nothing, and a replay has nothing of it to serve.
bool NativeEventsReady() { return !orvstandin::Windows().empty(); }

void PumpNativeEvents() {
    orvweb::FinishPlayedBuffers();
    int events[64 * 4];
    for (;;) {
        const int n = orvweb_take_events(events, 64 * 4);
        for (int i = 0; i < n; ++i) Translate(events + i * 4);
        if (n < 64) break;
    }
}

void WaitNativeEvent(int milliseconds) { orvweb_wait_event(milliseconds); }

DWORD NativeMessageTime() { return (DWORD)(unsigned long long)emscripten_get_now(); }

uint64_t NativeCounter() { return (uint64_t)(emscripten_get_now() * 1000.0); }
uint64_t NativeCounterFrequency() { return 1000000; }

void SleepMilliseconds(unsigned milliseconds) { emscripten_sleep(milliseconds); }

}  // namespace orvstandin
