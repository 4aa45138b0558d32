// Pictures written by an independent TGA writer, ImageMagick's convert, must decode
// pixel for pixel as ImageMagick itself reads them back. The pictures are made at run
// time from two small source pictures; without convert the tests are skipped.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/tga_image.h"
#include "tests/assets/tga_test_util.h"

using tgatest::Bytes;
using tgatest::Image;

namespace {

#ifdef _WIN32
const char* kQuiet = " >NUL 2>&1";
#else
const char* kQuiet = " >/dev/null 2>&1";
#endif

bool RunQuietly(const std::string& command) { return std::system((command + kQuiet).c_str()) == 0; }

bool HaveConvert() {
    static int have = -1;
    if (have < 0) have = RunQuietly("convert -version") ? 1 : 0;
    return have == 1;
}

struct Source {
    const char* file;
    int width, height;
    Bytes rgba;
};

// A gradient with varying alpha: nearly every pixel differs, so packets are raw.
Source Gradient() {
    Source s = {"tga_im_gradient.rgba", 7, 5, {}};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.rgba.insert(s.rgba.end(),
                          {(unsigned char)(x * 37 + y * 11), (unsigned char)(x * 13 + y * 71),
                           (unsigned char)(x * 91 + y * 5), (unsigned char)(x * 40 + y * 50 + 7)});
    return s;
}

// Wide flat bands with a few odd columns: long runs (over 128 pixels) and short raws.
Source Bands() {
    Source s = {"tga_im_bands.rgba", 150, 6, {}};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (x % 37 == 5)
                s.rgba.insert(s.rgba.end(), {(unsigned char)x, (unsigned char)(x * 7),
                                             (unsigned char)(y * 40), 200});
            else
                s.rgba.insert(s.rgba.end(), {(unsigned char)(x / 20 * 30), (unsigned char)(y * 40),
                                             (unsigned char)(255 - x / 20 * 30),
                                             (unsigned char)(y < 3 ? 255 : 128)});
        }
    // A band of one colour over the whole first row and into the second.
    for (int i = 0; i < 170 * 4; i += 4) {
        s.rgba[i] = 1;
        s.rgba[i + 1] = 2;
        s.rgba[i + 2] = 3;
        s.rgba[i + 3] = 255;
    }
    return s;
}

struct Variant {
    const char* name;
    const char* options;
    int expectedType;        // image type byte ImageMagick should write
    bool expectedTopFirst;   // descriptor bit 5
};

const Variant kVariants[] = {
    {"true colour 32", "-type TrueColorAlpha -compress None", 2, false},
    {"true colour 32 RLE", "-type TrueColorAlpha -compress RLE", 10, false},
    {"true colour 32 top first", "-type TrueColorAlpha -compress None -orient TopLeft", 2, true},
    {"true colour 32 RLE top first", "-type TrueColorAlpha -compress RLE -orient TopLeft", 10,
     true},
    {"true colour 24", "-alpha off -type TrueColor -compress None", 2, false},
    {"true colour 24 RLE", "-alpha off -type TrueColor -compress RLE", 10, false},
    {"true colour 24 RLE top first", "-alpha off -type TrueColor -compress RLE -orient TopLeft", 10,
     true},
    {"colour mapped", "-alpha off -type Palette -compress None", 1, false},
    {"colour mapped RLE", "-alpha off -type Palette -compress RLE", 9, false},
    {"colour mapped top first", "-alpha off -type Palette -compress None -orient TopLeft", 1, true},
    {"greyscale", "-alpha off -type Grayscale -compress None", 3, false},
    {"greyscale RLE", "-alpha off -type Grayscale -compress RLE", 11, false},
    {"greyscale RLE top first", "-alpha off -type Grayscale -compress RLE -orient TopLeft", 11,
     true},
};

class TgaImageMagick : public ::testing::TestWithParam<Variant> {
protected:
    std::vector<std::string> made;
    void TearDown() override {
        for (const std::string& n : made) std::remove(n.c_str());
    }

    void Check(const Source& src) {
        const Variant& v = GetParam();
        std::string raw = src.file;
        std::string tga = std::string(src.file) + ".tga";
        std::string back = std::string(src.file) + ".back";
        made.insert(made.end(), {raw, tga, back});
        ASSERT_TRUE(tgatest::WriteFile(raw, src.rgba));
        std::string size = std::to_string(src.width) + "x" + std::to_string(src.height);
        ASSERT_TRUE(RunQuietly("convert -size " + size + " -depth 8 rgba:" + raw + " " + v.options +
                               " " + tga))
            << v.name;
        // ImageMagick keeps a TGA's rows in file order and records the orientation
        // beside them; -auto-orient applies it, giving the picture as the file means it.
        ASSERT_TRUE(RunQuietly("convert " + tga + " -auto-orient -depth 8 rgba:" + back)) << v.name;

        Bytes file, expected;
        ASSERT_TRUE(tgatest::ReadFile(tga, &file));
        ASSERT_TRUE(tgatest::ReadFile(back, &expected));
        ASSERT_GE(file.size(), 18u);
        // The variant really is the kind of file it is meant to test.
        EXPECT_EQ(v.expectedType, file[2]) << v.name;
        EXPECT_EQ(v.expectedTopFirst, (file[17] & 0x20) != 0) << v.name;

        Image img(LoadTga(tga.c_str()));
        ASSERT_TRUE(img.Ok()) << v.name;
        ASSERT_EQ(src.width, img->width);
        ASSERT_EQ(src.height, img->height);
        ASSERT_EQ(expected.size(), (size_t)src.width * src.height * 4);
        Bytes got = img.Pixels();
        for (size_t i = 0; i < got.size(); i += 4) {
            Bytes a(got.begin() + i, got.begin() + i + 4),
                e(expected.begin() + i, expected.begin() + i + 4);
            ASSERT_EQ(e, a) << v.name << ": pixel (" << (i / 4) % src.width << ", "
                            << (i / 4) / src.width << ")";
        }
    }
};

TEST_P(TgaImageMagick, GradientMatchesImageMagicksOwnReading) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    Check(Gradient());
}

TEST_P(TgaImageMagick, BandsMatchImageMagicksOwnReading) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    Check(Bands());
}

INSTANTIATE_TEST_SUITE_P(Variants, TgaImageMagick, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!isalnum((unsigned char)c)) c = '_';
                             return n;
                         });

}  // namespace
