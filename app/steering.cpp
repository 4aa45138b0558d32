#include "app/steering.h"

#include <windows.h>

#include "app/shell.h"
#include "objects/ship.h"

namespace {

// Where step n of the current run falls. Exact in integers: 60 steps are exactly one
// counter frequency, whatever it is.
int64_t StepTime(const Steering& s, int64_t frequency, int64_t n) {
    return s.clockOrigin + n * frequency / kSteerStepsPerSecond;
}

// Adds whole fifths of the waiting pixels to the target; the rest keeps waiting. The
// pixels wait multiplied by the sensitivity in percent, so a fifth is 500 of them: at 100
// this is the plain division by 5 and its remainder. Integer division truncates towards
// zero, so a pixel of jitter one way and back sums to nothing.
float TakeFifths(int* pending) {
    const int fifths = *pending / (5 * 100);
    *pending -= fifths * (5 * 100);
    return (float)fifths;
}

}  // namespace

void RestartSteeringClock(Steering& s) {
    s.clockStarted = false;
    s.stepTaken = false;
}

void SteerStep(Steering& s, GameState& g, Ship& ship, int movedX, int movedY, float seconds,
               float stickX, float stickY) {
    // The ship sorts its faces for the camera of the previous step.
    ship.SetViewMatrix(g.cameraMatrix);

    s.pendingX += movedX * s.sensitivity;
    s.pendingY += movedY * s.sensitivity;
    s.steerTarget.x += TakeFifths(&s.pendingX);
    s.steerTarget.y += TakeFifths(&s.pendingY);
    // A resting stick adds nothing, not even a float's zero.
    if (stickX != 0.0f || stickY != 0.0f) {
        const float perStep =
            kStickSpeed * (float)s.sensitivity / (100.0f * (float)kSteerStepsPerSecond);
        s.steerTarget.x += stickX * perStep;
        s.steerTarget.y += stickY * perStep;
    }

    // The world closes 1/15 of its distance to the target every step.
    const float tx = (g.worldOffset.x - s.steerTarget.x) * 0.06666667f;
    const float ty = (g.worldOffset.y - s.steerTarget.y) * 0.06666667f;
    g.collectibleMatrix.m[12] -= tx;
    g.collectibleMatrix.m[13] -= ty;
    g.worldOffset.x -= tx;
    g.worldOffset.y -= ty;

    s.cameraSway.x =
        (s.cameraSway.x + (g.worldOffset.x - s.steerTarget.x) * seconds * 0.5f) * 0.9090909f;
    s.cameraSway.y =
        (s.cameraSway.y + (g.worldOffset.y - s.steerTarget.y) * seconds * 0.5f) * 0.9090909f;

    const Vec3 eye{s.cameraSway.x, s.cameraSway.y + 10.0f, -30.0f};
    g.cameraMatrix = LookAtFrame(eye, Vec3{0.0f, 0.0f, 0.0f});
}

void SteerFrame(Steering& s, GameState& g, Ship& ship, bool focused, int64_t now,
                int64_t frequency, StickDeflection stick) {
    if (!s.clockStarted || frequency <= 0) {
        // The first step falls on this frame.
        s.clockStarted = true;
        s.clockOrigin = now;
        s.nextStep = 0;
        s.lastLook = now;
    }
    const int64_t lastLook = s.lastLook;
    s.lastLook = now;

    // The steps due in this frame, at most the cap. Still behind after that (a stall):
    // the last of them stands for now and the clock starts again from it.
    int64_t due[kMaxSteerStepsPerFrame];
    int count = 0;
    while (count < kMaxSteerStepsPerFrame && frequency > 0 &&
           StepTime(s, frequency, s.nextStep) <= now) {
        due[count++] = StepTime(s, frequency, s.nextStep);
        ++s.nextStep;
    }
    if (count > 0 && StepTime(s, frequency, s.nextStep) <= now) {
        due[count - 1] = now;
        s.clockOrigin = now;
        s.nextStep = 1;
    }
    while (s.nextStep >= kSteerStepsPerSecond) {
        s.clockOrigin += frequency;
        s.nextStep -= kSteerStepsPerSecond;
    }

    if (frequency <= 0) due[count++] = now;  // no clock to go by: a step a frame

    if (!focused) {
        // The cursor is left where it is; the steps pass without steering, and the stick
        // starts from rest when the focus comes back.
        s.stickX = 0.0f;
        s.stickY = 0.0f;
        if (count > 0) {
            s.lastStepAt = due[count - 1];
            s.stepTaken = true;
        }
        return;
    }

    POINT p;
    GetCursorPos(&p);
    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    const int64_t movedX = (int64_t)p.x - mouseCentre.x;
    const int64_t movedY = ((int64_t)p.y - mouseCentre.y) * (s.invertY ? -1 : 1);
    // The stick's up is the mouse's up: the target's y falls.
    const float stickX = stick.x;
    const float stickY = s.invertY ? stick.y : -stick.y;

    // The movement read now was made between the two looks; each step takes what the
    // hand had moved by its own time, as if the hand moved evenly in between.
    const int64_t span = now - lastLook;
    int64_t givenX = 0, givenY = 0;
    for (int i = 0; i < count; ++i) {
        const int64_t at = due[i];
        const int64_t untilX = span > 0 ? movedX * (at - lastLook) / span : movedX;
        const int64_t untilY = span > 0 ? movedY * (at - lastLook) / span : movedY;
        // A step's time is its own length; the first after a start has had none.
        const float seconds = s.stepTaken && frequency > 0
                                  ? (float)((double)(at - s.lastStepAt) / (double)frequency)
                                  : 0.0f;
        // The stick moved from its previous read to this one as evenly as the hand did.
        const float along = span > 0 ? (float)((double)(at - lastLook) / (double)span) : 1.0f;
        const float atX = s.stickX + (stickX - s.stickX) * along;
        const float atY = s.stickY + (stickY - s.stickY) * along;
        SteerStep(s, g, ship, (int)(untilX - givenX), (int)(untilY - givenY), seconds, atX, atY);
        givenX = untilX;
        givenY = untilY;
        s.lastStepAt = at;
        s.stepTaken = true;
    }
    s.stickX = stickX;
    s.stickY = stickY;
    // What the hand moved after the frame's last step waits for the next one.
    s.pendingX += (int)(movedX - givenX) * s.sensitivity;
    s.pendingY += (int)(movedY - givenY) * s.sensitivity;
}
