// XInputGetState over the browser's Gamepad API. A pad the browser maps to its "standard"
// layout has the buttons and sticks of an XInput pad in known places; others are left
// out, as XInput leaves out what is not an XInput pad. Browsers show a pad to a page only
// after one of its buttons was pressed while the page was open.
#include <emscripten.h>

#include <xinput.h>

#include "platform/standin/replay_internal.h"

namespace {

// Fills out[0..6] (buttons, left and right trigger, LX, LY, RX, RY) and the packet number
// in out[7]; 0 when slot `index` has no standard pad.
EM_JS(int, orvweb_read_pad, (int index, int* out), {
    return Module.orvStandIn.readPad(index, out);
});

}  // namespace

extern "C" DWORD WINAPI XInputGetState(DWORD userIndex, XINPUT_STATE* state) {
    if (userIndex >= XUSER_MAX_COUNT || state == nullptr) return ERROR_BAD_ARGUMENTS;
    DWORD result = ERROR_DEVICE_NOT_CONNECTED;
    XINPUT_STATE read{};
    {
        int v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        if (orvweb_read_pad((int)userIndex, v)) {
            result = ERROR_SUCCESS;
            read.dwPacketNumber = (DWORD)v[7];
            read.Gamepad.wButtons = (WORD)v[0];
            read.Gamepad.bLeftTrigger = (BYTE)v[1];
            read.Gamepad.bRightTrigger = (BYTE)v[2];
            read.Gamepad.sThumbLX = (SHORT)v[3];
            read.Gamepad.sThumbLY = (SHORT)v[4];
            read.Gamepad.sThumbRX = (SHORT)v[5];
            read.Gamepad.sThumbRY = (SHORT)v[6];
        }
    }
    orvreplay::OnPad(userIndex, &result, &read);
    if (result == ERROR_SUCCESS) *state = read;
    return result;
}
