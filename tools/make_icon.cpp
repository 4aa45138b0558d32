// make_icon: writes the game's desktop icon, packaging/icons/orvendale-<size>.png at 48,
// 128 and 256 pixels, from the landscape's own scalar field: the four sources at one
// moment of their dance, seen from above, with glowing contour rings at the game's iso
// level and a few levels around it, each ring tinted by the source mix as the tubes are
// in the game. The rings sit on a dark round badge that is transparent outside.
//
//   make_icon [output_folder]      (default: packaging/icons)
//
// Every pixel is the mean of a 4 x 4 grid of samples, so the small sizes are smooth; the
// picture is a pure function of the field, so a second run writes the same bytes.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "landscape/contour_slice.h"
#include "landscape/scalar_field.h"

namespace {

// The moment of the dance: the four sources stand apart in their quadrants.
const float kMoment = 0.05f;
// Half the width of the square of the world the badge shows, in world units.
const double kWorldHalfWidth = 820.0;
// Levels of the rings, as multiples of the game's iso level (1 is the game's tube).
const double kLevels[] = {0.5, 1.0, 2.5, 8.0};
const int kSamples = 4;

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

double FieldAt(const GrowArray<Vec3>& sources, double x, double y) {
    Vec3 p;
    p.Set((float)x, (float)y, 0.0f);
    return FieldValue(sources, p);
}

// One sample of the picture at badge coordinates u, v in [-1, 1] (y up), with the
// width of one pixel in those coordinates.
Rgba Sample(const GrowArray<Vec3>& sources, double u, double v, double pixel) {
    Rgba out;
    const double radius = std::sqrt(u * u + v * v);
    if (radius > 1.0) return out;

    // The badge: deep blue-black, a little lighter towards its rim.
    out.r = 0.02 + 0.03 * radius;
    out.g = 0.02 + 0.04 * radius;
    out.b = 0.07 + 0.10 * radius;
    out.a = 1.0;

    const double x = u * kWorldHalfWidth, y = v * kWorldHalfWidth;
    const double f = FieldAt(sources, x, y);
    if (!(f > 0.0) || !std::isfinite(f)) return out;
    // Distances to a ring are measured on the logarithm of the field, whose rings are
    // evenly spaced, and turned into pixels through its gradient.
    const double h = 0.5;
    const double gx =
        (std::log(FieldAt(sources, x + h, y)) - std::log(FieldAt(sources, x - h, y))) / (2 * h);
    const double gy =
        (std::log(FieldAt(sources, x, y + h)) - std::log(FieldAt(sources, x, y - h))) / (2 * h);
    const double slope = std::sqrt(gx * gx + gy * gy) * kWorldHalfWidth * pixel;  // per pixel
    if (!(slope > 0.0)) return out;

    Vec3 p;
    p.Set((float)x, (float)y, 0.0f);
    const Vec3 tint = ContourColour(sources, p);
    double glow = 0.0;
    for (double level : kLevels) {
        const double d = std::fabs(std::log(f) - std::log(level * kIsoLevel)) / slope;  // pixels
        const double core = std::exp(-(d * d) / (2.0 * 0.9 * 0.9));
        const double halo = 0.45 * std::exp(-d / 3.5);
        glow += (level == 1.0 ? 1.0 : 0.6) * (core + halo);
    }
    glow = std::min(glow, 1.6);
    // The glow adds light: a white-hot core over the source's colour.
    const double white = std::max(0.0, glow - 1.0);
    out.r = std::min(1.0, out.r + glow * (0.25 + 0.75 * tint.x) + white);
    out.g = std::min(1.0, out.g + glow * (0.25 + 0.75 * tint.y) + white);
    out.b = std::min(1.0, out.b + glow * (0.25 + 0.75 * tint.z) + white);
    return out;
}

bool WriteIcon(const GrowArray<Vec3>& sources, int size, const std::string& path) {
    std::vector<png_byte> rgba((size_t)size * size * 4);
    const double pixel = 2.0 / size;
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            Rgba sum;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double u = -1.0 + (col + (sx + 0.5) / kSamples) * pixel;
                    const double v = 1.0 - (row + (sy + 0.5) / kSamples) * pixel;
                    const Rgba s = Sample(sources, u, v, pixel);
                    // Premultiplied, so the transparent corners do not darken the rim.
                    sum.r += s.r * s.a;
                    sum.g += s.g * s.a;
                    sum.b += s.b * s.a;
                    sum.a += s.a;
                }
            }
            const int n = kSamples * kSamples;
            png_byte* out = &rgba[((size_t)row * size + col) * 4];
            const double a = sum.a / n;
            auto channel = [&](double premultiplied) {
                const double c = a > 0.0 ? premultiplied / n / a : 0.0;
                return (png_byte)std::lround(std::clamp(c, 0.0, 1.0) * 255.0);
            };
            out[0] = channel(sum.r);
            out[1] = channel(sum.g);
            out[2] = channel(sum.b);
            out[3] = (png_byte)std::lround(std::clamp(a, 0.0, 1.0) * 255.0);
        }
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)size;
    image.height = (png_uint_32)size;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "make_icon: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "packaging/icons";
    GrowArray<Vec3> sources;
    for (int k = 0; k < 4; ++k) {
        if (!sources.Push(SourcePosition(k, kMoment))) return 1;
    }
    for (int size : {48, 128, 256}) {
        const std::string path = folder + "/orvendale-" + std::to_string(size) + ".png";
        if (!WriteIcon(sources, size, path)) return 1;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
