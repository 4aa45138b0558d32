// make_font_pictures: renders the two bitmap-font pictures, data/font_tech.tga and
// data/font_vimra.tga, from free fonts with FreeType.
//
//   make_font_pictures [output folder]      (default: the current folder)
//
// Every printable ASCII character (32..126) is drawn with a soft coloured glow. The
// fonts draw with GL_REPLACE and alpha blending, so the texture colour is what the
// player sees and alpha carries the shape. The glyph metrics go into the picture's
// last pixels as alpha-0 data words (red bits 0-7, green 8-15, blue 16-23): G, three
// words per glyph, then N = 3G + 1, all contiguous at the very end so that the loader's
// backward scan meets nothing but the block.
//
// Sizes: glyph lengths are in units of the picture width and the HUD draws in
// normalised device coordinates, so on a 640 x 480 screen one picture pixel of a
// 512-wide picture is 240 / 512 screen pixels high and 320 / 512 wide at scale 1.
// Glyphs are rendered 0.75 times as wide as FreeType would draw them, which the 4:3
// screen stretches back to their natural shape.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Colour {
    float r, g, b;
};

struct FontStyle {
    const char* outputName;
    const char* fontFile;
    int pixelHeight;  // FreeType's vertical pixel size (em)
    float squeeze;    // horizontal size relative to vertical
    float glowSigma;  // Gaussian radius of the glow, pixels
    float glowGain;   // glow alpha per blurred coverage
    float glowMax;    // strongest glow alpha
    Colour coreTop, coreBottom;  // glyph colour from the ascender down to the descender
    Colour glow;
};

// Font B of the HUD: the countdown (up to scale 4) and the counters (scale 0.65).
// Digits come out about 42 pixels high, 13 screen pixels at scale 0.65 with the glow.
const FontStyle kTech = {
    "font_tech.tga", "/usr/share/fonts/truetype/play/Play-Bold.ttf", 60, 0.75f, 2.5f, 1.8f, 0.85f,
    {0.92f, 1.0f, 1.0f}, {0.45f, 0.85f, 1.0f}, {0.0f, 0.55f, 1.0f},
};

// Font A of the HUD: the "SLIDE !" banner at scale 1, capitals about 30 screen pixels.
const FontStyle kVimra = {
    "font_vimra.tga",
    "/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf",
    80,
    0.75f,
    3.5f,
    1.6f,
    0.9f,
    {1.0f, 0.98f, 0.85f},
    {1.0f, 0.72f, 0.25f},
    {1.0f, 0.3f, 0.0f},
};

const int kPictureWidth = 512;
const int kGap = 2;          // free pixels between glyph rectangles
const int kBlockMargin = 8;  // glyph-free rows above the metrics row

struct Glyph {
    int code = 0;
    int w = 0, h = 0;          // rectangle, glow included
    int xOffset = 0, yOffset = 0, advance = 0;
    int x = 0, y = 0;          // place in the picture
    std::vector<float> alpha;  // w * h
    std::vector<Colour> colour;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "make_font_pictures: %s\n", message.c_str());
    std::exit(1);
}

std::vector<float> GaussianKernel(float sigma, int radius) {
    std::vector<float> k(2 * radius + 1);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i)
        sum += k[i + radius] = std::exp(-(float)(i * i) / (2 * sigma * sigma));
    for (float& v : k) v /= sum;
    return k;
}

// Separable blur of a w x h field.
std::vector<float> Blur(const std::vector<float>& in, int w, int h, float sigma, int radius) {
    std::vector<float> k = GaussianKernel(sigma, radius), tmp(in.size(), 0.0f),
                       out(in.size(), 0.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0.0f;
            for (int i = -radius; i <= radius; ++i)
                if (x + i >= 0 && x + i < w) s += k[i + radius] * in[y * w + x + i];
            tmp[y * w + x] = s;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float s = 0.0f;
            for (int i = -radius; i <= radius; ++i)
                if (y + i >= 0 && y + i < h) s += k[i + radius] * tmp[(y + i) * w + x];
            out[y * w + x] = s;
        }
    return out;
}

Colour Mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::vector<Glyph> RenderGlyphs(FT_Library library, const FontStyle& style, int* lineTop) {
    FT_Face face;
    if (FT_New_Face(library, style.fontFile, 0, &face) != 0)
        Fail(std::string("cannot open ") + style.fontFile +
             " (Debian packages fonts-play, fonts-comfortaa)");
    FT_UInt width = (FT_UInt)std::lround(style.pixelHeight * style.squeeze);
    if (FT_Set_Pixel_Sizes(face, width, (FT_UInt)style.pixelHeight) != 0)
        Fail("cannot set the pixel size");
    const int ascender = (int)((face->size->metrics.ascender + 32) >> 6);
    const int descender = (int)((face->size->metrics.descender - 32) >> 6);  // negative
    *lineTop = ascender;
    const int pad = (int)std::ceil(3.0f * style.glowSigma) + 1;

    std::vector<Glyph> glyphs;
    for (int code = 32; code <= 126; ++code) {
        if (FT_Load_Char(face, (FT_ULong)code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            Fail("cannot render character " + std::to_string(code));
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) Fail("unexpected bitmap format");
        Glyph g;
        g.code = code;
        g.advance = (int)((slot->advance.x + 32) >> 6);
        if (bm.width == 0 || bm.rows == 0) {  // the space: an advance and nothing to draw
            glyphs.push_back(g);
            continue;
        }
        g.w = (int)bm.width + 2 * pad;
        g.h = (int)bm.rows + 2 * pad;
        g.xOffset = slot->bitmap_left - pad;
        g.yOffset = ascender - (slot->bitmap_top + pad);

        std::vector<float> coverage((size_t)g.w * g.h, 0.0f);
        for (int y = 0; y < (int)bm.rows; ++y)
            for (int x = 0; x < (int)bm.width; ++x)
                coverage[(size_t)(y + pad) * g.w + x + pad] = bm.buffer[y * bm.pitch + x] / 255.0f;
        std::vector<float> blurred = Blur(coverage, g.w, g.h, style.glowSigma, pad);

        g.alpha.resize(coverage.size());
        g.colour.resize(coverage.size());
        for (int y = 0; y < g.h; ++y) {
            // Height in the line, 0 at the ascender and 1 at the descender.
            float t = (float)(g.yOffset + y) / (float)(ascender - descender);
            Colour core = Mix(style.coreTop, style.coreBottom, std::min(1.0f, std::max(0.0f, t)));
            for (int x = 0; x < g.w; ++x) {
                size_t i = (size_t)y * g.w + x;
                float c = coverage[i];
                float glow = std::min(1.0f, blurred[i] * style.glowGain) * style.glowMax;
                float a = c + glow * (1.0f - c);
                g.alpha[i] = a;
                if (a > 0.0f) {
                    float wc = c / a, wg = glow * (1.0f - c) / a;
                    g.colour[i] = {core.r * wc + style.glow.r * wg, core.g * wc + style.glow.g * wg,
                                   core.b * wc + style.glow.b * wg};
                } else {
                    g.colour[i] = style.glow;
                }
            }
        }
        glyphs.push_back(g);
    }
    FT_Done_Face(face);
    return glyphs;
}

// Shelf packing, tallest first; returns the rows used.
int Pack(std::vector<Glyph>& glyphs, int width) {
    std::vector<Glyph*> order;
    for (Glyph& g : glyphs) order.push_back(&g);
    std::stable_sort(order.begin(), order.end(),
                     [](const Glyph* a, const Glyph* b) { return a->h > b->h; });
    int x = kGap, y = kGap, shelf = 0;
    for (Glyph* g : order) {
        if (g->w == 0) continue;  // placed at (0, 0) with nothing to show
        if (x + g->w + kGap > width) {
            x = kGap;
            y += shelf + kGap;
            shelf = 0;
        }
        g->x = x;
        g->y = y;
        x += g->w + kGap;
        shelf = std::max(shelf, g->h);
    }
    return y + shelf;
}

unsigned char Byte(float v) {
    return (unsigned char)std::lround(std::min(1.0f, std::max(0.0f, v)) * 255.0f);
}

void MakePicture(FT_Library library, const FontStyle& style, const std::string& folder) {
    int lineTop = 0;
    std::vector<Glyph> glyphs = RenderGlyphs(library, style, &lineTop);
    const int W = kPictureWidth;
    int used = Pack(glyphs, W);
    const int blockWords = 3 * (int)glyphs.size() + 2;
    const int blockRows = (blockWords + W - 1) / W;
    int H = 64;
    while (H < used + kBlockMargin + blockRows) H *= 2;
    if (H > 4095) Fail("the glyphs do not fit");

    // Transparent pixels carry the glow colour so that filtering at glyph edges does
    // not darken them.
    std::vector<unsigned char> rgba((size_t)W * H * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = Byte(style.glow.r);
        rgba[i + 1] = Byte(style.glow.g);
        rgba[i + 2] = Byte(style.glow.b);
        rgba[i + 3] = 0;
    }
    for (const Glyph& g : glyphs)
        for (int y = 0; y < g.h; ++y)
            for (int x = 0; x < g.w; ++x) {
                size_t i = (size_t)y * g.w + x;
                unsigned char* p = &rgba[((size_t)(g.y + y) * W + g.x + x) * 4];
                p[0] = Byte(g.colour[i].r);
                p[1] = Byte(g.colour[i].g);
                p[2] = Byte(g.colour[i].b);
                p[3] = Byte(g.alpha[i]);
            }

    std::vector<unsigned> words;
    words.push_back((unsigned)glyphs.size());
    for (const Glyph& g : glyphs) {
        if (g.w > 255 || g.h > 255 || g.advance > 255 || g.xOffset < -128 || g.xOffset > 127 ||
            g.yOffset < -128 || g.yOffset > 127 || g.x > 4095 || g.y > 4095)
            Fail("character " + std::to_string(g.code) + " does not fit the metrics words");
        words.push_back(((unsigned)g.code << 16) | ((unsigned)g.w << 8) | (unsigned)g.h);
        words.push_back(((unsigned)(g.xOffset & 255) << 16) | ((unsigned)(g.yOffset & 255) << 8) |
                        (unsigned)g.advance);
        words.push_back(((unsigned)g.x << 12) | (unsigned)g.y);
    }
    words.push_back((unsigned)(3 * glyphs.size() + 1));
    // The block fills the last pixels contiguously, every one of them alpha 0.
    size_t first = (size_t)W * H - words.size();
    for (size_t k = 0; k < words.size(); ++k) {
        unsigned char* p = &rgba[(first + k) * 4];
        p[0] = (unsigned char)(words[k] & 255);
        p[1] = (unsigned char)((words[k] >> 8) & 255);
        p[2] = (unsigned char)((words[k] >> 16) & 255);
        p[3] = 0;
    }

    std::string path = folder + "/" + style.outputName;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) Fail("cannot write " + path);
    // Uncompressed true colour, 32 bits, 8 alpha bits, top row first.
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                (unsigned char)(W & 255), (unsigned char)(W >> 8),
                                (unsigned char)(H & 255), (unsigned char)(H >> 8), 32, 0x28};
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    std::vector<unsigned char> bgra(rgba.size());
    for (size_t i = 0; i < rgba.size(); i += 4) {
        bgra[i] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i];
        bgra[i + 3] = rgba[i + 3];
    }
    ok = ok && std::fwrite(bgra.data(), 1, bgra.size(), f) == bgra.size();
    if (std::fclose(f) != 0 || !ok) Fail("cannot write " + path);
    std::printf("%s: %d x %d, %d glyphs, glyph rows 0..%d, line top %d\n", path.c_str(), W, H,
                (int)glyphs.size(), used, lineTop);
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) Fail("cannot start FreeType");
    MakePicture(library, kTech, folder);
    MakePicture(library, kVimra, folder);
    FT_Done_FreeType(library);
    return 0;
}
