// The test seam's virtual pads, over SDL's own virtual joysticks: declared as game
// controllers, so SDL maps their axes and buttons in its own order, the order of PadAxis
// and PadButton.
#include <map>

#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam.h"
#include "platform/sdl/seam_internal.h"

namespace orvseam {
namespace {

std::map<int, SDL_Joystick*>& Pads() {
    static std::map<int, SDL_Joystick*> pads;
    return pads;
}

SDL_Joystick* Find(int pad) {
    auto it = Pads().find(pad);
    return it == Pads().end() ? nullptr : it->second;
}

// Lets SDL pass the new values on, as it does when it reads a real device.
void Update() { SDL_JoystickUpdate(); }

}  // namespace

int AttachVirtualPad(std::string* why) {
    static int nextHandle = 0;
    // The pads' subsystem first, so the pad arrives as a plugged-in one would.
    if (!orvsdl::EnsurePads()) {
        if (why != nullptr) *why = SDL_GetError();
        return -1;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Orvendale virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    SDL_Joystick* j = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    if (j == nullptr) {
        if (why != nullptr) *why = SDL_GetError();
        return -1;
    }
    // Triggers rest at 0, which SDL's virtual axes reach at their lowest value.
    SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    SDL_JoystickSetVirtualAxis(j, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    Update();
    const int handle = nextHandle++;
    Pads()[handle] = j;
    return handle;
}

void SetVirtualPadAxis(int pad, PadAxis axis, int value) {
    SDL_Joystick* j = Find(pad);
    if (j == nullptr) return;
    // SDL's virtual triggers span the whole axis; a pad's trigger reads 0..32767.
    if (axis == PadAxis::LeftTrigger || axis == PadAxis::RightTrigger) value = value * 2 - 32768;
    if (value < -32768) value = -32768;
    if (value > 32767) value = 32767;
    SDL_JoystickSetVirtualAxis(j, (int)axis, (Sint16)value);
    Update();
}

void SetVirtualPadButton(int pad, PadButton button, bool down) {
    SDL_Joystick* j = Find(pad);
    if (j == nullptr) return;
    SDL_JoystickSetVirtualButton(j, (int)button, down ? SDL_PRESSED : SDL_RELEASED);
    Update();
}

void DetachVirtualPad(int pad) {
    SDL_Joystick* j = Find(pad);
    if (j == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(j);
    SDL_JoystickClose(j);
    Pads().erase(pad);
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    Update();
}

void DetachVirtualPads() {
    while (!Pads().empty()) DetachVirtualPad(Pads().begin()->first);
}

}  // namespace orvseam
