// Stand-in for <xinput.h> on systems without Win32: the XInput 1.x pad state the game
// polls, with the real names, values and layouts. platform/sdl/xinput_sdl.cpp implements
// XInputGetState over SDL's game controllers. Include <windows.h> first, as on Windows.
#pragma once
#ifndef ORV_STANDIN_XINPUT_H
#define ORV_STANDIN_XINPUT_H

#include <windows.h>

// Buttons, the bits of XINPUT_GAMEPAD::wButtons.
#define XINPUT_GAMEPAD_DPAD_UP 0x0001
#define XINPUT_GAMEPAD_DPAD_DOWN 0x0002
#define XINPUT_GAMEPAD_DPAD_LEFT 0x0004
#define XINPUT_GAMEPAD_DPAD_RIGHT 0x0008
#define XINPUT_GAMEPAD_START 0x0010
#define XINPUT_GAMEPAD_BACK 0x0020
#define XINPUT_GAMEPAD_LEFT_THUMB 0x0040
#define XINPUT_GAMEPAD_RIGHT_THUMB 0x0080
#define XINPUT_GAMEPAD_LEFT_SHOULDER 0x0100
#define XINPUT_GAMEPAD_RIGHT_SHOULDER 0x0200
#define XINPUT_GAMEPAD_A 0x1000
#define XINPUT_GAMEPAD_B 0x2000
#define XINPUT_GAMEPAD_X 0x4000
#define XINPUT_GAMEPAD_Y 0x8000

// The platform's guidance for dead zones and the trigger's threshold.
#define XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE 7849
#define XINPUT_GAMEPAD_RIGHT_THUMB_DEADZONE 8689
#define XINPUT_GAMEPAD_TRIGGER_THRESHOLD 30

// Pads XInput serves, slots 0 to 3.
#define XUSER_MAX_COUNT 4

typedef struct _XINPUT_GAMEPAD {
    WORD wButtons;
    BYTE bLeftTrigger;   // 0 to 255
    BYTE bRightTrigger;
    SHORT sThumbLX;      // -32768 to 32767, right positive
    SHORT sThumbLY;      // up positive
    SHORT sThumbRX;
    SHORT sThumbRY;
} XINPUT_GAMEPAD, *PXINPUT_GAMEPAD;

typedef struct _XINPUT_STATE {
    DWORD dwPacketNumber;  // changes whenever the state does
    XINPUT_GAMEPAD Gamepad;
} XINPUT_STATE, *PXINPUT_STATE;

#ifdef __cplusplus
extern "C" {
#endif

// The state of the pad in slot `userIndex`: ERROR_SUCCESS, or ERROR_DEVICE_NOT_CONNECTED
// when no pad is there (the state is then left alone).
DWORD WINAPI XInputGetState(DWORD userIndex, XINPUT_STATE* state);

#ifdef __cplusplus
}
#endif

#endif
