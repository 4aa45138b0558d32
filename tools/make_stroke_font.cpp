// make_stroke_font: writes data/font.txt, the HUD's stroke font, from the public-domain
// Hershey "Roman Simplex" glyphs as Debian's hershey-fonts-data ships them (rowmans.jhf).
//
//   make_stroke_font [input.jhf] [output.txt]
//   (defaults: /usr/share/hershey-fonts/rowmans.jhf and stdout)
//
// A .jhf entry is a 5-digit glyph number, a 3-digit count of coordinate pairs, then the
// pairs as letters offset from 'R': first the left and right margins, then the vertices,
// with " R" lifting the pen. Hershey y grows downwards, as our glyph y does (the font
// subtracts it from the pen y), so no flip is needed. The file holds ASCII 32..126 in order.
//
// Our glyph unit is 4 Hershey units: capitals are 5.25 units tall and the font's fixed
// gap of 1.0 unit between glyphs is close to Hershey's own spacing. Each glyph is shifted
// so its leftmost ink is at x = 0, and every glyph by the same amount so the highest ink
// of the whole font is at y = 0: our syntax has no minus sign. f_side_ratio 4/3 keeps
// the glyphs' shape on a 4:3 screen when the HUD draws in normalised device coordinates.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kDefaultInput = "/usr/share/hershey-fonts/rowmans.jhf";
const int kFirstCode = 32;
const int kLastCode = 126;
const double kHersheyPerUnit = 4.0;

struct Point {
    int x, y;
};

struct Glyph {
    int code = 0;
    int leftMargin = 0, rightMargin = 0;
    std::vector<std::vector<Point>> strokes;  // polylines
};

bool ReadGlyphs(const char* path, std::vector<Glyph>* glyphs) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::fprintf(stderr, "make_stroke_font: cannot open %s\n", path);
        return false;
    }
    std::string all;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) all.append(buffer, got);
    std::fclose(f);

    size_t pos = 0;
    auto skipLineEnds = [&]() {
        while (pos < all.size() && (all[pos] == '\n' || all[pos] == '\r')) ++pos;
    };
    // Entries may be wrapped over several lines; line ends inside the data are not data.
    auto nextDataChar = [&](char* c) {
        skipLineEnds();
        if (pos >= all.size()) return false;
        *c = all[pos++];
        return true;
    };

    int code = kFirstCode;
    for (;;) {
        skipLineEnds();
        if (pos >= all.size() || code > kLastCode) break;
        if (pos + 8 > all.size()) return false;
        int pairs = std::atoi(all.substr(pos + 5, 3).c_str());
        pos += 8;
        Glyph g;
        g.code = code++;
        std::vector<Point> stroke;
        for (int i = 0; i < pairs; ++i) {
            char cx, cy;
            if (!nextDataChar(&cx) || !nextDataChar(&cy)) return false;
            if (i == 0) {
                g.leftMargin = cx - 'R';
                g.rightMargin = cy - 'R';
                continue;
            }
            if (cx == ' ' && cy == 'R') {
                if (!stroke.empty()) g.strokes.push_back(stroke);
                stroke.clear();
                continue;
            }
            stroke.push_back({cx - 'R', cy - 'R'});
        }
        if (!stroke.empty()) g.strokes.push_back(stroke);
        glyphs->push_back(g);
        while (pos < all.size() && all[pos] != '\n') ++pos;  // rest of the line
    }
    if ((int)glyphs->size() != kLastCode - kFirstCode + 1) {
        std::fprintf(stderr, "make_stroke_font: %s holds %d glyphs, expected %d\n", path,
                     (int)glyphs->size(), kLastCode - kFirstCode + 1);
        return false;
    }
    return true;
}

std::string Number(double v) {
    char text[32];
    if (v == std::floor(v)) {
        std::snprintf(text, sizeof text, "%d", (int)v);
    } else {
        std::snprintf(text, sizeof text, "%.2f", v);  // quarters: exact in two decimals
    }
    return text;
}

std::string SignConstant(int code) {
    if (code == '\'') return "'\\''";
    if (code == '\\') return "'\\\\'";
    return std::string("'") + (char)code + "'";
}

void WriteList(FILE* out, const char* name, const std::vector<double>& values) {
    std::fprintf(out, "%s = {", name);
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0) std::fprintf(out, ",");
        if (i % 16 == 0 && values.size() > 16) std::fprintf(out, "\n    ");
        else if (i != 0) std::fprintf(out, " ");
        std::fprintf(out, "%s", Number(values[i]).c_str());
    }
    std::fprintf(out, "};\n");
}

}  // namespace

int main(int argc, char** argv) {
    const char* input = argc > 1 ? argv[1] : kDefaultInput;
    std::vector<Glyph> glyphs;
    if (!ReadGlyphs(input, &glyphs)) return 1;

    int top = 1000;
    for (const Glyph& g : glyphs) {
        for (const auto& s : g.strokes) {
            for (const Point& p : s) {
                if (p.y < top) top = p.y;
            }
        }
    }

    FILE* out = argc > 2 ? std::fopen(argv[2], "w") : stdout;
    if (!out) {
        std::fprintf(stderr, "make_stroke_font: cannot write %s\n", argv[2]);
        return 1;
    }

    std::fprintf(out,
                 "// Orvendale stroke font: the HUD's frame-rate text.\n"
                 "//\n"
                 "// Made by tools/make_stroke_font from rowmans.jhf (Hershey Roman Simplex) of\n"
                 "// Debian's hershey-fonts-data package; regenerate with\n"
                 "//   make_stroke_font /usr/share/hershey-fonts/rowmans.jhf data/font.txt\n"
                 "// One glyph unit is 4 Hershey units; each glyph's ink starts at x = 0 and y\n"
                 "// grows downwards from the font's highest ink.\n"
                 "// char[k].n_data holds line segments x1, y1, x2, y2.\n"
                 "//\n"
                 "// The Hershey Fonts were originally created by Dr. A. V. Hershey while working\n"
                 "// at the U. S. National Bureau of Standards.\n"
                 "// The format of the Font data in this distribution was originally created by\n"
                 "// James Hurt, Cognition, Inc., 900 Technology Park Drive, Billerica, MA 01821\n"
                 "// (mit-eddie!ci-dandelion!hurt).\n\n");
    std::fprintf(out, "n_max_char = %d;      // glyphs below, besides the default one\n",
                 (int)glyphs.size());
    std::fprintf(out, "n_space_style = 0;    // spaces leave a gap as wide as the widest glyph\n");
    std::fprintf(out, "f_default_width = 0.007;  // initial scale; the HUD sets its own\n");
    std::fprintf(out,
                 "f_side_ratio = 1.3333334; // y stretch: square glyph units on a 4:3 screen\n\n");

    for (size_t k = 0; k < glyphs.size(); ++k) {
        const Glyph& g = glyphs[k];
        int left = 1000;
        for (const auto& s : g.strokes) {
            for (const Point& p : s) {
                if (p.x < left) left = p.x;
            }
        }
        std::vector<double> data;
        for (const auto& s : g.strokes) {
            for (size_t i = 1; i < s.size(); ++i) {
                data.push_back((s[i - 1].x - left) / kHersheyPerUnit);
                data.push_back((s[i - 1].y - top) / kHersheyPerUnit);
                data.push_back((s[i].x - left) / kHersheyPerUnit);
                data.push_back((s[i].y - top) / kHersheyPerUnit);
            }
        }
        char name[64];
        std::snprintf(name, sizeof name, "char[%d].n_sign", (int)k);
        std::fprintf(out, "%s = %s;\n", name, SignConstant(g.code).c_str());
        std::snprintf(name, sizeof name, "char[%d].n_data", (int)k);
        if (data.empty()) {
            // A list cannot be empty: one lone x, never drawn, for the blank space glyph.
            std::fprintf(out, "%s = {0};\n", name);
        } else {
            WriteList(out, name, data);
        }
    }

    // Codes without a glyph: an open box the size of a capital.
    double boxTop = (-12 - top) / kHersheyPerUnit;
    double boxBottom = (9 - top) / kHersheyPerUnit;
    std::fprintf(out, "\n// Drawn for every code without a glyph of its own.\n");
    WriteList(out, "default_char.n_data",
              {0, boxTop, 3, boxTop, 3, boxTop, 3, boxBottom, 3, boxBottom, 0, boxBottom, 0,
               boxBottom, 0, boxTop});
    if (out != stdout) std::fclose(out);
    return 0;
}
