#include "game/frame_driver.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "game/hud.h"
#include "game/rules.h"
#include "game/world.h"
#include "platform/msclock.h"

HWND mainWindow = nullptr;
GlDisplay* display = nullptr;
int64_t perfFrequency = 0;
void (*beforeGameOverBox)() = nullptr;
void (*beforeLastPresent)() = nullptr;

void AdvanceTime(GameState& g, long long now, long long frequency) {
    if (g.lastCounter == -1 || g.paused) {
        g.frameTime = 0.0f;
    } else {
        // The whole 64-bit difference: a 1 GHz counter wraps 32 bits in 2.1 s.
        g.frameTime = (float)((double)(now - g.lastCounter) / (double)frequency);
    }
    g.totalTime += g.frameTime;
    // Paused, the clock forgets its last reading, so the first frame after the pause
    // takes no time: the time spent paused never reaches the game.
    g.lastCounter = g.paused ? -1 : now;
    g.landscapeTime = g.totalTime * 0.33333334f;
}

void CountFrameRate(GameState& g) {
    if (g.fpsStartClock == -1) g.fpsStartClock = (int)MillisecondClock();
    ++g.fpsFrames;
    // 0.001f is a little above a thousandth, so exactly 1000 ms passes.
    if ((double)((int)MillisecondClock() - g.fpsStartClock) * (double)0.001f > 1.0) {
        int elapsed = (int)MillisecondClock() - g.fpsStartClock;
        g.fps = 1000.0f / (float)elapsed * (float)g.fpsFrames;
        g.fpsFrames = 0;
        g.fpsStartClock = (int)MillisecondClock();
    }
}

namespace {

void DrawIcons(float t) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(20.0, (double)1.33f, (double)0.3f, 6000.0);
    gluLookAt(0.0, 0.0, -150.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-190.0f, -130.0f, 800.0f);
    atom.Draw(t);
    glTranslatef(50.0f, 0.0f, 0.0f);
    flower.Draw(t);
    glTranslatef(50.0f, 0.0f, 0.0f);
    fractal.Draw(t);
}

}  // namespace

void RunFrame() {
    GameState& g = game;

    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    AdvanceTime(g, now.QuadPart, perfFrequency);

    // The camera goes into the projection matrix; the modelview carries the world.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80.0, (double)1.33f, (double)0.3f, 6000.0);
    const float* cam = g.cameraMatrix.m;
    gluLookAt(cam[12], cam[13], cam[14], cam[12] + cam[8], cam[13] + cam[9], cam[14] + cam[10],
              0.0, 1.0, 0.0);

    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const GLfloat lightPosition[4] = {0.0f, 0.0f, 100.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_MODELVIEW);
    glTranslatef(g.worldOffset.x, g.worldOffset.y, -50.0f);

    ApplySpawnRule(g, landscape);
    landscape.AdvanceAndDraw(g.landscapeTime);

    // Ship and collectible are always drawn over the landscape.
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);

    g.shipMatrix.Identity();
    g.shipMatrix.ScaleBasis(0.15f);
    glLoadMatrixf(g.shipMatrix.m);
    ship.SetModelMatrix(g.shipMatrix);
    ship.Draw(g.totalTime);

    glLoadMatrixf(g.collectibleMatrix.m);
    SceneObject& collectible = CollectibleOfKind(g.collectibleKind);
    collectible.SetModelMatrix(g.collectibleMatrix);
    collectible.Draw(g.landscapeTime);

    ApplyCollectionRule(g);
    ApplyApproachRule(g, landscape);

    DrawIcons(g.totalTime);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);

    CountFrameRate(g);

    // The icons left blending on; the display relies on it.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    DrawStartTexts(g, fontA, fontB);
    DrawPauseText(g, fontA);

    ApplyMeterRule(g, landscape);
    ApplyDrainRule(g, landscape);
    if (g.energy <= 0.0f && beforeGameOverBox != nullptr) beforeGameOverBox();
    ApplyGameOverRule(g, mainWindow);

    DrawBarsCountersAndRate(g, fontB, strokeFont);

    glDisable(GL_BLEND);
    if (g.energy <= 0.0f && beforeLastPresent != nullptr) beforeLastPresent();
    if (display != nullptr) display->Present();
}
