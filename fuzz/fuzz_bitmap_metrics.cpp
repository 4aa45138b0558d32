// Bitmap-font metrics: BitmapFont::ReadMetrics on a picture made from the input. The
// first two bytes give the width (1 to 1024), the rest are RGBA pixels, top row first;
// the height is as many whole rows as the bytes make. No GL: the texture is never made.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "assets/bitmap_font.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = 1 + (int)(((unsigned)data[0] | ((unsigned)data[1] << 8)) % 1024);
    const size_t rowBytes = (size_t)width * 4;
    const int height = (int)((size - 2) / rowBytes);
    if (height == 0) return 0;
    // An array of exactly the picture's size, so a read past it is caught.
    const size_t bytes = rowBytes * (size_t)height;
    std::unique_ptr<unsigned char[]> pixels(new unsigned char[bytes]);
    std::memcpy(pixels.get(), data + 2, bytes);

    BitmapFont font;
    const int ok = font.ReadMetrics(pixels.get(), width, height);
    FUZZ_CHECK(ok == 0 || ok == 1);
    FUZZ_CHECK(font.texture == -1);
    if (!ok) {
        FUZZ_CHECK(font.glyphCount == 0 && font.glyphs == nullptr);
        for (int c = 0; c < 256; ++c) FUZZ_CHECK(font.glyphTable[c] == -1);
        return 0;
    }

    FUZZ_CHECK(font.glyphCount > 0 && font.glyphs != nullptr);
    // The block holds 3G + 2 words in alpha-0 pixels.
    FUZZ_CHECK((long long)font.glyphCount * 3 + 2 <= (long long)width * height);
    for (int c = 0; c < 256; ++c) {
        const int index = font.glyphTable[c];
        FUZZ_CHECK(index >= -1 && index < font.glyphCount);
        if (index >= 0) FUZZ_CHECK(font.glyphs[index].code == c);
    }
    const float texel = 1.0f / (float)width;
    const float slack = 1e-5f;
    float widest = 0.0f;
    for (int j = 0; j < font.glyphCount; ++j) {
        const BitmapGlyph& g = font.glyphs[j];
        // The last glyph of a code is the one the table names.
        FUZZ_CHECK(font.glyphTable[g.code] >= j);
        // Rectangles stay inside the picture.
        FUZZ_CHECK(g.textureX >= 0.0f && g.textureX + g.width <= 1.0f + slack);
        FUZZ_CHECK(g.textureY >= 0.0f && g.textureY + g.textureHeight <= 1.0f + slack);
        FUZZ_CHECK(g.width >= 0.0f && g.height >= 0.0f && g.advance >= 0.0f);
        FUZZ_CHECK(std::isfinite(g.xOffset) && std::isfinite(g.yOffset));
        if (g.width > widest) widest = g.width;
    }
    FUZZ_CHECK(font.lineHeight >= texel);
    FUZZ_CHECK(font.averageWidth >= 0.0f && font.averageWidth <= widest + slack);
    FUZZ_CHECK(font.scale == 1.0f);
    return 0;
}
