#include "platform/sdl/seam.h"

#include <deque>
#include <utility>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"

namespace orvseam {
namespace {

struct SeamState {
    int failures[(int)Call::Count] = {};
    int calls[(int)Call::Count] = {};
    bool haveCounter = false, haveFrequency = false, haveMs = false;
    int64_t counter = 0, frequency = 0;
    long ms = 0;
    std::deque<int> answers;
    bool boxesUnshowable = false;
    std::vector<MessageBoxRecord> boxes;
    std::vector<ModeChange> modes;
    void (*pumpHook)() = nullptr;
    std::function<void()> counterHook;
};

SeamState& State() {
    static SeamState state;
    return state;
}

// Win32 virtual-key code to the SDL key that produces it (the inverse of the pump's map).
SDL_Keycode KeycodeFor(int vk) {
    if (vk >= 'A' && vk <= 'Z') return (SDL_Keycode)(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9') return (SDL_Keycode)vk;
    switch (vk) {
        case VK_ESCAPE: return SDLK_ESCAPE;
        case VK_RETURN: return SDLK_RETURN;
        case VK_SPACE: return SDLK_SPACE;
        case VK_LEFT: return SDLK_LEFT;
        case VK_RIGHT: return SDLK_RIGHT;
        case VK_UP: return SDLK_UP;
        case VK_DOWN: return SDLK_DOWN;
        default: return SDLK_UNKNOWN;
    }
}

Uint32 SdlId(HWND window) {
    orvsdl::WindowRecord* w = orvsdl::FromHandle(window);
    return w ? w->sdlId : 0;
}

}  // namespace

void Reset() {
    State() = SeamState();
    DetachVirtualPads();
}

void FailNext(Call call, int times) { State().failures[(int)call] = times; }
int CallCount(Call call) { return State().calls[(int)call]; }

bool EnterCall(Call call) {
    SeamState& s = State();
    ++s.calls[(int)call];
    int& f = s.failures[(int)call];
    if (f == 0) return false;
    if (f > 0) --f;
    return true;
}

void SetPerformanceCounter(int64_t ticks) { State().haveCounter = true; State().counter = ticks; }
void SetPerformanceFrequency(int64_t hz) { State().haveFrequency = true; State().frequency = hz; }
void SetMilliseconds(long ms) { State().haveMs = true; State().ms = ms; }

void OnCounterRead(std::function<void()> hook) { State().counterHook = std::move(hook); }

bool ScriptedCounter(int64_t* ticks) {
    // A copy: the hook may replace itself or reset the seam.
    if (State().counterHook) {
        std::function<void()> hook = State().counterHook;
        hook();
    }
    if (State().haveCounter) *ticks = State().counter;
    return State().haveCounter;
}
bool ScriptedFrequency(int64_t* hz) {
    if (State().haveFrequency) *hz = State().frequency;
    return State().haveFrequency;
}
bool ScriptedMilliseconds(long* ms) {
    if (State().haveMs) *ms = State().ms;
    return State().haveMs;
}

void PushMouseMotion(int dx, int dy) {
    if (!orvsdl::EnsureEvents()) return;
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    SDL_PushEvent(&e);
}

void PushPointerMotion(HWND window, int x, int y, int dx, int dy) {
    if (!orvsdl::EnsureEvents()) return;
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SdlId(window);
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    SDL_PushEvent(&e);
}

void PushKeyDown(int virtualKey) {
    if (!orvsdl::EnsureEvents()) return;
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = KeycodeFor(virtualKey);
    e.key.keysym.scancode = SDL_GetScancodeFromKey(e.key.keysym.sym);
    SDL_Window* focus = SDL_GetKeyboardFocus();
    e.key.windowID = focus ? SDL_GetWindowID(focus) : 0;
    SDL_PushEvent(&e);
}

void PushFocus(HWND window, bool gained) {
    if (!orvsdl::EnsureEvents()) return;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    e.window.windowID = SdlId(window);
    SDL_PushEvent(&e);
}

void PushCloseRequest(HWND window) {
    if (!orvsdl::EnsureEvents()) return;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = SdlId(window);
    SDL_PushEvent(&e);
}

void SetPumpHook(void (*hook)()) { State().pumpHook = hook; }

void BeforePump() {
    // The hook may push events, which pumps nothing, but guard against it recursing.
    static bool inside = false;
    if (State().pumpHook == nullptr || inside) return;
    inside = true;
    State().pumpHook();
    inside = false;
}

void QueueMessageBoxAnswer(int answer) { State().answers.push_back(answer); }
const std::vector<MessageBoxRecord>& MessageBoxes() { return State().boxes; }
void SetMessageBoxesUnshowable(bool unshowable) { State().boxesUnshowable = unshowable; }
bool MessageBoxesUnshowable() { return State().boxesUnshowable; }

bool TakeMessageBoxAnswer(const std::string& text, const std::string& caption, UINT type,
                          int* answer) {
    SeamState& s = State();
    if (s.answers.empty()) return false;
    *answer = s.answers.front();
    s.answers.pop_front();
    RecordMessageBox(text, caption, type, *answer);
    return true;
}

void RecordMessageBox(const std::string& text, const std::string& caption, UINT type,
                      int answer) {
    State().boxes.push_back(MessageBoxRecord{text, caption, type, answer});
}

const std::vector<ModeChange>& ModeChanges() { return State().modes; }
void RecordModeChange(int width, int height, int bitsPerPel, unsigned flags, long result) {
    State().modes.push_back(ModeChange{width, height, flags, result, bitsPerPel});
}

bool DisplayModeChanged() { return orvsdl::DisplayModeChanged(); }

int CursorShowCount() { return orvsdl::CurrentShowCount(); }

bool PointerPosition(int* x, int* y) {
    if (!orvsdl::EnsureVideo()) return false;
    SDL_GetGlobalMouseState(x, y);
    return true;
}

bool DesktopSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (!orvsdl::EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

}  // namespace orvseam
