// Stroke-font loader: the input written to a scratch file and loaded with
// StrokeFont::Load (which reads it as font.txt, through ConfigFile). A loaded font must
// be drawable: every code maps to an existing glyph with data. No GL is touched.
#include <cstdint>

#include "assets/stroke_font.h"
#include "fuzz/fuzz_support.h"

namespace {

fuzzsupport::ScratchFile* g_file;

void CheckLoaded(const StrokeFont& font) {
    FUZZ_CHECK(font.glyphCount >= 1 && font.glyphCount <= StrokeFont::MaxGlyphs + 1);
    FUZZ_CHECK(font.glyphs != nullptr);
    for (int c = 0; c < 256; ++c) {
        const int index = font.glyphTable[c];
        FUZZ_CHECK(index >= 0 && index < font.glyphCount);
        // Anything but the default glyph draws exactly its own code.
        if (index != font.glyphCount - 1) FUZZ_CHECK(font.glyphs[index].sign == c);
    }
    for (int g = 0; g < font.glyphCount; ++g) {
        const StrokeGlyph& glyph = font.glyphs[g];
        FUZZ_CHECK(glyph.dataCount >= 1 && glyph.data != nullptr);
        volatile float last = glyph.data[glyph.dataCount - 1];
        (void)last;
    }
    FUZZ_CHECK(!(font.cellWidth < 0.0f));
    FUZZ_CHECK(font.scale == font.defaultWidth || font.scale != font.scale);
    FUZZ_CHECK(font.proportional == 1);
}

void CheckEmpty(const StrokeFont& font) {
    // A failed load may keep what it read until the next clear, but never a glyph table
    // that points anywhere.
    for (int c = 0; c < 256; ++c) FUZZ_CHECK(font.glyphTable[c] == -1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_file = new fuzzsupport::ScratchFile;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = g_file->Write(data, size);
    StrokeFont font;
    const int ok = font.Load(path);
    FUZZ_CHECK(ok == 0 || ok == 1);
    if (ok) CheckLoaded(font); else CheckEmpty(font);

    // Loading again over whatever the first load left behind (LeakSanitizer watches).
    FUZZ_CHECK(font.Load(path) == ok);
    font.Clear();
    FUZZ_CHECK(font.glyphCount == 0 && font.glyphs == nullptr);
    return 0;
}
