// XInputGetState over SDL's game controllers. SDL's mapping database (and the player's own
// mappings in SDL_GAMECONTROLLERCONFIG, which SDL reads) turns any pad it knows into the
// same buttons and axes, which become XInput's bits, ranges and signs here. As with
// XInput, four slots: a pad that arrives takes the lowest free slot and keeps it until it
// goes; a fifth waits, in the order of arrival, until a slot frees. Arrivals and removals
// come from SDL's device events, seen by a watch as SDL raises them, so the queue that
// becomes window messages is never pumped here.
#include <windows.h>
#include <xinput.h>

#include <cstring>
#include <vector>

#include "platform/standin/replay_internal.h"
#include "platform/sdl/sdl_internal.h"

namespace orvsdl {
namespace {

struct Slot {
    SDL_GameController* pad = nullptr;
    SDL_JoystickID id = -1;
    DWORD packet = 0;
    XINPUT_GAMEPAD last{};
};

struct Pads {
    bool tried = false;
    bool up = false;
    Slot slots[XUSER_MAX_COUNT];
    std::vector<SDL_JoystickID> waiting;  // arrived, not yet in a slot, oldest first
    std::vector<SDL_JoystickID> gone;
};

Pads& P() {
    static Pads pads;
    return pads;
}

bool Known(SDL_JoystickID id) {
    for (const Slot& s : P().slots)
        if (s.pad != nullptr && s.id == id) return true;
    for (SDL_JoystickID w : P().waiting)
        if (w == id) return true;
    return false;
}

void Arrived(SDL_JoystickID id) {
    if (id >= 0 && !Known(id)) P().waiting.push_back(id);
}

int SDLCALL WatchDevices(void*, SDL_Event* e) {
    if (e->type == SDL_CONTROLLERDEVICEADDED) {
        Arrived(SDL_JoystickGetDeviceInstanceID(e->cdevice.which));
    } else if (e->type == SDL_CONTROLLERDEVICEREMOVED) {
        P().gone.push_back(e->cdevice.which);
    }
    return 0;
}

int DeviceIndexOf(SDL_JoystickID id) {
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

void Free(Slot& s) {
    SDL_GameControllerClose(s.pad);
    s = Slot();
}

// Brings the slots up to date with the devices: the gone leave, the waiting move in.
void Refresh() {
    Pads& p = P();
    // Reads the devices' state, and lets SDL look for devices that came or went.
    SDL_GameControllerUpdate();
    for (Slot& s : p.slots) {
        if (s.pad == nullptr) continue;
        bool left = !SDL_GameControllerGetAttached(s.pad);
        for (SDL_JoystickID g : p.gone) left = left || g == s.id;
        if (left) Free(s);
    }
    p.gone.clear();
    while (!p.waiting.empty()) {
        Slot* free = nullptr;
        for (Slot& s : p.slots)
            if (s.pad == nullptr) {
                free = &s;
                break;
            }
        if (free == nullptr) break;
        const SDL_JoystickID id = p.waiting.front();
        p.waiting.erase(p.waiting.begin());
        const int index = DeviceIndexOf(id);
        SDL_GameController* pad = index >= 0 ? SDL_GameControllerOpen(index) : nullptr;
        if (pad == nullptr) continue;  // gone before its turn, or not a pad after all
        free->pad = pad;
        free->id = id;
    }
}

BYTE Trigger(Sint16 v) { return v <= 0 ? 0 : (BYTE)(v >> 7); }

// SDL's vertical axes grow downwards, XInput's upwards; -32768 has no positive twin.
SHORT Up(Sint16 v) { return v == -32768 ? (SHORT)32767 : (SHORT)-v; }

XINPUT_GAMEPAD Read(SDL_GameController* pad) {
    static const struct {
        SDL_GameControllerButton sdl;
        WORD bit;
    } kButtons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
        {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
        {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
        {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
        {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
    };
    XINPUT_GAMEPAD g{};
    for (const auto& b : kButtons)
        if (SDL_GameControllerGetButton(pad, b.sdl)) g.wButtons |= b.bit;
    g.bLeftTrigger = Trigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    g.bRightTrigger = Trigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    g.sThumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    g.sThumbLY = Up(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    g.sThumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    g.sThumbRY = Up(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    return g;
}

bool SameGamepad(const XINPUT_GAMEPAD& a, const XINPUT_GAMEPAD& b) {
    return a.wButtons == b.wButtons && a.bLeftTrigger == b.bLeftTrigger &&
           a.bRightTrigger == b.bRightTrigger && a.sThumbLX == b.sThumbLX &&
           a.sThumbLY == b.sThumbLY && a.sThumbRX == b.sThumbRX && a.sThumbRY == b.sThumbRY;
}

}  // namespace

bool EnsurePads() {
    Pads& p = P();
    if (p.tried) return p.up;
    p.tried = true;
    // XInput reads a pad whichever window has the focus; what the game does with it
    // then is the game's business.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (!EnsureEvents()) return false;
    // Watching before the subsystem starts sees the pads already there arrive, in order.
    SDL_AddEventWatch(WatchDevices, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        SDL_DelEventWatch(WatchDevices, nullptr);
        return false;
    }
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i)
        if (SDL_IsGameController(i)) Arrived(SDL_JoystickGetDeviceInstanceID(i));
    p.up = true;
    return true;
}

}  // namespace orvsdl

extern "C" DWORD WINAPI XInputGetState(DWORD userIndex, XINPUT_STATE* state) {
    using namespace orvsdl;
    if (userIndex >= XUSER_MAX_COUNT || state == nullptr) return ERROR_BAD_ARGUMENTS;
    XINPUT_STATE read{};
    DWORD result = ERROR_DEVICE_NOT_CONNECTED;
    if (EnsurePads()) {
        Refresh();
        Slot& s = P().slots[userIndex];
        if (s.pad != nullptr) {
            const XINPUT_GAMEPAD g = Read(s.pad);
            if (!SameGamepad(g, s.last)) ++s.packet;
            s.last = g;
            read.dwPacketNumber = s.packet;
            read.Gamepad = g;
            result = ERROR_SUCCESS;
        }
    }
    orvreplay::OnPad(userIndex, &result, &read);
    if (result == ERROR_SUCCESS) *state = read;
    return result;
}
