#include "app/steering.h"

#include <windows.h>

#include "app/shell.h"
#include "objects/ship.h"

void SteerStep(Steering& s, GameState& g, Ship& ship) {
    // The ship sorts its faces for the camera of the previous step.
    ship.SetViewMatrix(g.cameraMatrix);

    POINT p;
    GetCursorPos(&p);
    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    const int dx = (int)p.x - mouseCentre.x;
    const int dy = (int)p.y - mouseCentre.y;
    // Integer division: less than 5 pixels within one step is lost.
    s.steerTarget.x += (float)(dx / 5);
    s.steerTarget.y += (float)(dy / 5);

    // The world closes 1/15 of its distance to the target every step (not per second).
    const float tx = (g.worldOffset.x - s.steerTarget.x) * 0.06666667f;
    const float ty = (g.worldOffset.y - s.steerTarget.y) * 0.06666667f;
    g.collectibleMatrix.m[12] -= tx;
    g.collectibleMatrix.m[13] -= ty;
    g.worldOffset.x -= tx;
    g.worldOffset.y -= ty;

    s.cameraSway.x =
        (s.cameraSway.x + (g.worldOffset.x - s.steerTarget.x) * g.frameTime * 0.5f) * 0.9090909f;
    s.cameraSway.y =
        (s.cameraSway.y + (g.worldOffset.y - s.steerTarget.y) * g.frameTime * 0.5f) * 0.9090909f;

    const Vec3 eye{s.cameraSway.x, s.cameraSway.y + 10.0f, -30.0f};
    g.cameraMatrix = LookAtFrame(eye, Vec3{0.0f, 0.0f, 0.0f});
}
