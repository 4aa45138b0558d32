#include "app/results_panel.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "game/frame_driver.h"
#include "game/world.h"

const char kFlyAgainKeysText[] = "SPACE, ENTER OR CLICK: FLY AGAIN      ESC: QUIT";
// Font B at 0.42 (the HUD's counters use 0.65) keeps ten rows and their head between
// the title and the keys.
const float kResultsTextScale = 0.42f;
const float kResultsColumnX[6] = {-0.74f, -0.62f, -0.36f, -0.15f, 0.08f, 0.34f};

namespace {

std::vector<unsigned char> g_picture;
int g_pictureWidth = 0;
int g_pictureHeight = 0;

const float kTextScale = kResultsTextScale;
const float* const kColumnX = kResultsColumnX;
const float kRowStep = 0.072f;
const float kHeadTop = 0.42f;

// Font B is pale blue; the flight's own row stands on a warm band.
void Colour() { glColor3f(0.85f, 0.95f, 1.0f); }

void DrawRow(BitmapFont& font, float y, const char* rank, const FlightRow& row) {
    char text[64];
    font.DrawString(kColumnX[0], y, rank);
    FormatScore(row.score.hundredths, text, (int)sizeof(text));
    font.DrawString(kColumnX[1], y, text);
    for (int k = 0; k < 3; ++k) {
        std::snprintf(text, sizeof(text), "%d", row.collected[k]);
        font.DrawString(kColumnX[2 + k], y, text);
    }
    font.DrawString(kColumnX[5], y, row.date.c_str());
}

void Band(float x0, float y0, float x1, float y1, float r, float g, float b, float alpha) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(r, g, b, alpha);
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void MarkRow(float top, BitmapFont& font) {
    const float height = font.lineHeight * font.scale;
    Band(-0.78f, top - height - 0.008f, 0.78f, top + 0.008f, 0.9f, 0.5f, 0.1f, 0.4f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace

float ResultsRowTop(int row) { return kHeadTop - kRowStep * (float)(row + 1); }

void KeepLastPicture(int width, int height) {
    if (width <= 0 || height <= 0) return;
    g_picture.assign((size_t)width * (size_t)height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, g_picture.data());
    g_pictureWidth = width;
    g_pictureHeight = height;
}

void DrawResultsPanel(const ResultsView& view, BitmapFont& title, BitmapFont& text) {
    Band(-0.86f, -0.86f, 0.86f, 0.94f, 0.0f, 0.0f, 0.05f, 0.72f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const float oldTitle = title.scale;
    const float oldText = text.scale;
    char line[160];
    char score[32];
    FormatScore(view.flight.score.hundredths, score, (int)sizeof(score));

    glColor3f(1.0f, 1.0f, 1.0f);
    title.SetScale(0.8f);
    title.DrawString(-0.42f, 0.88f, view.newBest ? "NEW BEST !" : "FLIGHT OVER");

    text.SetScale(kTextScale * 1.3f);
    Colour();
    std::snprintf(line, sizeof(line), "SCORE %s", score);
    text.DrawString(-0.74f, 0.66f, line);
    text.SetScale(kTextScale);
    std::snprintf(line, sizeof(line),
                  "%s s flown from SLIDE ! to game over,  %d atoms  %d flowers  %d fractals",
                  score, view.flight.collected[0], view.flight.collected[1],
                  view.flight.collected[2]);
    text.DrawString(-0.74f, 0.55f, line);

    float y = kHeadTop;
    glColor3f(0.6f, 0.7f, 0.8f);
    const char* heads[6] = {"#", "SCORE", "ATOMS", "FLOWERS", "FRACTALS", "DATE"};
    for (int c = 0; c < 6; ++c) text.DrawString(kColumnX[c], y, heads[c]);
    for (size_t i = 0; i < view.table.rows.size(); ++i) {
        y = ResultsRowTop((int)i);
        const bool marked = (int)i == view.rank;
        if (marked) MarkRow(y, text);
        Colour();
        char rank[16];
        std::snprintf(rank, sizeof(rank), marked ? ">%d" : "%d", (int)i + 1);
        DrawRow(text, y, rank, view.table.rows[i]);
    }
    if (view.rank < 0) {
        // Not among the ten: the flight's row stands apart below them, marked alike.
        y = ResultsRowTop(kBestFlightsKept) - kRowStep * 0.4f;
        MarkRow(y, text);
        Colour();
        DrawRow(text, y, "-", view.flight);
    }

    glColor3f(1.0f, 1.0f, 1.0f);
    title.SetScale(0.42f);
    title.DrawString(-0.74f, -0.72f, kFlyAgainKeysText);

    title.SetScale(oldTitle);
    text.SetScale(oldText);
}

void DrawResults(const ResultsView& view) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!g_picture.empty()) {
        glRasterPos2f(-1.0f, -1.0f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glDrawPixels(g_pictureWidth, g_pictureHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                     g_picture.data());
    }
    DrawResultsPanel(view, fontA, fontB);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    if (display != nullptr) display->Present();
}
