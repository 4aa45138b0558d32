// Stroke font: loading font.txt texts, the segments that drawing emits (recorded in GL
// feedback mode on a real context), and our shipped font on the HUD's frame-rate spot.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/stroke_font.h"
#include "core/alloc_failure.h"
#include "tests/support/gl_test_window.h"

namespace {

struct Segment {
    float x1, y1, x2, y2;
};

bool operator==(const Segment& a, const Segment& b) {
    const float e = 1e-3f;
    return std::fabs(a.x1 - b.x1) < e && std::fabs(a.y1 - b.y1) < e &&
           std::fabs(a.x2 - b.x2) < e && std::fabs(a.y2 - b.y2) < e;
}

void PrintTo(const Segment& s, std::ostream* os) {
    *os << "(" << s.x1 << ", " << s.y1 << ")-(" << s.x2 << ", " << s.y2 << ")";
}

// A font.txt written for one test and removed afterwards.
class FontFile {
public:
    explicit FontFile(const std::string& text) {
        static int serial = 0;
        name_ = "stroke_font_test_" + std::to_string(serial++) + ".txt";
        FILE* f = std::fopen(name_.c_str(), "w");
        if (f) {
            std::fputs(text.c_str(), f);
            std::fclose(f);
        }
    }
    ~FontFile() { std::remove(name_.c_str()); }
    const char* Name() const { return name_.c_str(); }

private:
    std::string name_;
};

std::string Header(int maxChar, int spaceStyle, const char* width, const char* sideRatio) {
    return "n_max_char = " + std::to_string(maxChar) + ";\nn_space_style = " +
           std::to_string(spaceStyle) + ";\nf_default_width = " + width +
           ";\nf_side_ratio = " + sideRatio + ";\n";
}

// The small font of the description: 'L' and a one-segment default glyph.
const std::string kTwoGlyphs =
    "n_max_char = 1; n_space_style = 0; f_default_width = 1.0; f_side_ratio = 1.0;"
    " char[0].n_sign = 'L'; char[0].n_data = {0, 0, 0, 2, 0, 2, 1, 2};"
    " default_char.n_data = {0, 0, 1, 0};";

// Records what a draw emits: an orthographic view of x in [-10, 30], y in [-20, 20] on a
// 200 x 200 window, and feedback coordinates mapped back to those units.
class StrokeFontGl : public ::testing::Test {
protected:
    static const int kSize = 200;
    GlTestWindow gl{kSize, kSize};

    void SetUp() override {
        if (!gl.Ok()) GTEST_SKIP() << "no display";
    }

    template <typename Draw>
    std::vector<Segment> Record(Draw draw) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10.0, 30.0, -20.0, 20.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer((GLsizei)buffer.size(), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        GLint count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer overflow";

        auto unitX = [](float w) { return w / 5.0f - 10.0f; };
        auto unitY = [](float w) { return w / 5.0f - 20.0f; };
        std::vector<Segment> segments;
        for (GLint i = 0; i < count;) {
            GLint token = (GLint)buffer[i++];
            if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
                segments.push_back({unitX(buffer[i]), unitY(buffer[i + 1]), unitX(buffer[i + 2]),
                                    unitY(buffer[i + 3])});
                i += 4;
            } else {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
        }
        return segments;
    }
};

TEST_F(StrokeFontGl, TwoGlyphExampleEmitsTheDescribedSegments) {
    FontFile file(kTwoGlyphs);
    StrokeFont font;
    ASSERT_EQ(1, font.Load(file.Name()));
    EXPECT_EQ(2, font.glyphCount);
    EXPECT_EQ(1.0f, font.cellWidth);
    EXPECT_EQ(1.0f, font.glyphs[0].width);
    EXPECT_EQ(1.0f, font.glyphs[1].width);
    EXPECT_EQ(1.0f, font.scale);

    std::vector<Segment> want = {{0, 0, 0, -2}, {0, -2, 1, -2}, {2, 0, 2, -2}, {2, -2, 3, -2}};
    EXPECT_EQ(want, Record([&] { font.DrawString(0.0f, 0.0f, "LL"); }));

    // Every other code but the space and the line feed draws the default segment.
    for (int c : {(int)'A', (int)'l', (int)'0', (int)'~', 1, 127, 128, 255}) {
        SCOPED_TRACE(c);
        std::vector<Segment> one = {{3, 2, 4, 2}};
        EXPECT_EQ(one, Record([&] { font.DrawChar(3.0f, 2.0f, (unsigned char)c); }));
    }
    EXPECT_TRUE(Record([&] { font.DrawString(0.0f, 0.0f, " \n "); }).empty());
}

struct DrawCase {
    const char* name;
    std::string font;
    std::string text;
    float x, y, size;  // size < 0: keep the loaded scale
    std::vector<Segment> segments;
};

void PrintTo(const DrawCase& c, std::ostream* os) { *os << c.name; }

const DrawCase kDrawCases[] = {
    {"default glyph only", Header(0, 1, "1.0", "1.0") + "default_char.n_data = {0, 0, 1, 0};",
     "ab c\n", 0, 0, -1,
     // the space draws the '_' glyph, here the default one, and advances by the cell width
     {{0, 0, 1, 0}, {2, 0, 3, 0}, {4, 0, 5, 0}, {5, 0, 6, 0}}},
    {"later glyph with the same sign wins",
     Header(2, 0, "1.0", "1.0") +
         "char[0].n_sign = 'A'; char[0].n_data = {0, 0, 0, 1};"
         "char[1].n_sign = 'A'; char[1].n_data = {0, 0, 2, 0};"
         "default_char.n_data = {0, 0, 1, 1};",
     "A", 1, 1, -1, {{1, 1, 3, 1}}},
    {"space style 0 leaves a cell-wide gap", kTwoGlyphs, "L L", 0, 0, -1,
     {{0, 0, 0, -2}, {0, -2, 1, -2}, {3, 0, 3, -2}, {3, -2, 4, -2}}},
    {"space style 1 draws the underscore",
     Header(2, 1, "1.0", "1.0") +
         "char[0].n_sign = 'i'; char[0].n_data = {0, 0, 0, 2};"
         "char[1].n_sign = '_'; char[1].n_data = {0, 3, 3, 3};"
         "default_char.n_data = {0, 0, 1, 0};",
     "i i", 0, 0, -1,
     // cell width 3: 'i' advances 1, the space 3
     {{0, 0, 0, -2}, {1, -3, 4, -3}, {4, 0, 4, -2}}},
    {"line feed returns and moves by the cell height",
     Header(1, 0, "1.0", "2.0") + "char[0].n_sign = 'L'; char[0].n_data = {0, 0, 0, 2, 0, 2, 1, 2};"
                                  "default_char.n_data = {0, 0, 1, 0};",
     "L\nL", 0, 0, -1,
     // side ratio 2 doubles glyph y; the line step is (1 * 2 + 1) * 1, added to y
     {{0, 0, 0, -4}, {0, -4, 1, -4}, {0, 3, 0, -1}, {0, -1, 1, -1}}},
    {"codes of 128 and above",
     Header(1, 0, "1.0", "1.0") + "char[0].n_sign = 233; char[0].n_data = {0, 0, 0, 1};"
                                  "default_char.n_data = {0, 0, 1, 0};",
     "\xE9\xC8", 0, 0, -1, {{0, 0, 0, -1}, {1, 0, 2, 0}}},
    {"partial group is not drawn but counts",
     Header(1, 0, "1.0", "1.0") + "char[0].n_sign = 'k'; char[0].n_data = {1, 0, 1, 1, 4, 9};"
                                  "default_char.n_data = {0, 0, 1, 0};",
     // left 1 and width 3 come from the lone third x
     "kk", 0, 0, -1, {{0, 0, 0, -1}, {4, 0, 4, -1}}},
    {"leftmost point lands on the pen",
     Header(1, 0, "1.0", "1.0") + "char[0].n_sign = 'r'; char[0].n_data = {2, 0, 3, 1};"
                                  "default_char.n_data = {0, 0, 1, 0};",
     "rr", 5, 5, -1, {{5, 5, 6, 4}, {7, 5, 8, 4}}},
    {"size scales strokes and advances", kTwoGlyphs, "Lx", -2, 4, 2.5f,
     {{-2, 4, -2, -1}, {-2, -1, 0.5f, -1}, {3, 4, 5.5f, 4}}},
    {"references and named reals in the data",
     Header(1, 0, "1.0", "1.0") + "char[0].n_sign = c; c = 'Z'; char[0].n_data = {0, 0, two, Pi};"
                                  "two = 2; default_char.n_data = {0, 0, 1, 0};",
     "Z", 0, 0, -1, {{0, 0, 2, -3.1415927f}}},
};

class StrokeFontDraw : public StrokeFontGl, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(StrokeFontDraw, EmitsSegments) {
    const DrawCase& c = GetParam();
    FontFile file(c.font);
    StrokeFont font;
    ASSERT_EQ(1, font.Load(file.Name()));
    if (c.size >= 0.0f) font.SetSize(c.size);
    EXPECT_EQ(c.segments, Record([&] { font.DrawString(c.x, c.y, c.text.c_str()); }));
}

INSTANTIATE_TEST_SUITE_P(Cases, StrokeFontDraw, ::testing::ValuesIn(kDrawCases),
                         [](const ::testing::TestParamInfo<DrawCase>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p) {
                                 n += (std::isalnum((unsigned char)*p) ? *p : '_');
                             }
                             return n;
                         });

TEST(StrokeFont, MetricsOfAPartialGroup) {
    FontFile file(Header(1, 0, "1.0", "1.0") +
                  "char[0].n_sign = 'k'; char[0].n_data = {1, 0, 1, 1, 4, 9};"
                  "default_char.n_data = {0.5, 0, 1.5, 0};");
    StrokeFont font;
    ASSERT_EQ(1, font.Load(file.Name()));
    EXPECT_EQ(1.0f, font.glyphs[0].left);
    EXPECT_EQ(3.0f, font.glyphs[0].width);
    EXPECT_EQ(0.5f, font.glyphs[1].left);
    EXPECT_EQ(1.0f, font.glyphs[1].width);
    EXPECT_EQ(4.0f, font.cellWidth);
    EXPECT_EQ(0, font.glyphTable[(unsigned char)'k']);
    EXPECT_EQ(1, font.glyphTable[(unsigned char)'j']);
}

std::string ManyGlyphs(int count) {
    std::string s = Header(count, 0, "1.0", "1.0");
    for (int k = 0; k < count; ++k) {
        s += "char[" + std::to_string(k) + "].n_sign = " + std::to_string(k + 1) + "; char[" +
             std::to_string(k) + "].n_data = {0, 0, 1, 1};\n";
    }
    return s + "default_char.n_data = {0, 0, 1, 0};";
}

struct LoadCase {
    const char* name;
    std::string text;  // empty: no file at all
    int result;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

const std::string kGlyph = "char[0].n_sign = 'L'; char[0].n_data = {0, 0, 0, 2};";
const std::string kDefault = "default_char.n_data = {0, 0, 1, 0};";

const LoadCase kLoadCases[] = {
    {"complete", Header(1, 0, "1.0", "1.0") + kGlyph + kDefault, 1},
    {"127 glyphs fit the table", ManyGlyphs(127), 1},
    {"128 glyphs do not", ManyGlyphs(128), 0},
    {"negative glyph count", "n_max_char = 0xFFFFFFFF; n_space_style = 0; f_default_width = 1.0;"
                             "f_side_ratio = 1.0;" + kDefault, 0},
    {"no file", "", 0},
    {"parse failure", Header(1, 0, "1.0", "1.0") + kGlyph + "default_char.n_data = {};", 0},
    {"missing n_max_char",
     "n_space_style = 0; f_default_width = 1.0; f_side_ratio = 1.0;" + kGlyph + kDefault, 0},
    {"missing n_space_style",
     "n_max_char = 1; f_default_width = 1.0; f_side_ratio = 1.0;" + kGlyph + kDefault, 0},
    {"missing f_default_width",
     "n_max_char = 1; n_space_style = 0; f_side_ratio = 1.0;" + kGlyph + kDefault, 0},
    {"missing f_side_ratio",
     "n_max_char = 1; n_space_style = 0; f_default_width = 1.0;" + kGlyph + kDefault, 0},
    {"missing sign", Header(1, 0, "1.0", "1.0") + "char[0].n_data = {0, 0, 0, 2};" + kDefault, 0},
    {"missing data", Header(1, 0, "1.0", "1.0") + "char[0].n_sign = 'L';" + kDefault, 0},
    {"missing default glyph", Header(1, 0, "1.0", "1.0") + kGlyph, 0},
    {"more glyphs counted than defined", Header(2, 0, "1.0", "1.0") + kGlyph + kDefault, 0},
    {"side ratio of a wrong kind", Header(1, 0, "1.0", "'c'") + kGlyph + kDefault, 0},
    {"first glyph count wins", Header(0, 0, "1.0", "1.0") + "n_max_char = 1;" + kDefault, 1},
    {"real glyph count", "n_max_char = 1.5; n_space_style = 0; f_default_width = 1.0;"
                         "f_side_ratio = 1.0;" + kGlyph + kDefault, 0},
    {"character in the data", Header(1, 0, "1.0", "1.0") +
                                  "char[0].n_sign = 'L'; char[0].n_data = {0, 'a', 0, 2};" +
                                  kDefault, 0},
    {"string sign", Header(1, 0, "1.0", "1.0") +
                        "char[0].n_sign = \"L\"; char[0].n_data = {0, 0, 0, 2};" + kDefault, 0},
};

class StrokeFontLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(StrokeFontLoad, AcceptsOnlyCompleteFonts) {
    const LoadCase& c = GetParam();
    StrokeFont font;
    int result;
    if (c.text.empty()) {
        result = font.Load("stroke_font_test_missing.txt");
    } else {
        FontFile file(c.text);
        result = font.Load(file.Name());
    }
    EXPECT_EQ(c.result, result);
    if (result == 0) {
        // Nothing of a failed load is ever drawn.
        for (int code = 0; code < 256; ++code) ASSERT_EQ(-1, font.glyphTable[code]) << code;
    } else {
        for (int code = 0; code < 256; ++code) {
            ASSERT_GE(font.glyphTable[code], 0);
            ASSERT_LT(font.glyphTable[code], font.glyphCount);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StrokeFontLoad, ::testing::ValuesIn(kLoadCases),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p) {
                                 n += (std::isalnum((unsigned char)*p) ? *p : '_');
                             }
                             return n;
                         });

TEST_F(StrokeFontGl, FailedLoadDrawsNothing) {
    FontFile good(kTwoGlyphs);
    FontFile bad(Header(1, 0, "1.0", "1.0") + kGlyph);  // no default glyph
    StrokeFont font;
    EXPECT_TRUE(Record([&] { font.DrawString(0.0f, 0.0f, "L x"); }).empty());  // never loaded
    ASSERT_EQ(1, font.Load(good.Name()));
    ASSERT_EQ(0, font.Load(bad.Name()));
    EXPECT_TRUE(Record([&] { font.DrawString(0.0f, 0.0f, "L x"); }).empty());
    font.Clear();
    EXPECT_TRUE(Record([&] { font.DrawString(0.0f, 0.0f, "L x"); }).empty());
}

// Every allocation of a load failing in turn: each such load reports failure and leaves
// nothing behind (the sanitizer build checks for leaks), until one has enough memory.
TEST(StrokeFont, LoadSurvivesEveryFailedAllocation) {
    FontFile file(kTwoGlyphs + " char[1].n_sign = 'M';");
    StrokeFont font;
    int failures = 0;
    for (int allowed = 0; allowed < 200; ++allowed) {
        SetAllocFailure(allowed);
        int result = font.Load(file.Name());
        SetAllocFailure(-1);
        if (result == 1) break;
        ++failures;
    }
    EXPECT_GT(failures, 5);
    ASSERT_EQ(2, font.glyphCount);
    EXPECT_EQ(0, font.glyphTable[(unsigned char)'L']);
}

TEST(StrokeFont, ShippedFontCoversPrintableAscii) {
    StrokeFont font;
    ASSERT_EQ(1, font.Load(DataPath("font.txt")));
    EXPECT_EQ(0, font.spaceStyle);
    EXPECT_EQ(96, font.glyphCount);
    for (int code = 32; code <= 126; ++code) {
        SCOPED_TRACE(code);
        int g = font.glyphTable[code];
        ASSERT_GE(g, 0);
        ASSERT_LT(g, font.glyphCount - 1) << "drawn with the default glyph";
        EXPECT_EQ(code, font.glyphs[g].sign);
        if (code != ' ') {
            EXPECT_GE(font.glyphs[g].dataCount, 4);
            EXPECT_EQ(0, font.glyphs[g].dataCount % 4);
            EXPECT_EQ(0.0f, font.glyphs[g].left);
        }
    }
    EXPECT_GE(font.glyphs[font.glyphCount - 1].dataCount, 4);
}

// The HUD's frame-rate text: scale 0.007 at (0.7, 0.9) in normalised device coordinates
// on a 640 x 480 screen. It must stay on screen below the top edge, be tall enough to read
// and show its eight inked characters apart from each other.
TEST(StrokeFontPicture, FrameRateTextAtTheHudSize) {
    GlTestWindow gl(640, 480);
    if (!gl.Ok()) GTEST_SKIP() << "no display";
    StrokeFont font;
    ASSERT_EQ(1, font.Load(DataPath("font.txt")));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glLineWidth(1.0f);
    glColor3f(0.7f, 1.0f, 0.5f);
    font.SetSize(0.007f);
    font.DrawString(0.7f, 0.9f, "60.00 FPS");

    std::vector<unsigned char> px = gl.ReadPixels();
    auto lit = [&](int x, int y) {
        const unsigned char* p = &px[((size_t)y * 640 + (size_t)x) * 4];
        return p[0] + p[1] + p[2] > 60;
    };
    int left = 640, right = -1, bottom = 480, top = -1;
    std::vector<bool> column(640, false);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (!lit(x, y)) continue;
            column[x] = true;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < bottom) bottom = y;
            if (y > top) top = y;
        }
    }
    ASSERT_GE(right, 0) << "nothing drawn";
    // The pen is at pixel (544, 456) counted from the bottom left.
    EXPECT_GE(left, 543);
    EXPECT_LE(left, 548);
    EXPECT_LE(right, 636) << "text runs off the right edge";
    EXPECT_LE(top, 456);
    EXPECT_GE(top, 440);
    EXPECT_GE(bottom, 415);
    EXPECT_GE(top - bottom, 10) << "too small to read";
    EXPECT_GT(gl.RegionBrightness(544, 415, 640, 457), 10000);
    EXPECT_EQ(gl.RegionBrightness(0, 0, 640, 480), gl.RegionBrightness(540, 415, 640, 457));

    int groups = 0;
    for (int x = 0; x < 640; ++x) {
        if (column[x] && (x == 0 || !column[x - 1])) ++groups;
    }
    EXPECT_EQ(8, groups) << "6 0 . 0 0 F P S should stand apart";
}

}  // namespace
