// The results seen in the picture, at 640x480 and at 1920x1080: the last picture around
// the panel, every row of the table found by its pixels where the table stands (and
// nothing below the last), the flight's own row marked in its colour, its score drawn as
// the font draws that text, and tall enough to read.
#include "app/results_panel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include <GL/gl.h>

#include "app/startup.h"
#include "game/world.h"
#include "tests/app/flight_row.h"
#include "tests/support/gl_test_window.h"

namespace {

struct Picture {
    std::vector<unsigned char> rgba;  // bottom row first
    int w, h;
    const unsigned char* At(int x, int y) const { return &rgba[((size_t)y * w + x) * 4]; }
    // Pixels in the cell of row `row`, from column `column` to the next, that pass `lit`.
    template <class Lit>
    std::vector<bool> Cell(int row, int column, float lineHeight, Lit lit) const {
        int x0, x1, y0, y1;
        Bounds(row, column, lineHeight, &x0, &x1, &y0, &y1);
        std::vector<bool> mask;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) mask.push_back(lit(At(x, y)));
        return mask;
    }
    void Bounds(int row, int column, float lineHeight, int* x0, int* x1, int* y0, int* y1) const {
        const float top = ResultsRowTop(row);
        *x0 = (int)((kResultsColumnX[column] + 1.0f) * 0.5f * (float)w);
        *x1 = (int)((kResultsColumnX[column + 1] + 1.0f) * 0.5f * (float)w);
        *y0 = (int)((top - lineHeight + 1.0f) * 0.5f * (float)h);
        *y1 = (int)((top + 1.0f) * 0.5f * (float)h);
    }
};

// With ORV_PICTURES set to a folder, the picture is saved there (PPM) to be looked at.
void Save(const Picture& p, const char* name) {
    const char* dir = std::getenv("ORV_PICTURES");
    if (dir == nullptr) return;
    FILE* f = std::fopen((std::string(dir) + "/" + name).c_str(), "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", p.w, p.h);
    for (int y = p.h - 1; y >= 0; --y)
        for (int x = 0; x < p.w; ++x) std::fwrite(p.At(x, y), 1, 3, f);
    std::fclose(f);
}

int Count(const std::vector<bool>& mask) {
    int n = 0;
    for (bool b : mask) n += b ? 1 : 0;
    return n;
}

// The table's text: font B's pale blue, bright.
bool Light(const unsigned char* p) { return p[0] + p[1] + p[2] > 400 && p[2] > p[0]; }
// The marked row's band: warm orange over the shaded picture, neither the text nor the
// plain shade.
bool Marked(const unsigned char* p) { return p[1] > 30 && p[0] > p[1] + 30 && p[2] < p[1]; }

class ResultsPicture : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ResultsPicture, TheTableIsFoundByItsPixels) {
    const int w = GetParam().first, h = GetParam().second;
    // A plain GL window, not the game's: the panel needs only a context and the fonts,
    // and a window that leaves the pointer alone disturbs no other test on the display.
    GlTestWindow harness(w, h);
    if (!harness.Ok()) GTEST_SKIP() << "no display";
    ASSERT_EQ(LoadFonts(ORV_DATA_DIR "/"), 1);
    glViewport(0, 0, w, h);

    // The flight's last picture: plain dark red, so that what the panel adds stands out.
    glClearColor(0.5f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    KeepLastPicture(w, h);

    ResultsView view;
    view.table.rows = {Row(2341, 2, 1, 0), Row(1234, 0, 3, 1), Row(500, 0, 0, 0)};
    view.flight = view.table.rows[1];
    view.rank = 1;
    DrawResults(view);
    Picture shown{harness.ReadPixels(), w, h};
    Save(shown, (std::to_string(w) + "x" + std::to_string(h) + "_results.ppm").c_str());

    // Around the panel the last picture stays as it was.
    const unsigned char* corner = shown.At(2, 2);
    EXPECT_EQ(corner[0], 128) << "the last picture at the corner";
    EXPECT_EQ(corner[1], 0);

    const float line = fontB.lineHeight * kResultsTextScale;
    for (int row = 0; row < 10; ++row) {
        const int lit = Count(shown.Cell(row, 1, line, Light));
        if (row < 3) EXPECT_GT(lit, 0) << w << "x" << h << ": no score drawn in row " << row + 1;
        else EXPECT_EQ(lit, 0) << w << "x" << h << ": something drawn in the empty row " << row + 1;
        const int marked = Count(shown.Cell(row, 1, line, Marked));
        if (row == 1) EXPECT_GT(marked, 0) << "this flight's row is not marked";
        else EXPECT_EQ(marked, 0) << "row " << row + 1 << " is marked";
    }

    // The marked score is the text "12.34" as the font draws it there, on the band's own
    // colour (taken where the band holds no text, at its left end).
    int bx0, bx1, by0, by1;
    shown.Bounds(1, 1, line, &bx0, &bx1, &by0, &by1);
    const unsigned char* band = shown.At((int)((1.0f - 0.77f) * 0.5f * (float)w), (by0 + by1) / 2);
    ASSERT_TRUE(Marked(band)) << (int)band[0] << "," << (int)band[1] << "," << (int)band[2];
    glClearColor(band[0] / 255.0f, band[1] / 255.0f, band[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(0.85f, 0.95f, 1.0f);
    const float old = fontB.scale;
    fontB.SetScale(kResultsTextScale);
    fontB.DrawString(kResultsColumnX[1], ResultsRowTop(1), "12.34");
    fontB.SetScale(old);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    Picture reference{harness.ReadPixels(), w, h};
    const std::vector<bool> want = reference.Cell(1, 1, line, Light);
    const std::vector<bool> got = shown.Cell(1, 1, line, Light);
    ASSERT_EQ(want.size(), got.size());
    int both = 0, either = 0;
    for (size_t i = 0; i < want.size(); ++i) {
        both += want[i] && got[i] ? 1 : 0;
        either += want[i] || got[i] ? 1 : 0;
    }
    ASSERT_GT(either, 0);
    EXPECT_GE((double)both / either, 0.9) << "the marked score is not the text 12.34";

    // Tall enough to read: the digits span this many pixel rows.
    int x0, x1, y0, y1;
    shown.Bounds(1, 1, line, &x0, &x1, &y0, &y1);
    int rowsWithInk = 0;
    for (int y = y0; y < y1; ++y) {
        bool ink = false;
        for (int x = x0; x < x1 && !ink; ++x) ink = Light(shown.At(x, y));
        rowsWithInk += ink ? 1 : 0;
    }
    std::printf("%dx%d: the table's digits are %d pixels tall\n", w, h, rowsWithInk);
    EXPECT_GE(rowsWithInk, 8) << "too small to read at " << w << "x" << h;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResultsPicture,
                         ::testing::Values(std::make_pair(640, 480), std::make_pair(1920, 1080)));

}  // namespace
