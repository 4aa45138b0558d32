// BitmapFont: text as textured quads from one TGA picture.
//
// The picture holds the glyph images and, hidden in its fully transparent pixels at the
// very end, the glyph metrics: each alpha-0 pixel is a 24-bit word (red bits 0-7, green
// 8-15, blue 16-23). Read forwards, the block is G, then three words per glyph
//   1: blue code, green width, red height (pixels)
//   2: blue x offset (signed), green y offset (signed), red advance (pixels)
//   3: texture x in bits 12-23, texture y in bits 0-11 (pixels from the top)
// and last of all N = 3G + 1, the number of words before it.
//
// Lengths are kept in units of the picture width W (texture heights and y in units of
// the height H), so drawn text is sized in whatever coordinates the caller uses; the
// HUD draws in normalised device coordinates. Screen y grows upwards: glyphs hang below
// the pen and line feeds move down.
#pragma once

struct BitmapGlyph {
    unsigned char code;
    float textureX;       // left edge, pixels / W
    float textureY;       // top edge, pixels / H from the top row
    float width;          // pixels / W: texture width and screen width
    float textureHeight;  // pixels / H
    float height;         // pixels / W: screen height
    float advance;        // pixels / W
    float xOffset;        // signed pixels / W
    float yOffset;        // signed pixels / W, downwards
};

class BitmapFont {
public:
    int glyphCount = 0;
    BitmapGlyph* glyphs = nullptr;
    int glyphTable[256];  // glyph index by character code, -1 for none
    int texture = -1;     // GL texture name, -1 while there is none
    float averageWidth = 0.0f;  // advance for characters without a glyph
    float lineHeight = 0.0f;
    float scale = 1.0f;

    BitmapFont();
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Reads the picture, makes its texture and decodes its metrics: 1 on success, 0 on
    // failure (unreadable picture, malformed metrics, no memory). Needs a current GL
    // context.
    int Load(const char* fileName);

    // Decodes the metrics block from decoded RGBA pixels (top row first) into the glyph
    // records, table, average width and line height. No GL involved. 1 on success; 0 for
    // a picture without a well-formed block or when memory runs out, which leaves the
    // font without glyphs. Glyph rectangles reaching outside the picture are clamped
    // to it.
    int ReadMetrics(const unsigned char* pixels, int width, int height);

    void SetScale(float s) { scale = s; }

    void DrawChar(float x, float y, unsigned char c);
    // Draws a NUL-terminated byte string; returns its length.
    int DrawString(float x, float y, const char* text);

private:
    void FreeGlyphs();
    void DeleteTexture();
};
