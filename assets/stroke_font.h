// StrokeFont: text drawn as GL line segments, the glyphs read from font.txt (our
// configuration syntax). Each glyph is a list of reals taken four at a time as segments
// (x1, y1, x2, y2) in glyph units; glyph y grows downwards (it is subtracted from the pen
// y), scaled by the side ratio. The last glyph is the default one, drawn for every code
// that no "char[k].n_sign" names.
//
// font.txt keys: n_max_char (glyphs besides the default one, 0..127), n_space_style (0:
// spaces leave a gap; else they draw the '_' glyph), f_default_width (initial scale),
// f_side_ratio, char[k].n_sign, char[k].n_data, default_char.n_data.
#pragma once

class ConfigFile;

struct StrokeGlyph {
    unsigned char sign;  // code drawn by this glyph (unset for the default glyph)
    int dataCount;
    float* data;         // dataCount floats: x1, y1, x2, y2, ...
    float left;          // smallest x, 65536 without data
    float width;         // largest x (not below 0) - left
};

class StrokeFont {
public:
    enum { MaxGlyphs = 127 };  // the glyph table holds signed 8-bit indices

    int glyphCount;  // n_max_char + 1 after a load
    StrokeGlyph* glyphs;
    signed char glyphTable[256];  // glyph index by code, -1 for none
    int spaceStyle;
    float sideRatio;
    float defaultWidth;
    float scale;
    float cellWidth;  // largest x of any glyph: space advance and line height
    int proportional;

    StrokeFont();
    ~StrokeFont();
    StrokeFont(const StrokeFont&) = delete;
    StrokeFont& operator=(const StrokeFont&) = delete;

    // 1 on success; 0 for a missing file, a parse failure, a missing or mistyped key, a
    // glyph count outside 0..127, or no memory.
    int Load(const char* fileName);
    void Clear();
    void SetSize(float newScale) { scale = newScale; }
    // Draws in the current colour and line width; GL must be current.
    void DrawChar(float x, float y, unsigned char c);
    void DrawString(float x, float y, const char* text);

private:
    int LoadGlyphData(ConfigFile& config, const char* name, StrokeGlyph* glyph);
    void ResetTable();
};
