// Bitmap fonts on a real GL context: loading into a texture, the quads that drawing
// emits (recorded in feedback mode), and text lighting the screen where it should.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"
#include "tests/assets/bitmap_font_test_util.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/gl_test_window.h"

using fonttest::Block;
using fonttest::Picture;

namespace {

struct Vertex {
    float x, y;  // normalised device coordinates
    float s, t;  // texture coordinates
};

class BitmapFontGl : public ::testing::Test {
protected:
    static const int kSize = 256;
    GlTestWindow gl{kSize, kSize};
    std::vector<std::string> files;

    void SetUp() override {
        if (!gl.Ok()) GTEST_SKIP() << "no display";
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }
    void TearDown() override {
        for (const std::string& f : files) std::remove(f.c_str());
    }

    // 64 x 32: 'A' 8 x 12 at (16, 4), offsets (-2, 5), advance 10; 'b' 6 x 10 at (30, 4),
    // offsets (1, 3), advance 7; code 200, 4 x 4 at (40, 4), advance 5.
    std::string SmallFont() {
        Picture p(64, 32);
        p.PutBlock(Block({{'A', 8, 12, -2, 5, 10, 16, 4},
                          {'b', 6, 10, 1, 3, 7, 30, 4},
                          {200, 4, 4, 0, 0, 5, 40, 4}}));
        return Write("bitmap_font_small.tga", p);
    }
    std::string Write(const char* name, const Picture& p) {
        EXPECT_TRUE(fonttest::WriteTga(name, p));
        files.push_back(name);
        return name;
    }

    template <typename Draw>
    std::vector<Vertex> Feedback(Draw draw) {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer((GLsizei)buffer.size(), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        int n = glRenderMode(GL_RENDER);
        std::vector<Vertex> out;
        EXPECT_GE(n, 0) << "feedback buffer overflow";
        for (int i = 0; i < n;) {
            int token = (int)buffer[i++];
            if (token == GL_PASS_THROUGH_TOKEN) {
                ++i;
                continue;
            }
            if (token != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
            int count = (int)buffer[i++];
            for (int k = 0; k < count; ++k, i += 11) {
                // x y z, r g b a, s t r q
                out.push_back({buffer[i] / (kSize / 2.0f) - 1.0f,
                               buffer[i + 1] / (kSize / 2.0f) - 1.0f,
                               buffer[i + 7] / buffer[i + 10], buffer[i + 8] / buffer[i + 10]});
            }
        }
        return out;
    }
};

bool Near(const Vertex& a, const Vertex& b) {
    const float e = 1e-4f;
    return std::fabs(a.x - b.x) < e && std::fabs(a.y - b.y) < e && std::fabs(a.s - b.s) < e &&
           std::fabs(a.t - b.t) < e;
}

// The four corners that drawing glyph g at (x, y) with scale s must produce.
std::vector<Vertex> Corners(const BitmapGlyph& g, float x, float y, float s) {
    return {
        {x + s * g.xOffset, y - s * g.yOffset, g.textureX, g.textureY},
        {x + s * (g.width + g.xOffset), y - s * g.yOffset, g.textureX + g.width, g.textureY},
        {x + s * (g.width + g.xOffset), y - s * g.yOffset - s * g.height, g.textureX + g.width,
         g.textureY + g.textureHeight},
        {x + s * g.xOffset, y - s * g.yOffset - s * g.height, g.textureX,
         g.textureY + g.textureHeight},
    };
}

// Same vertex sets, whatever way the implementation splits quads into polygons.
void ExpectSameCorners(const std::vector<Vertex>& expected, const std::vector<Vertex>& got) {
    for (const Vertex& e : expected) {
        bool found = false;
        for (const Vertex& v : got) found = found || Near(e, v);
        EXPECT_TRUE(found) << "missing corner (" << e.x << ", " << e.y << ") tex (" << e.s << ", "
                           << e.t << ")";
    }
    for (const Vertex& v : got) {
        bool expectedHere = false;
        for (const Vertex& e : expected) expectedHere = expectedHere || Near(e, v);
        EXPECT_TRUE(expectedHere) << "stray vertex (" << v.x << ", " << v.y << ") tex (" << v.s
                                  << ", " << v.t << ")";
    }
}

TEST_F(BitmapFontGl, LoadMakesAMipmappedReplaceTextureOfTheWholePicture) {
    Picture p(64, 32);
    p.PutBlock(Block({{'A', 8, 12, -2, 5, 10, 16, 4}}));
    p.rgba[0] = 200;  // top-left pixel: red 200, opaque
    std::string file = Write("bitmap_font_load.tga", p);
    BitmapFont font;
    ASSERT_EQ(1, font.Load(file.c_str()));
    ASSERT_NE(-1, font.texture);
    EXPECT_EQ(1.0f, font.scale);
    EXPECT_EQ(0, font.glyphTable[int('A')]);

    glBindTexture(GL_TEXTURE_2D, (GLuint)font.texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(GL_LINEAR_MIPMAP_LINEAR, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(GL_LINEAR, value);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(GL_REPLACE, value);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(32, value) << "mipmap levels built";

    // Level 0 is the picture as read, top row first, metrics block included.
    std::vector<unsigned char> texels(64 * 32 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(p.rgba, texels);
}

TEST_F(BitmapFontGl, FailedLoadsLeaveNoTexture) {
    BitmapFont font;
    EXPECT_EQ(0, font.Load("bitmap_font_no_such_file.tga"));
    EXPECT_EQ(-1, font.texture);
    Picture opaque(16, 16);  // no metrics block
    EXPECT_EQ(0, font.Load(Write("bitmap_font_opaque.tga", opaque).c_str()));
    EXPECT_EQ(-1, font.texture);
    EXPECT_EQ(0, font.glyphCount);
}

TEST_F(BitmapFontGl, DestroyingTheFontDeletesItsTexture) {
    std::string file = SmallFont();
    GLuint name;
    {
        BitmapFont font;
        ASSERT_EQ(1, font.Load(file.c_str()));
        name = (GLuint)font.texture;
        EXPECT_EQ(GL_TRUE, glIsTexture(name));
    }
    EXPECT_EQ(GL_FALSE, glIsTexture(name));
}

TEST_F(BitmapFontGl, DrawCharEmitsTheGlyphQuad) {
    BitmapFont font;
    ASSERT_EQ(1, font.Load(SmallFont().c_str()));
    font.SetScale(2.0f);
    std::vector<Vertex> got = Feedback([&] { font.DrawChar(0.1f, 0.5f, 'A'); });
    // 'A' at scale 2: x offset -2/64, y offset 5/64, 8/64 wide, 12/64 high; texture
    // from (16/64, 4/32), 12/32 high.
    ExpectSameCorners({{0.0375f, 0.34375f, 0.25f, 0.125f},
                       {0.2875f, 0.34375f, 0.375f, 0.125f},
                       {0.2875f, -0.03125f, 0.375f, 0.5f},
                       {0.0375f, -0.03125f, 0.25f, 0.5f}},
                      got);
}

// Twice the signed area of a fed polygon (window x, y): negative when it runs clockwise.
float SignedArea2(const FedPrimitive& p) {
    float sum = 0.0f;
    const size_t n = p.xy.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        sum += p.xy[2 * i] * p.xy[2 * j + 1] - p.xy[2 * j] * p.xy[2 * i + 1];
    }
    return sum;
}

// The corners run top left, top right, bottom right, bottom left: one clockwise quad,
// never a crossed bow-tie, whose halves would turn opposite ways and leave parts of the
// glyph's box uncovered. (Comparing the corners as a set cannot see their order.)
TEST_F(BitmapFontGl, EachGlyphIsOneClockwiseQuadCoveringItsWholeBox) {
    BitmapFont font;
    ASSERT_EQ(1, font.Load(SmallFont().c_str()));
    struct Case {
        unsigned char c;
        float scale, x, y;
    };
    const Case cases[] = {
        {'A', 2.0f, 0.1f, 0.5f}, {'b', 1.5f, -0.6f, -0.2f}, {200, 3.0f, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        font.SetScale(c.scale);
        const BitmapGlyph& g = font.glyphs[font.glyphTable[c.c]];
        const std::vector<FedPrimitive> fed = RecordFeedback([&] { font.DrawChar(c.x, c.y, c.c); });
        ASSERT_FALSE(fed.empty()) << (int)c.c;
        float covered = 0.0f;
        for (const FedPrimitive& p : fed) {
            ASSERT_EQ(GL_POLYGON_TOKEN, p.token);
            const float a = SignedArea2(p) / 2.0f;
            EXPECT_LT(a, 0.0f) << "glyph " << (int)c.c << ": every part runs clockwise";
            covered -= a;
        }
        // The box in pixels: NDC sizes times half the window.
        const float box = c.scale * g.width * (kSize / 2.0f) * c.scale * g.height * (kSize / 2.0f);
        EXPECT_NEAR(box, covered, box * 1e-3f) << "glyph " << (int)c.c;
    }
}

TEST_F(BitmapFontGl, CharacterWithoutAGlyphDrawsNothing) {
    BitmapFont font;
    ASSERT_EQ(1, font.Load(SmallFont().c_str()));
    EXPECT_TRUE(Feedback([&] { font.DrawChar(0.0f, 0.0f, 'Z'); }).empty());
    BitmapFont unloaded;
    EXPECT_TRUE(Feedback([&] { unloaded.DrawChar(0.0f, 0.0f, 'A'); }).empty());
}

TEST_F(BitmapFontGl, DrawStringAdvancesSkipsMissingGlyphsAndBreaksLines) {
    BitmapFont font;
    ASSERT_EQ(1, font.Load(SmallFont().c_str()));
    const float s = 1.5f, x = -0.9f, y = 0.8f;
    font.SetScale(s);
    const BitmapGlyph& a = font.glyphs[font.glyphTable[int('A')]];
    const BitmapGlyph& b = font.glyphs[font.glyphTable[int('b')]];
    const BitmapGlyph& high = font.glyphs[font.glyphTable[200]];
    EXPECT_FLOAT_EQ((8.0f + 6.0f + 4.0f) / 64.0f / 3.0f, font.averageWidth);
    EXPECT_FLOAT_EQ(12.0f / 64.0f + 1.0f / 64.0f, font.lineHeight);

    int length = 0;
    std::vector<Vertex> got = Feedback([&] { length = font.DrawString(x, y, "A\xC8?b\nA"); });
    EXPECT_EQ(6, length);

    float pen = 0.0f;
    std::vector<Vertex> expected = Corners(a, x + pen, y, s);
    pen = pen + s * a.advance;
    for (const Vertex& v : Corners(high, x + pen, y, s)) expected.push_back(v);
    pen = pen + s * high.advance;
    pen = pen + s * font.averageWidth;  // '?' has no glyph
    for (const Vertex& v : Corners(b, x + pen, y, s)) expected.push_back(v);
    // The line feed returns to x, one scaled line height lower.
    for (const Vertex& v : Corners(a, x, y - s * font.lineHeight, s)) expected.push_back(v);
    ExpectSameCorners(expected, got);
}

TEST_F(BitmapFontGl, DrawStringOfNothing) {
    BitmapFont font;
    ASSERT_EQ(1, font.Load(SmallFont().c_str()));
    int length = -1;
    EXPECT_TRUE(Feedback([&] { length = font.DrawString(0.0f, 0.0f, ""); }).empty());
    EXPECT_EQ(0, length);
    EXPECT_EQ(0, font.DrawString(0.0f, 0.0f, nullptr));
}

// The shipped fonts drawn as the HUD draws them, on a 640 x 480 screen.
class BitmapFontScreen : public ::testing::Test {
protected:
    GlTestWindow gl{640, 480};
    void SetUp() override {
        if (!gl.Ok()) GTEST_SKIP() << "no display";
        glViewport(0, 0, 640, 480);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    int PixelX(float x) const { return (int)std::floor((x + 1.0f) * 320.0f); }
    int PixelY(float y) const { return (int)std::floor((y + 1.0f) * 240.0f); }

    // Each glyph of `text` lights its own quad, and nothing outside the quads is lit.
    void ExpectTextLit(BitmapFont& font, float x, float y, const char* text) {
        font.DrawString(x, y, text);
        long total = gl.RegionBrightness(0, 0, 640, 480);
        float pen = 0.0f;
        int x0 = 640, y0 = 480, x1 = 0, y1 = 0;
        for (const char* c = text; *c; ++c) {
            int j = font.glyphTable[(unsigned char)*c];
            ASSERT_NE(-1, j) << *c;
            const BitmapGlyph& g = font.glyphs[j];
            float s = font.scale;
            int qx0 = PixelX(x + pen + s * g.xOffset),
                qx1 = PixelX(x + pen + s * (g.width + g.xOffset)) + 1;
            int qy1 = PixelY(y - s * g.yOffset) + 1, qy0 = PixelY(y - s * g.yOffset - s * g.height);
            if (*c != ' ') {
                EXPECT_GT(gl.RegionBrightness(qx0, qy0, qx1, qy1), 255 * 20) << "glyph " << *c;
            }
            // No std::min / std::max here: windows.h defines them as macros.
            if (qx0 < x0) x0 = qx0;
            if (qy0 < y0) y0 = qy0;
            if (qx1 > x1) x1 = qx1;
            if (qy1 > y1) y1 = qy1;
            pen += s * g.advance;
        }
        long inside = gl.RegionBrightness(x0, y0, x1, y1);
        EXPECT_GT(inside, 0);
        EXPECT_EQ(total, inside) << "light outside the text's box";
        EXPECT_GE(x0, 0);
        EXPECT_LE(x1, 641);
        EXPECT_GE(y0, 0);
        EXPECT_LE(y1, 481);
    }
};

TEST_F(BitmapFontScreen, TechCountersAndCountdownLightTheirText) {
    BitmapFont tech;
    ASSERT_EQ(1, tech.Load(DataPath("font_tech.tga")));
    tech.SetScale(0.65f);
    ExpectTextLit(tech, 0.37f, -0.55f, "120");
    glClear(GL_COLOR_BUFFER_BIT);
    tech.SetScale(4.0f);
    ExpectTextLit(tech, -0.1f, 0.9f, "..3..");
}

TEST_F(BitmapFontScreen, VimraBannerLightsItsText) {
    BitmapFont vimra;
    ASSERT_EQ(1, vimra.Load(DataPath("font_vimra.tga")));
    ExpectTextLit(vimra, -0.3f, 0.9f, "SLIDE !");
    // Its colour is the picture's: warm, red above blue.
    std::vector<unsigned char> px = gl.ReadPixels();
    long red = 0, blue = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        red += px[i];
        blue += px[i + 2];
    }
    EXPECT_GT(red, 2 * blue);
}

}  // namespace
