#include "assets/bitmap_font.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "assets/tga_image.h"
#include "core/grow_array.h"

namespace {

// An alpha-0 pixel as a data word: red bits 0-7, green 8-15, blue 16-23.
unsigned PixelWord(const unsigned char* p) {
    return (unsigned)p[0] | ((unsigned)p[1] << 8) | ((unsigned)p[2] << 16);
}

}  // namespace

BitmapFont::BitmapFont() {
    for (int i = 0; i < 256; ++i) glyphTable[i] = -1;
}

BitmapFont::~BitmapFont() {
    FreeGlyphs();
    DeleteTexture();
}

void BitmapFont::FreeGlyphs() {
    if (glyphs != nullptr) growarray_detail::Release(glyphs);
    glyphs = nullptr;
    glyphCount = 0;
    for (int i = 0; i < 256; ++i) glyphTable[i] = -1;
}

void BitmapFont::DeleteTexture() {
    if (texture != -1) {
        GLuint name = (GLuint)texture;
        glDeleteTextures(1, &name);
    }
    texture = -1;
}

int BitmapFont::Load(const char* fileName) {
    TgaImage* image = LoadTga(fileName);
    if (image == nullptr) return 0;
    FreeGlyphs();
    DeleteTexture();

    // The whole picture goes up, metrics block included: its pixels are transparent.
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    texture = (int)name;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    int built = gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image->width, image->height, GL_RGBA,
                                  GL_UNSIGNED_BYTE, image->pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    // A texture without its image would draw nothing while the load claimed success.
    if (built != 0 || !ReadMetrics(image->pixels, image->width, image->height)) {
        FreeTga(image);
        DeleteTexture();
        return 0;
    }
    FreeTga(image);
    scale = 1.0f;
    return 1;
}

int BitmapFont::ReadMetrics(const unsigned char* pixels, int width, int height) {
    FreeGlyphs();
    averageWidth = 0.0f;
    lineHeight = 0.0f;
    if (pixels == nullptr || width <= 0 || height <= 0) return 0;
    const long long total = (long long)width * (long long)height;

    // From the last pixel backwards, over opaque pixels, to the word count N.
    long long i = total - 1;
    while (i >= 0 && pixels[i * 4 + 3] != 0) --i;
    if (i < 0) return 0;
    const unsigned wanted = PixelWord(&pixels[i * 4]);
    const long long first = i - 1;

    // Size the list once for the words that will actually be found.
    long long available = 0;
    for (long long k = first; k >= 0 && (unsigned long long)available < wanted; --k)
        if (pixels[k * 4 + 3] == 0) ++available;
    if (available == 0) return 0;
    GrowArray<unsigned> words;
    if (!words.Grow((int)available)) return 0;
    for (long long k = first; k >= 0 && words.count < available; --k)
        if (pixels[k * 4 + 3] == 0) words.Push(PixelWord(&pixels[k * 4]));

    // The word furthest from the end is G; the glyphs' words precede it in the list
    // (nearest the end first), so they are taken from the end of the list backwards.
    // A block that claims more glyphs than it holds, or none, is rejected.
    const unsigned count = words.items[words.count - 1];
    const long rest = words.count - 1;
    if (count == 0 || (long)count > rest / 3) return 0;

    BitmapGlyph* table = static_cast<BitmapGlyph*>(
        growarray_detail::Allocate((long)count * (long)sizeof(BitmapGlyph)));
    if (table == nullptr) return 0;
    glyphs = table;
    glyphCount = (int)count;

    const float w = (float)width;
    const float h = (float)height;
    for (int j = 0; j < glyphCount; ++j) {
        unsigned word1 = words.items[rest - 1 - 3 * j];
        unsigned word2 = words.items[rest - 2 - 3 * j];
        unsigned word3 = words.items[rest - 3 - 3 * j];

        int code = (int)((word1 >> 16) & 255);
        int pixelWidth = (int)((word1 >> 8) & 255);
        int pixelHeight = (int)(word1 & 255);
        int textureX = (int)((word3 >> 12) & 0xFFF);
        int textureY = (int)(word3 & 0xFFF);
        // Keep the rectangle inside the picture.
        if (textureX > width) textureX = width;
        if (textureY > height) textureY = height;
        if (pixelWidth > width - textureX) pixelWidth = width - textureX;
        if (pixelHeight > height - textureY) pixelHeight = height - textureY;

        BitmapGlyph& g = glyphs[j];
        g.code = (unsigned char)code;
        g.width = (float)pixelWidth / w;
        g.textureHeight = (float)pixelHeight / h;
        g.height = (float)pixelHeight / w;
        g.advance = (float)((word2 & 255)) / w;
        g.xOffset = (float)(signed char)((word2 >> 16) & 255) / w;
        g.yOffset = (float)(signed char)((word2 >> 8) & 255) / w;
        g.textureX = (float)textureX / w;
        g.textureY = (float)textureY / h;

        glyphTable[code] = j;
        averageWidth += g.width;
        if (g.height > lineHeight) lineHeight = g.height;
    }
    averageWidth = averageWidth / (float)glyphCount;
    lineHeight = lineHeight + 1.0f / w;
    return 1;
}

void BitmapFont::DrawChar(float x, float y, unsigned char c) {
    int index = glyphTable[c];
    if (index == -1) return;
    const BitmapGlyph& g = glyphs[index];
    const float s = scale;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, (GLuint)texture);
    glBegin(GL_QUADS);
    glTexCoord2f(g.textureX, g.textureY);
    glVertex2f(x + s * g.xOffset, y - s * g.yOffset);
    glTexCoord2f(g.textureX + g.width, g.textureY);
    glVertex2f(x + s * (g.width + g.xOffset), y - s * g.yOffset);
    glTexCoord2f(g.textureX + g.width, g.textureY + g.textureHeight);
    glVertex2f(x + s * (g.width + g.xOffset), y - s * g.yOffset - s * g.height);
    glTexCoord2f(g.textureX, g.textureY + g.textureHeight);
    glVertex2f(x + s * g.xOffset, y - s * g.yOffset - s * g.height);
    glEnd();
}

int BitmapFont::DrawString(float x, float y, const char* text) {
    if (text == nullptr) return 0;
    float pen = 0.0f;
    float line = 0.0f;
    int length = 0;
    for (; text[length] != '\0'; ++length) {
        unsigned char c = (unsigned char)text[length];
        if (c == '\n') {
            line = line - scale * lineHeight;
            pen = 0.0f;
            continue;
        }
        DrawChar(x + pen, y + line, c);
        int index = glyphTable[c];
        pen = pen + scale * (index != -1 ? glyphs[index].advance : averageWidth);
    }
    return length;
}
