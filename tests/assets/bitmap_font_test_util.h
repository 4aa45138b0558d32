// Font pictures for the bitmap-font tests: opaque pixels with a metrics block written
// into alpha-0 pixels at the end, as the font tool does.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace fonttest {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;  // top row first

    Picture(int w, int h) : width(w), height(h), rgba((size_t)w * h * 4) {
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i] = rgba[i + 1] = rgba[i + 2] = 50;
            rgba[i + 3] = 255;
        }
    }
    // A data word in an alpha-0 pixel: red bits 0-7, green 8-15, blue 16-23.
    void PutWord(int index, unsigned word) {
        unsigned char* p = &rgba[(size_t)index * 4];
        p[0] = (unsigned char)(word & 255);
        p[1] = (unsigned char)((word >> 8) & 255);
        p[2] = (unsigned char)((word >> 16) & 255);
        p[3] = 0;
    }
    // Words in forward order, the last one on the last pixel; `gap` opaque pixels
    // between neighbouring words.
    void PutBlock(const std::vector<unsigned>& words, int gap = 0) {
        int index = width * height - 1;
        for (size_t k = words.size(); k-- > 0;) {
            PutWord(index, words[k]);
            index -= 1 + gap;
        }
    }
};

inline unsigned Word1(int code, int w, int h) {
    return ((unsigned)code << 16) | ((unsigned)w << 8) | (unsigned)h;
}
inline unsigned Word2(int xOffset, int yOffset, int advance) {
    return ((unsigned)(xOffset & 255) << 16) | ((unsigned)(yOffset & 255) << 8) | (unsigned)advance;
}
inline unsigned Word3(int textureX, int textureY) {
    return ((unsigned)textureX << 12) | (unsigned)textureY;
}

struct GlyphSpec {
    int code, w, h, xOffset, yOffset, advance, textureX, textureY;
};

// G, three words per glyph, N = 3G + 1.
inline std::vector<unsigned> Block(const std::vector<GlyphSpec>& glyphs) {
    std::vector<unsigned> words;
    words.push_back((unsigned)glyphs.size());
    for (const GlyphSpec& g : glyphs) {
        words.push_back(Word1(g.code, g.w, g.h));
        words.push_back(Word2(g.xOffset, g.yOffset, g.advance));
        words.push_back(Word3(g.textureX, g.textureY));
    }
    words.push_back((unsigned)(3 * glyphs.size() + 1));
    return words;
}

// Uncompressed 32-bit TGA, top row first.
inline bool WriteTga(const std::string& name, const Picture& p) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (f == nullptr) return false;
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                (unsigned char)(p.width & 255), (unsigned char)(p.width >> 8),
                                (unsigned char)(p.height & 255), (unsigned char)(p.height >> 8),
                                32, 0x28};
    bool ok = std::fwrite(header, 1, 18, f) == 18;
    for (size_t i = 0; ok && i < p.rgba.size(); i += 4) {
        unsigned char bgra[4] = {p.rgba[i + 2], p.rgba[i + 1], p.rgba[i], p.rgba[i + 3]};
        ok = std::fwrite(bgra, 1, 4, f) == 4;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace fonttest
