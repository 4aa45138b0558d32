#include "assets/stroke_font.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "config/config_file.h"
#include "config/text_memory.h"

StrokeFont::StrokeFont()
    : glyphCount(0),
      glyphs(nullptr),
      spaceStyle(0),
      sideRatio(0.0f),
      defaultWidth(0.0f),
      scale(0.0f),
      cellWidth(0.0f),
      proportional(1) {
    ResetTable();
}

StrokeFont::~StrokeFont() { Clear(); }

void StrokeFont::ResetTable() {
    // No glyph for any code: an unloaded font (or one whose load failed) draws nothing.
    std::memset(glyphTable, -1, sizeof glyphTable);
}

void StrokeFont::Clear() {
    if (glyphs) {
        for (int i = 0; i < glyphCount; ++i) TextMemFree(glyphs[i].data);
        TextMemFree(glyphs);
    }
    glyphs = nullptr;
    glyphCount = 0;
    ResetTable();
    spaceStyle = 0;
    sideRatio = 0.0f;
    defaultWidth = 0.0f;
    scale = 0.0f;
    cellWidth = 0.0f;
}

int StrokeFont::LoadGlyphData(ConfigFile& config, const char* name, StrokeGlyph* glyph) {
    int count = 0;
    if (config.GetListLength(name, &count) != 0 || count <= 0) return 0;
    float* data = (float*)TextMemAllocZeroed((size_t)count, sizeof(float));
    if (!data) return 0;
    glyph->data = data;
    glyph->dataCount = count;
    return config.GetRealList(name, data, count) == 0;
}

int StrokeFont::Load(const char* fileName) {
    Clear();
    FILE* file = std::fopen(fileName, "r");
    if (!file) return 0;
    ConfigFile config;
    int parsed = config.Parse(file);
    std::fclose(file);
    if (parsed != 0) return 0;

    int n = 0;
    if (config.GetInt("n_max_char", &n) != 0) return 0;
    if (config.GetInt("n_space_style", &spaceStyle) != 0) return 0;
    if (config.GetReal("f_default_width", &defaultWidth) != 0) return 0;
    scale = defaultWidth;
    if (config.GetReal("f_side_ratio", &sideRatio) != 0) return 0;
    // Glyph indices live in a signed 8-bit table, so at most 127 glyphs plus the default.
    if (n < 0 || n > MaxGlyphs) return 0;

    glyphs = (StrokeGlyph*)TextMemAllocZeroed((size_t)n + 1, sizeof(StrokeGlyph));
    if (!glyphs) return 0;
    // Counted from the start so that Clear frees what a failed load has read so far.
    glyphCount = n + 1;

    char name[64];
    for (int k = 0; k < n; ++k) {
        std::snprintf(name, sizeof name, "char[%d].n_sign", k);
        char sign = 0;
        if (config.GetChar(name, &sign) != 0) return 0;
        glyphs[k].sign = (unsigned char)sign;
        std::snprintf(name, sizeof name, "char[%d].n_data", k);
        if (!LoadGlyphData(config, name, &glyphs[k])) return 0;
    }
    if (!LoadGlyphData(config, "default_char.n_data", &glyphs[n])) return 0;
    config.Clear();

    cellWidth = 0.0f;
    for (int g = 0; g < glyphCount; ++g) {
        StrokeGlyph& glyph = glyphs[g];
        float left = 65536.0f;
        float right = 0.0f;
        for (int i = 0; i < glyph.dataCount; i += 2) {
            float x = glyph.data[i];
            if (x > right) right = x;
            if (x < left) left = x;
            if (x > cellWidth) cellWidth = x;
        }
        glyph.left = left;
        glyph.width = right - left;
    }

    // The last glyph with a given sign wins; everything else draws the default glyph.
    for (int c = 0; c < 256; ++c) {
        glyphTable[c] = (signed char)n;
        for (int m = 0; m < n; ++m) {
            if (glyphs[m].sign == c) glyphTable[c] = (signed char)m;
        }
    }
    return 1;
}

void StrokeFont::DrawChar(float x, float y, unsigned char c) {
    int index = glyphTable[c];
    if (index < 0) return;
    if (c == ' ') {
        if (spaceStyle == 0) return;
        index = glyphTable[(unsigned char)'_'];
        if (index < 0) return;
    }
    if (index >= glyphCount) return;
    const StrokeGlyph& g = glyphs[index];
    x = x - scale * g.left;  // the glyph's leftmost point lands on x

    glBegin(GL_LINES);
    for (int i = 0; i + 3 < g.dataCount; i += 4) {
        glVertex2f(x + scale * g.data[i], y - scale * sideRatio * g.data[i + 1]);
        glVertex2f(x + scale * g.data[i + 2], y - scale * sideRatio * g.data[i + 3]);
    }
    glEnd();
}

void StrokeFont::DrawString(float x, float y, const char* text) {
    if (!text) return;
    float pen = 0.0f;
    float line = 0.0f;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = (unsigned char)*p;
        if (c == '\n') {
            pen = 0.0f;
            line = line + (cellWidth * sideRatio + 1.0f) * scale;
            continue;
        }
        DrawChar(x + pen, y + line, c);
        int index = glyphTable[c];
        if (index >= 0 && index < glyphCount) {
            float advance = c == ' ' ? cellWidth : glyphs[index].width + 1.0f;
            pen = pen + advance * scale;
        }
    }
}
