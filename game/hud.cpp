#include "game/hud.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>

namespace {

struct BarColours {
    float dark[3];
    float bright[3];
};

// Bar i shows the meter of landscape source i: blue, magenta, red, green.
const BarColours kZoneColours[4] = {
    {{0.0f, 0.0f, 0.4f}, {0.0f, 0.0f, 1.0f}},
    {{0.4f, 0.0f, 0.4f}, {1.0f, 0.0f, 1.0f}},
    {{0.4f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
    {{0.0f, 0.4f, 0.0f}, {0.0f, 1.0f, 0.0f}},
};

// A vertical bar hanging from y = 0.9 down to `bottom`, a wide dark line under a narrow
// bright one.
void DrawBar(float x, float bottom, const float dark[3], const float bright[3]) {
    glLineWidth(8.0f);
    glColor3f(dark[0], dark[1], dark[2]);
    glBegin(GL_LINES);
    glVertex2f(x, bottom);
    glVertex2f(x, 0.9f);
    glEnd();
    glLineWidth(4.0f);
    glColor3f(bright[0], bright[1], bright[2]);
    glBegin(GL_LINES);
    glVertex2f(x, bottom);
    glVertex2f(x, 0.9f);
    glEnd();
}

}  // namespace

void DrawStartTexts(const GameState& g, BitmapFont& fontA, BitmapFont& fontB) {
    char text[1024];
    if (g.totalTime < 3.0f) {
        const int whole = (int)g.totalTime;
        std::snprintf(text, sizeof(text), "..%d..", 3 - whole);
        fontB.SetScale((g.totalTime - (float)whole) * 4.0f);
        fontB.DrawString(-0.1f, 0.9f, text);
        fontB.SetScale(0.65f);
    }
    if (g.totalTime > 3.0f) fontA.DrawString(-0.3f, 0.9f, "SLIDE !");
}

void DrawPauseText(const GameState& g, BitmapFont& fontA) {
    if (!g.paused) return;
    fontA.DrawString(-0.25f, 0.1f, "PAUSED");
}

void DrawBarsCountersAndRate(const GameState& g, BitmapFont& fontB, StrokeFont& stroke) {
    char text[1024];
    glDisable(GL_TEXTURE_2D);

    const float energyDark[3] = {0.4f, 0.4f, 0.4f};
    const float energyBright[3] = {0.7f, 0.7f, 0.7f};
    DrawBar(-0.9f, (float)(0.9 - (double)g.energy), energyDark, energyBright);
    for (int i = 0; i < 4; ++i) {
        const float x = (float)((double)((float)i * 0.04f) - 0.8);
        DrawBar(x, (float)(0.9 - (double)g.zoneMeters[i]), kZoneColours[i].dark,
                kZoneColours[i].bright);
    }

    // Counters from right to left: atoms, flowers, fractals, over their icons.
    static const float kCounterX[3] = {0.85f, 0.6f, 0.37f};
    for (int k = 0; k < 3; ++k) {
        std::snprintf(text, sizeof(text), "%d", g.collected[k]);
        fontB.DrawString(kCounterX[k], -0.55f, text);
    }

    glDisable(GL_TEXTURE_2D);
    stroke.SetSize(0.007f);
    std::snprintf(text, sizeof(text), "%.2f FPS", (double)g.fps);
    glLineWidth(4.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    stroke.DrawString(0.7f, 0.9f, text);
    glLineWidth(1.0f);
    glColor3f(0.7f, 1.0f, 0.5f);
    stroke.DrawString(0.7f, 0.9f, text);
}
