// Metrics decoding of the bitmap fonts, on decoded pixels (no GL context), and the two
// shipped font pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"
#include "assets/tga_image.h"
#include "core/alloc_failure.h"
#include "core/grow_array.h"
#include "tests/assets/bitmap_font_test_util.h"
#include "tests/support/gl_test_window.h"

using fonttest::Block;
using fonttest::GlyphSpec;
using fonttest::Picture;
using fonttest::Word1;
using fonttest::Word2;
using fonttest::Word3;

namespace {

int Read(BitmapFont& font, const Picture& p) {
    return font.ReadMetrics(p.rgba.data(), p.width, p.height);
}

void ExpectNoGlyphs(const BitmapFont& font) {
    EXPECT_EQ(0, font.glyphCount);
    EXPECT_EQ(nullptr, font.glyphs);
    for (int c = 0; c < 256; ++c) ASSERT_EQ(-1, font.glyphTable[c]) << c;
}

// The block of one glyph: 'A', 8 x 12 pixels, offsets (-2, 5), advance 10, at (16, 32).
std::vector<unsigned> OneGlyph() {
    return {1, Word1(65, 8, 12), Word2(-2, 5, 10), Word3(16, 32), 4};
}

void ExpectTheOneGlyph(const BitmapFont& font) {
    ASSERT_EQ(1, font.glyphCount);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(c == 65 ? 0 : -1, font.glyphTable[c]) << c;
    const BitmapGlyph& g = font.glyphs[0];
    EXPECT_EQ(65, g.code);
    EXPECT_FLOAT_EQ(0.03125f, g.width);
    EXPECT_FLOAT_EQ(0.09375f, g.textureHeight);
    EXPECT_FLOAT_EQ(0.046875f, g.height);
    EXPECT_FLOAT_EQ(16.0f / 256.0f, g.textureX);
    EXPECT_FLOAT_EQ(32.0f / 128.0f, g.textureY);
    EXPECT_FLOAT_EQ(10.0f / 256.0f, g.advance);
    EXPECT_FLOAT_EQ(-2.0f / 256.0f, g.xOffset);
    EXPECT_FLOAT_EQ(5.0f / 256.0f, g.yOffset);
    EXPECT_FLOAT_EQ(0.03125f, font.averageWidth);
    EXPECT_FLOAT_EQ(0.046875f + 1.0f / 256.0f, font.lineHeight);
}

// The one glyph's block written into a 256 x 128 picture in ways the reader must see
// past; each decodes to exactly that glyph.
TEST(BitmapFontMetrics, TheOneGlyphBlockDecodesHoweverItIsWritten) {
    struct Case {
        const char* name;
        void (*write)(Picture&);
    };
    const Case cases[] = {
        {"as it is", [](Picture& p) { p.PutBlock(OneGlyph()); }},
        {"with opaque pixels between its words", [](Picture& p) { p.PutBlock(OneGlyph(), 3); }},
        {"after transparent pixels that would wreck the metrics if read",
         [](Picture& p) {
             for (int i = 0; i < 256 * 100; i += 2) p.PutWord(i, 0xFFFFFF - (unsigned)i);
             p.PutBlock(OneGlyph());
         }},
        {"with a larger count, the words nearest the end ignored",
         [](Picture& p) {
             std::vector<unsigned> words = OneGlyph();
             words.back() = 0x123456;
             words.push_back(0x654321);
             words.push_back(6);
             p.PutBlock(words);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p(256, 128);
        c.write(p);
        BitmapFont font;
        ASSERT_EQ(1, Read(font, p));
        ExpectTheOneGlyph(font);
    }
}

TEST(BitmapFontMetrics, WhenThePixelsRunOutTheFirstWordIsTheCount) {
    Picture p(16, 4);
    std::vector<unsigned> words = OneGlyph();
    words.back() = 1000;  // more than the picture holds
    p.PutBlock(words);
    BitmapFont font;
    ASSERT_EQ(1, Read(font, p));
    ASSERT_EQ(1, font.glyphCount);
    EXPECT_EQ(0, font.glyphTable[65]);
}

TEST(BitmapFontMetrics, SeveralGlyphsFillTableAverageAndLineHeight) {
    Picture p(128, 64);
    p.PutBlock(Block({
        {'a', 10, 20, 0, 0, 11, 0, 0},
        {'b', 6, 30, 1, -3, 7, 10, 0},
        {200, 4, 8, 0, 0, 5, 20, 0},     // codes above 127 are looked up like any other
        {'a', 14, 10, 0, 0, 15, 30, 0},  // a later glyph with the same code wins
    }));
    BitmapFont font;
    ASSERT_EQ(1, Read(font, p));
    ASSERT_EQ(4, font.glyphCount);
    EXPECT_EQ(3, font.glyphTable[int('a')]);
    EXPECT_EQ(1, font.glyphTable[int('b')]);
    EXPECT_EQ(2, font.glyphTable[200]);
    EXPECT_EQ(-1, font.glyphTable[int('c')]);
    EXPECT_FLOAT_EQ(14.0f / 128.0f, font.glyphs[3].width);
    EXPECT_FLOAT_EQ((10.0f / 128 + 6.0f / 128 + 4.0f / 128 + 14.0f / 128) / 4, font.averageWidth);
    EXPECT_FLOAT_EQ(30.0f / 128 + 1.0f / 128, font.lineHeight);
    EXPECT_FLOAT_EQ(-3.0f / 128, font.glyphs[1].yOffset);
}

TEST(BitmapFontMetrics, MalformedBlocksAreRejected) {
    struct Case {
        const char* what;
        std::vector<unsigned> words;  // empty: no alpha-0 pixel at all
    } cases[] = {
        {"no transparent pixel", {}},
        {"a count of 0", {1, Word1(65, 8, 12), Word2(0, 0, 9), Word3(0, 0), 0}},
        {"the count alone", {7}},
        {"no glyphs", {0, 1}},
        {"two glyphs announced, one present",
         {2, Word1(65, 8, 12), Word2(0, 0, 9), Word3(0, 0), 4}},
        {"a huge glyph count", {0xFFFFFF, Word1(65, 8, 12), Word2(0, 0, 9), Word3(0, 0), 4}},
        {"a glyph cut short", {1, Word1(65, 8, 12), Word2(0, 0, 9), 3}},
    };
    for (const Case& c : cases) {
        Picture p(64, 16);
        p.PutBlock(c.words);
        BitmapFont font;
        EXPECT_EQ(0, Read(font, p)) << c.what;
        ExpectNoGlyphs(font);
    }
    BitmapFont font;
    EXPECT_EQ(0, font.ReadMetrics(nullptr, 4, 4));
    unsigned char one[4] = {1, 0, 0, 0};
    EXPECT_EQ(0, font.ReadMetrics(one, 0, 1));
    EXPECT_EQ(0, font.ReadMetrics(one, 1, 0));
}

TEST(BitmapFontMetrics, GlyphRectanglesAreClampedToThePicture) {
    const int w = 256, h = 128;
    Picture p(w, h);
    p.PutBlock(Block({
        {'a', 8, 12, 0, 0, 9, 4000, 10},  // starts right of the picture
        {'b', 20, 12, 0, 0, 9, 250, 10},  // runs over the right edge
        {'c', 8, 20, 0, 0, 9, 10, 120},   // runs over the bottom
        {'d', 8, 12, 0, 0, 9, 10, 4000},  // starts below the picture
        {'e', 8, 12, 0, 0, 9, 248, 116},  // just fits
    }));
    BitmapFont font;
    ASSERT_EQ(1, Read(font, p));
    ASSERT_EQ(5, font.glyphCount);
    const BitmapGlyph* g = font.glyphs;
    EXPECT_FLOAT_EQ(1.0f, g[0].textureX);
    EXPECT_FLOAT_EQ(0.0f, g[0].width);
    EXPECT_FLOAT_EQ(6.0f / w, g[1].width);
    EXPECT_FLOAT_EQ(8.0f / h, g[2].textureHeight);
    EXPECT_FLOAT_EQ(8.0f / w, g[2].height);
    EXPECT_FLOAT_EQ(1.0f, g[3].textureY);
    EXPECT_FLOAT_EQ(0.0f, g[3].textureHeight);
    EXPECT_FLOAT_EQ(0.0f, g[3].height);
    EXPECT_FLOAT_EQ(8.0f / w, g[4].width);
    EXPECT_FLOAT_EQ(12.0f / h, g[4].textureHeight);
    for (int j = 0; j < 5; ++j) {
        EXPECT_LE(g[j].textureX + g[j].width, 1.0f) << j;
        EXPECT_LE(g[j].textureY + g[j].textureHeight, 1.0f) << j;
    }
}

TEST(BitmapFontMetrics, FailedAllocationsFailTheLoad) {
    Picture p(256, 128);
    p.PutBlock(OneGlyph());
    for (int allowed : {0, 1}) {  // the word list, then the glyph records
        BitmapFont font;
        SetAllocFailure(allowed);
        int result = Read(font, p);
        SetAllocFailure(-1);
        EXPECT_EQ(0, result) << allowed;
        ExpectNoGlyphs(font);
    }
    BitmapFont font;
    EXPECT_EQ(1, Read(font, p));
}

TEST(BitmapFontMetrics, ReadingAgainReplacesTheGlyphs) {
    Picture first(64, 16), second(64, 16);
    first.PutBlock(Block({{'x', 4, 4, 0, 0, 5, 0, 0}, {'y', 4, 4, 0, 0, 5, 4, 0}}));
    second.PutBlock(OneGlyph());
    BitmapFont font;
    ASSERT_EQ(1, Read(font, first));
    ASSERT_EQ(1, Read(font, second));
    EXPECT_EQ(1, font.glyphCount);
    EXPECT_EQ(-1, font.glyphTable[int('x')]);
    EXPECT_EQ(-1, font.glyphTable[int('y')]);
    EXPECT_EQ(0, font.glyphTable[int('A')]);
    // A failed read leaves no glyphs behind.
    Picture bad(8, 8);
    EXPECT_EQ(0, Read(font, bad));
    ExpectNoGlyphs(font);
}

// Arbitrary pictures must never make the decoder step outside them or the word list
// (the sanitizer build watches); whatever it accepts must be usable.
TEST(BitmapFontMetrics, ArbitraryPicturesStayInBounds) {
    uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 400; ++round) {
        int w = 1 + (int)(next() % 40), h = 1 + (int)(next() % 12);
        std::vector<unsigned char> rgba((size_t)w * h * 4);
        for (size_t i = 0; i < rgba.size(); i += 4) {
            unsigned v = next();
            rgba[i] = (unsigned char)v;
            rgba[i + 1] = (unsigned char)(v >> 8);
            rgba[i + 2] = (unsigned char)(v >> 16);
            rgba[i + 3] = (next() % 4 == 0) ? 255 : 0;
        }
        // Small counts now and then, so that some blocks are well-formed.
        if (next() % 2) {
            rgba[rgba.size() - 4] = (unsigned char)(next() % 16);
            rgba[rgba.size() - 3] = rgba[rgba.size() - 2] = 0;
            rgba[rgba.size() - 1] = 0;
        }
        BitmapFont font;
        if (font.ReadMetrics(rgba.data(), w, h) == 0) {
            ExpectNoGlyphs(font);
            continue;
        }
        ASSERT_GT(font.glyphCount, 0);
        for (int c = 0; c < 256; ++c) ASSERT_LT(font.glyphTable[c], font.glyphCount);
        for (int j = 0; j < font.glyphCount; ++j) {
            const BitmapGlyph& g = font.glyphs[j];
            ASSERT_GE(g.textureX, 0.0f);
            ASSERT_GE(g.textureY, 0.0f);
            ASSERT_LE(g.textureX + g.width, 1.0f);
            ASSERT_LE(g.textureY + g.textureHeight, 1.0f);
        }
    }
}

// The shipped pictures, decoded without GL.
class ShippedFontPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedFontPicture, CoversPrintableAsciiWithGlyphsInsideThePicture) {
    TgaImage* image = LoadTga(DataPath(GetParam()));
    ASSERT_NE(nullptr, image) << DataPath(GetParam());
    const int w = image->width, h = image->height;
    EXPECT_EQ(0, w & (w - 1)) << "width a power of two";
    EXPECT_EQ(0, h & (h - 1)) << "height a power of two";
    BitmapFont font;
    ASSERT_EQ(1, font.ReadMetrics(image->pixels, w, h));
    EXPECT_EQ(95, font.glyphCount);
    for (int c = 32; c <= 126; ++c) {
        int j = font.glyphTable[c];
        ASSERT_NE(-1, j) << "character " << c;
        const BitmapGlyph& g = font.glyphs[j];
        EXPECT_EQ(c, g.code);
        EXPECT_GT(g.advance, 0.0f) << c;
        // Clamping left the rectangle as it was: it lies inside the picture.
        int px = (int)(g.textureX * w + 0.5f), py = (int)(g.textureY * h + 0.5f);
        int pw = (int)(g.width * w + 0.5f), ph = (int)(g.textureHeight * h + 0.5f);
        EXPECT_LE(px + pw, w) << c;
        EXPECT_LE(py + ph, h) << c;
        if (c == ' ') continue;
        // Each visible glyph has a shape: opaque core pixels in its rectangle.
        int core = 0;
        for (int y = py; y < py + ph; ++y)
            for (int x = px; x < px + pw; ++x)
                if (image->pixels[((size_t)y * w + x) * 4 + 3] > 200) ++core;
        EXPECT_GT(core, 4) << "character " << c;
    }
    for (int c = 0; c < 256; ++c) {
        if (c < 32 || c > 126) {
            EXPECT_EQ(-1, font.glyphTable[c]) << c;
        }
    }
    FreeTga(image);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedFontPicture,
                         ::testing::Values("font_tech.tga", "font_vimra.tga"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(5, std::strlen(info.param) - 9);
                         });

// Sizes as the HUD draws them on a 640 x 480 screen: normalised device coordinates
// span 320 pixels per unit across and 240 up.
float TextWidth(const BitmapFont& f, const char* text, float scale) {
    float pen = 0.0f;
    for (const char* c = text; *c; ++c) {
        int j = f.glyphTable[(unsigned char)*c];
        pen += scale * (j == -1 ? f.averageWidth : f.glyphs[j].advance);
    }
    return pen;
}

TEST(ShippedFontSizes, HudTextsReadWellAndStayOnScreen) {
    TgaImage* tech = LoadTga(DataPath("font_tech.tga"));
    TgaImage* vimra = LoadTga(DataPath("font_vimra.tga"));
    ASSERT_NE(nullptr, tech);
    ASSERT_NE(nullptr, vimra);
    BitmapFont b, a;
    ASSERT_EQ(1, b.ReadMetrics(tech->pixels, tech->width, tech->height));
    ASSERT_EQ(1, a.ReadMetrics(vimra->pixels, vimra->width, vimra->height));
    FreeTga(tech);
    FreeTga(vimra);

    // Counters at scale 0.65: digits at least 12 pixels high, and three digits fit in
    // the 0.23 between neighbouring counters.
    const BitmapGlyph& eight = b.glyphs[b.glyphTable[int('8')]];
    EXPECT_GE(eight.height * 0.65f * 240.0f, 12.0f);
    EXPECT_LT(TextWidth(b, "888", 0.65f), 0.23f);
    // The countdown at its largest (scale 4) from (-0.1, 0.9) stays on screen.
    EXPECT_LT(-0.1f + TextWidth(b, "..3..", 4.0f), 1.0f);
    EXPECT_GT(0.9f - 4.0f * b.lineHeight, -1.0f);
    // The banner at scale 1 from (-0.3, 0.9): letters at least 20 pixels high, on screen.
    const BitmapGlyph& s = a.glyphs[a.glyphTable[int('S')]];
    EXPECT_GE(s.height * 240.0f, 20.0f);
    EXPECT_LT(-0.3f + TextWidth(a, "SLIDE !", 1.0f), 1.0f);
}

}  // namespace
