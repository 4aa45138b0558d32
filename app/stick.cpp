#include "app/stick.h"

#include <cmath>

namespace {

const float kRim = 32767.0f;
const float kDeadZone = (float)XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE;

float Clamp1(float v) { return v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v); }

// Scales a deflection down to length 1 if it is longer.
StickDeflection AtMostOne(StickDeflection d) {
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length > 1.0f) {
        d.x /= length;
        d.y /= length;
    }
    return d;
}

}  // namespace

StickDeflection StickResponse(int thumbX, int thumbY) {
    const float x = (float)thumbX, y = (float)thumbY;
    float length = std::sqrt(x * x + y * y);
    StickDeflection d;
    if (!(length > kDeadZone)) return d;
    // A square pad's corner lies beyond the rim; it counts as the rim.
    const float out = (length > kRim ? kRim : length) - kDeadZone;
    const float fraction = out / (kRim - kDeadZone);
    const float response = fraction * fraction;
    d.x = x / length * response;
    d.y = y / length * response;
    return d;
}

StickDeflection PadDeflection(const XINPUT_GAMEPAD& pad) {
    StickDeflection d = StickResponse(pad.sThumbLX, pad.sThumbLY);
    const WORD b = pad.wButtons;
    if (b & XINPUT_GAMEPAD_DPAD_RIGHT) d.x += 1.0f;
    if (b & XINPUT_GAMEPAD_DPAD_LEFT) d.x -= 1.0f;
    if (b & XINPUT_GAMEPAD_DPAD_UP) d.y += 1.0f;
    if (b & XINPUT_GAMEPAD_DPAD_DOWN) d.y -= 1.0f;
    return AtMostOne(d);
}

StickDeflection AddDeflections(StickDeflection a, StickDeflection b) {
    StickDeflection d;
    d.x = Clamp1(a.x + b.x);
    d.y = Clamp1(a.y + b.y);
    return d;
}
