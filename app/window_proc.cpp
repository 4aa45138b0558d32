#include "app/window_proc.h"
#include "app/flight.h"
#include "app/pause.h"
#include "app/shell.h"
#include "audio/sound.h"

namespace {
// Bit 30 of a key message's lParam: the key was already down (an auto-repeat).
const LPARAM kKeyWasDown = (LPARAM)1 << 30;
}  // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SETFOCUS:
            hasFocus = 1;
            return 0;
        case WM_KILLFOCUS:
            hasFocus = 0;
            return 0;
        case WM_KEYDOWN:
            if (wParam == 'M') ToggleSoundMute();
            if (wParam == VK_ESCAPE) {
                ShowCursor(TRUE);
                SendMessageA(window, WM_CLOSE, 0, 0);
            } else if (wParam == 'P' && !(lParam & kKeyWasDown)) {
                // A held key repeats; only the press itself toggles.
                TogglePause();
            } else if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(lParam & kKeyWasDown)) {
                FlyAgain();
            }
            return 0;
        case WM_LBUTTONDOWN:
            FlyAgain();
            return 0;
        default:
            // WM_CLOSE included: the default destroys the window, whose WM_DESTROY quits.
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
