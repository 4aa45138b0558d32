// Test seam of the SDL stand-in: lets tests script what a player and the machine would
// do (mouse motion, keys, focus, the clocks, message-box answers) and make any one of the
// Win32/WGL calls fail. The game never includes this; in a normal run nothing here is
// active and the stand-in behaves exactly as without it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvseam {

enum class Call {
    RegisterClassEx,
    CreateWindowEx,
    GetDC,
    ReleaseDC,
    ChoosePixelFormat,
    SetPixelFormat,
    wglCreateContext,
    wglMakeCurrent,
    wglDeleteContext,
    ChangeDisplaySettings,
    MessageBox,
    Count
};

// Forgets all scripting, answers, failures and records.
void Reset();

// Failures: the next `times` calls of `call` fail as the real API would report it
// (null handle, 0, FALSE, DISP_CHANGE_BADMODE). times = -1: fail until Reset.
void FailNext(Call call, int times = 1);
// How many times `call` was made since Reset.
int CallCount(Call call);

// Clocks. Once set, QueryPerformanceCounter/Frequency and MillisecondClock return the
// scripted values instead of the machine's.
void SetPerformanceCounter(int64_t ticks);
void SetPerformanceFrequency(int64_t ticksPerSecond);
void SetMilliseconds(long ms);

// Runs `hook` at every QueryPerformanceCounter call, before the reading is taken. The
// game reads the counter first thing in every frame, so a test sees the state a frame
// starts from (the first time: the state the start-up left). An empty hook removes it.
void OnCounterRead(std::function<void()> hook);

// Input, delivered through SDL's own event queue so it takes the same road as real input.
void PushMouseMotion(int dx, int dy);
// Motion of a free (uncaptured) pointer over `window`, as the X server reports it: where
// the pointer now is in the window's coordinates, and how far it went.
void PushPointerMotion(HWND window, int x, int y, int dx, int dy);
void PushKeyDown(int virtualKey);
void PushFocus(HWND window, bool gained);
void PushCloseRequest(HWND window);
// Called at the start of every pump of the event queue (PeekMessageA, GetCursorPos and
// SetCursorPos pump), before SDL's events are read: a script that plays a whole game can
// set the clocks and push input there, in step with the game's own loop. Null: none.
void SetPumpHook(void (*hook)());

// Message boxes. While answers are queued, a box is answered with the next one instead of
// being shown; every box is recorded with its texts converted to UTF-8.
struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type;
    int answer;
};
void QueueMessageBoxAnswer(int answer);
// While set, boxes that are not answered from the queue cannot be shown, as on an X server
// without the fonts they are drawn with.
void SetMessageBoxesUnshowable(bool unshowable);
const std::vector<MessageBoxRecord>& MessageBoxes();

// Display-mode changes as the stand-in saw them: width x height and the colour depth
// asked for (each 0 when the mode does not set it), 0 x 0 for a restore, with the flags.
struct ModeChange {
    int width;
    int height;
    unsigned flags;
    long result;
    int bitsPerPel;
};
const std::vector<ModeChange>& ModeChanges();
// True while a full-screen mode is in force that nobody has restored yet.
bool DisplayModeChanged();

// Virtual pads: game controllers that SDL itself provides inside the process, no hardware
// needed. They arrive through SDL's device events as a plugged-in pad does. Axes and
// buttons are given as SDL reports them (axes -32768..32767, down positive; triggers
// 0..32767); XInputGetState then reads them as XInput would. Reset detaches them all.
enum class PadAxis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };
enum class PadButton {
    A, B, X, Y, Back, Guide, Start, LeftStick, RightStick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight
};
// A new virtual pad's handle, or -1 (with SDL's reason in `why`) when SDL cannot make one.
int AttachVirtualPad(std::string* why = nullptr);
void SetVirtualPadAxis(int pad, PadAxis axis, int value);
void SetVirtualPadButton(int pad, PadButton button, bool down);
// Unplugs the pad.
void DetachVirtualPad(int pad);

// The cursor's display counter as ShowCursor keeps it.
int CursorShowCount();
// Where the real pointer is on the screen; false without a display.
bool PointerPosition(int* x, int* y);

// The size of the desktop the windows open on; false without a display.
bool DesktopSize(int* width, int* height);

}  // namespace orvseam
