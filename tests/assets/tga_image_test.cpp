#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/tga_image.h"
#include "tests/assets/tga_test_util.h"

using tgatest::Bytes;
using tgatest::Decode;
using tgatest::Header;
using tgatest::Image;
using tgatest::Tga;

namespace {

Header TrueColour(int w, int h, int depth, int descriptor = 0) {
    Header hd;
    hd.imageType = 2;
    hd.width = w;
    hd.height = h;
    hd.depth = depth;
    hd.descriptor = descriptor;
    return hd;
}

// Whole small files and the pixels they must give (RGBA, top row first). File rows come
// bottom first unless the descriptor says otherwise; values are stored blue, green, red.
struct PictureCase {
    const char* name;
    Header header;
    Bytes afterHeader;
    Bytes expected;
};

Header Typed(Header hd, int imageType) {
    hd.imageType = imageType;
    return hd;
}

Header Greyscale() {
    Header hd;
    hd.imageType = 3;
    hd.depth = 8;
    return hd;
}

Header GreyscaleWithAMap() {
    Header hd = Greyscale();
    hd.mapType = 1;
    hd.mapLength = 2;
    hd.mapEntryBits = 24;
    return hd;
}

Header WithImageId(Header hd, int idLength) {
    hd.idLength = idLength;
    return hd;
}

TEST(TgaRead, HeaderAndBytesBecomePixels) {
    const Bytes twoByTwo = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const PictureCase cases[] = {
        // File row 0 holds (b,g,r,a) 1,2,3,4 and 5,6,7,8; file row 1 9..16.
        {"bottom-first file ends up top row first", TrueColour(2, 2, 32, 0x00), twoByTwo,
         {11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8}},
        {"top-first file keeps its row order", TrueColour(2, 2, 32, 0x20), twoByTwo,
         {3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12, 15, 14, 13, 16}},
        {"24-bit takes blue, green, red and is opaque", TrueColour(1, 1, 24), {10, 20, 30},
         {30, 20, 10, 255}},
        {"a greyscale value becomes opaque grey", Greyscale(), {77}, {77, 77, 77, 255}},
        // The map is read (and skipped over), then the ramp decides the colours.
        {"the greyscale ramp replaces a colour map in the file", GreyscaleWithAMap(),
         {9, 9, 9, 8, 8, 8, 1}, {1, 1, 1, 255}},
        {"the image id is skipped", WithImageId(TrueColour(1, 1, 24), 3),
         {0xAA, 0xBB, 0xCC, 1, 2, 3}, {3, 2, 1, 255}},
        // 0x83: one value four times; 0x02: three values.
        {"a run packet repeats and a raw packet carries values",
         Typed(TrueColour(7, 1, 24), 10),
         {0x83, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255, 3, 2, 1, 255,  //
          6, 5, 4, 255, 9, 8, 7, 255, 12, 11, 10, 255}},
        {"a 32-bit run keeps the red-blue order and alpha", Typed(TrueColour(2, 1, 32), 10),
         {0x81, 10, 20, 30, 40}, {30, 20, 10, 40, 30, 20, 10, 40}},
        // A run of 4 then a raw packet of 2: the run covers row 0 and the first pixel of row 1.
        {"packets carry on into the next row", Typed(TrueColour(3, 2, 24, 0x20), 10),
         {0x83, 1, 1, 1, 0x01, 2, 2, 2, 3, 3, 3},
         {1, 1, 1, 255, 1, 1, 1, 255, 1, 1, 1, 255,  //
          1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255}},
    };
    for (const PictureCase& c : cases) {
        Image img(Decode(Tga(c.header, c.afterHeader)));
        ASSERT_TRUE(img.Ok()) << c.name;
        EXPECT_EQ(c.header.width, img->width) << c.name;
        EXPECT_EQ(c.header.height, img->height) << c.name;
        EXPECT_EQ(c.expected, img.Pixels()) << c.name;
    }
}

// Run-length packets at the edges of their header byte: a run or a raw packet of one
// pixel (0x80, 0x00) and of 128 (0xFF, 0x7F), and packets that run on across row ends.
// A packet is written as {header byte, grey values}; every picture is greyscale, top row
// first, and the expected grey levels are written out by hand.
struct PacketCase {
    const char* name;
    int width, height;
    std::vector<Bytes> packets;
    Bytes expectedGrey;
};

Bytes Repeat(unsigned char value, int count) { return Bytes((size_t)count, value); }

Bytes Ramp(int first, int count) {
    Bytes b;
    for (int i = 0; i < count; ++i) b.push_back((unsigned char)(first + i));
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(TgaRead, RunLengthPacketsAtTheirShortestAndLongest) {
    const PacketCase cases[] = {
        {"runs of one", 3, 1, {{0x80, 10}, {0x80, 20}, {0x80, 30}}, {10, 20, 30}},
        {"raw packets of one", 3, 1, {{0x00, 10}, {0x00, 20}, {0x00, 30}}, {10, 20, 30}},
        {"a run of 128", 128, 1, {{0xFF, 7}}, Repeat(7, 128)},
        {"a raw packet of 128", 128, 1, {Join({{0x7F}, Ramp(100, 128)})}, Ramp(100, 128)},
        {"a raw packet of one after a run of 128", 129, 1, {{0xFF, 7}, {0x00, 200}},
         Join({Repeat(7, 128), {200}})},
        {"a run of one after a raw packet of 128", 129, 1, {Join({{0x7F}, Ramp(1, 128)}), {0x80, 250}},
         Join({Ramp(1, 128), {250}})},
        // Rows of 5: 7 pixels fill row 0 and two of row 1, 5 more finish row 1 and start
        // row 2, 3 finish it.
        {"packets across row ends", 5, 3, {{0x86, 9}, {0x04, 1, 2, 3, 4, 5}, {0x82, 6}},
         {9, 9, 9, 9, 9, 9, 9, 1, 2, 3, 4, 5, 6, 6, 6}},
        // Rows of 100: the longest of each kind straddle rows 0-1 and 1-2.
        {"longest packets across row ends", 100, 3,
         {Join({{0x7F}, Ramp(0, 128)}), {0xFF, 222}, Join({{0x2B}, Ramp(50, 44)})},
         Join({Ramp(0, 128), Repeat(222, 128), Ramp(50, 44)})},
    };
    for (const PacketCase& c : cases) {
        Header hd = Greyscale();
        hd.imageType = 11;
        hd.width = c.width;
        hd.height = c.height;
        hd.descriptor = 0x20;
        Bytes data;
        for (const Bytes& p : c.packets) data.insert(data.end(), p.begin(), p.end());
        Bytes expected;
        for (unsigned char v : c.expectedGrey) expected.insert(expected.end(), {v, v, v, 255});
        ASSERT_EQ(expected.size(), (size_t)c.width * c.height * 4) << c.name;
        Image img(Decode(Tga(hd, data)));
        ASSERT_TRUE(img.Ok()) << c.name;
        EXPECT_EQ(expected, img.Pixels()) << c.name;
    }
}

TEST(TgaRead, SixteenBitPixelsSpreadFiveBitsAndHaveAlphaZero) {
    struct Case {
        int depth;
        int word;
        Bytes expected;
    } cases[] = {
        {16, 0x7FFF, {248, 248, 248, 0}},
        {16, 0x8000 | (1 << 10) | (2 << 5) | 3, {8, 16, 24, 0}},  // attribute bit ignored
        {15, 0x7C00, {248, 0, 0, 0}},
        {16, 0x0000, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Image img(Decode(Tga(TrueColour(1, 1, c.depth),
                             {(unsigned char)(c.word & 255), (unsigned char)(c.word >> 8)})));
        ASSERT_TRUE(img.Ok()) << c.word;
        EXPECT_EQ(c.expected, img.Pixel(0, 0)) << std::hex << c.word;
    }
}

TEST(TgaRead, ColourMapEntriesOfEachSize) {
    struct Case {
        int bits;
        Bytes entry;
        Bytes expected;
    } cases[] = {
        {24, {10, 20, 30}, {30, 20, 10, 255}},
        {32, {10, 20, 30, 0}, {30, 20, 10, 255}},  // the map's alpha is not kept
        {16, {0xFF, 0x7F}, {248, 248, 248, 255}},
        {15, {0x1F, 0x00}, {0, 0, 248, 255}},
    };
    for (const Case& c : cases) {
        Header hd;
        hd.imageType = 1;
        hd.mapType = 1;
        hd.depth = 8;
        hd.mapLength = 2;
        hd.mapEntryBits = c.bits;
        Bytes data(c.entry.size(), 0);  // entry 0: black
        data.insert(data.end(), c.entry.begin(), c.entry.end());
        data.push_back(1);
        Image img(Decode(Tga(hd, data)));
        ASSERT_TRUE(img.Ok()) << c.bits;
        EXPECT_EQ(c.expected, img.Pixel(0, 0)) << c.bits;
    }
}

TEST(TgaRead, UnsupportedImageTypesAreRejected) {
    for (int type : {0, 4, 5, 6, 7, 8, 12, 13, 15}) {
        Header hd = TrueColour(1, 1, 24);
        hd.imageType = type;
        EXPECT_EQ(nullptr, Decode(Tga(hd, {1, 2, 3, 4, 5, 6, 7, 8}))) << type;
    }
}

// A picture per format, stored plainly and run-length encoded by a small encoder here
// (runs of two or more become run packets); both must decode to the same pixels.
struct FormatCase {
    const char* name;
    int kind;  // 1 mapped, 2 true colour, 3 greyscale
    int depth;
    int valueBytes;
};

Bytes Values(const FormatCase& f, int count) {
    // Repeats so that runs occur, including one across a row end.
    static const unsigned char pattern[] = {5, 5, 5, 9, 1, 1, 7, 7, 7, 7, 7, 3, 2, 6};
    Bytes v;
    for (int i = 0; i < count; ++i) {
        unsigned char p = pattern[i % sizeof pattern];
        for (int k = 0; k < f.valueBytes; ++k)
            v.push_back(f.kind == 2 ? (unsigned char)(p * 17 + k * 40) : (unsigned char)(p % 4));
    }
    return v;
}

Bytes RunLength(const Bytes& values, int width, int height, int valueBytes) {
    Bytes out;
    auto value = [&](int i) {
        return Bytes(values.begin() + i * valueBytes, values.begin() + (i + 1) * valueBytes);
    };
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            int i = y * width + x;
            int run = 1;
            while (x + run < width && run < 128 && value(i + run) == value(i)) ++run;
            if (run >= 2) {
                out.push_back((unsigned char)(127 + run));
                Bytes v = value(i);
                out.insert(out.end(), v.begin(), v.end());
                x += run;
            } else {
                int raw = 1;
                while (x + raw < width && raw < 128 &&
                       !(x + raw + 1 < width && value(i + raw) == value(i + raw + 1)))
                    ++raw;
                out.push_back((unsigned char)(raw - 1));
                for (int k = 0; k < raw; ++k) {
                    Bytes v = value(i + k);
                    out.insert(out.end(), v.begin(), v.end());
                }
                x += raw;
            }
        }
    }
    return out;
}

TEST(TgaRead, RunLengthPicturesDecodeExactlyAsPlainOnes) {
    const FormatCase formats[] = {
        {"true colour 32", 2, 32, 4}, {"true colour 24", 2, 24, 3}, {"true colour 16", 2, 16, 2},
        {"colour mapped", 1, 8, 1},   {"greyscale", 3, 8, 1},
    };
    const int w = 6, h = 4;
    for (const FormatCase& f : formats) {
        for (int descriptor : {0x00, 0x20}) {
            Header hd;
            hd.width = w;
            hd.height = h;
            hd.depth = f.depth;
            hd.descriptor = descriptor;
            Bytes map;
            if (f.kind == 1) {
                hd.mapType = 1;
                hd.mapLength = 4;
                hd.mapEntryBits = 24;
                map = {0, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
            }
            Bytes values = Values(f, w * h);
            Bytes plain = map, packed = map;
            plain.insert(plain.end(), values.begin(), values.end());
            Bytes runs = RunLength(values, w, h, f.valueBytes);
            packed.insert(packed.end(), runs.begin(), runs.end());
            ASSERT_LT(runs.size(), values.size() + w * h) << "the encoder made runs";

            hd.imageType = f.kind;
            Image a(Decode(Tga(hd, plain)));
            hd.imageType = f.kind | 8;
            Image b(Decode(Tga(hd, packed)));
            ASSERT_TRUE(a.Ok()) << f.name;
            ASSERT_TRUE(b.Ok()) << f.name;
            EXPECT_EQ(a.Pixels(), b.Pixels()) << f.name << " descriptor " << descriptor;
        }
    }
}

TEST(TgaRead, PacketsPastTheEndOfThePictureAreCutOff) {
    Header hd = TrueColour(2, 1, 24);
    hd.imageType = 10;
    Image run(Decode(Tga(hd, {0xFF, 7, 8, 9})));  // 128 pixels for a picture of 2
    ASSERT_TRUE(run.Ok());
    EXPECT_EQ((Bytes{9, 8, 7, 255, 9, 8, 7, 255}), run.Pixels());
    Image raw(Decode(Tga(hd, {0x05, 1, 2, 3, 4, 5, 6})));  // six announced, two needed
    ASSERT_TRUE(raw.Ok());
    EXPECT_EQ((Bytes{3, 2, 1, 255, 6, 5, 4, 255}), raw.Pixels());
}

TEST(TgaRead, MalformedPicturesAreRejected) {
    Header mapped;
    mapped.imageType = 1;
    mapped.mapType = 1;
    mapped.depth = 8;
    mapped.mapEntryBits = 24;
    mapped.mapLength = 2;
    mapped.width = 2;

    struct Case {
        const char* what;
        Bytes file;
    };
    std::vector<Case> cases;
    {
        Header h = mapped;
        h.mapLength = 257;
        cases.push_back({"colour map over 256 entries", Tga(h, Bytes(257 * 3 + 2, 0))});
    }
    cases.push_back({"index beyond the colour map", Tga(mapped, {1, 2, 3, 4, 5, 6, 0, 2})});
    {
        Header h = mapped;
        h.imageType = 9;
        cases.push_back({"run of an index beyond the map", Tga(h, {1, 2, 3, 4, 5, 6, 0x81, 7})});
    }
    {
        Header h = mapped;
        h.mapLength = 0;
        cases.push_back({"colour mapped without a map", Tga(h, {0, 0})});
    }
    {
        Header h = mapped;
        h.mapEntryBits = 8;
        cases.push_back({"colour map entries of no known size", Tga(h, {1, 2, 0, 1})});
    }
    {
        Header h = mapped;
        h.depth = 16;
        cases.push_back({"16-bit indices", Tga(h, {1, 2, 3, 4, 5, 6, 0, 0, 1, 0})});
    }
    {
        Header h;
        h.imageType = 3;
        h.depth = 16;
        cases.push_back({"16-bit greyscale", Tga(h, {7, 255})});
    }
    cases.push_back({"true colour of 8 bits", Tga(TrueColour(1, 1, 8), {1, 2, 3, 4})});
    cases.push_back({"width 0", Tga(TrueColour(0, 1, 24), {1, 2, 3})});
    cases.push_back({"height 0", Tga(TrueColour(1, 0, 24), {1, 2, 3})});
    cases.push_back(
        {"65535 x 65535 with 4 bytes of data", Tga(TrueColour(65535, 65535, 32), {1, 2, 3, 4})});
    cases.push_back({"wider than the largest side",
                     Tga(TrueColour(kTgaMaxSide + 1, 1, 24), Bytes((kTgaMaxSide + 1) * 3, 1))});
    {
        Header h = TrueColour(65535, 65535, 24);
        h.imageType = 10;
        cases.push_back({"run-length 65535 x 65535 with one packet", Tga(h, {0xFF, 1, 2, 3})});
    }
    cases.push_back({"header only", Tga(TrueColour(1, 1, 24), {})});
    cases.push_back({"shorter than a header", Bytes(17, 0)});
    cases.push_back({"nothing", Bytes()});

    for (const Case& c : cases) EXPECT_EQ(nullptr, Decode(c.file)) << c.what;
}

TEST(TgaRead, TheLargestSideIsAccepted) {
    Image img(Decode(Tga(TrueColour(kTgaMaxSide, 1, 24), Bytes(kTgaMaxSide * 3, 1))));
    ASSERT_TRUE(img.Ok());
    EXPECT_EQ(kTgaMaxSide, img->width);
}

TEST(TgaRead, EveryTruncationIsRejected) {
    Header mapped;
    mapped.imageType = 9;
    mapped.mapType = 1;
    mapped.idLength = 2;
    mapped.depth = 8;
    mapped.mapEntryBits = 24;
    mapped.mapLength = 2;
    mapped.width = 4;
    mapped.height = 2;
    Header rle32 = TrueColour(3, 2, 32);
    rle32.imageType = 10;
    const Bytes files[] = {
        Tga(TrueColour(2, 2, 24), Bytes(12, 40)),
        Tga(rle32, {0x82, 1, 2, 3, 4, 0x02, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
        Tga(mapped, {'i', 'd', 1, 2, 3, 4, 5, 6, 0x00, 1, 0x86, 0}),
    };
    for (const Bytes& full : files) {
        Image whole(Decode(full));
        ASSERT_TRUE(whole.Ok());
        for (size_t n = 0; n < full.size(); ++n) {
            // A copy of exactly n bytes, so that reading past it is caught by the sanitizer.
            std::vector<unsigned char> cut(full.begin(), full.begin() + n);
            EXPECT_EQ(nullptr, LoadTgaFromMemory(cut.empty() ? nullptr : cut.data(), cut.size()))
                << n << " of " << full.size() << " bytes";
        }
    }
}

class TgaFile : public ::testing::Test {
protected:
    std::vector<std::string> written;
    std::string Write(const char* name, const Bytes& b) {
        EXPECT_TRUE(tgatest::WriteFile(name, b));
        written.push_back(name);
        return name;
    }
    void TearDown() override {
        for (const std::string& n : written) std::remove(n.c_str());
    }
};

TEST_F(TgaFile, ReadsAFileLikeItsBytes) {
    // Bigger than one read chunk, with a footer after the pixels that is not needed.
    const int w = 200, h = 100;
    Bytes data;
    for (int i = 0; i < w * h; ++i) {
        data.push_back((unsigned char)i);
        data.push_back((unsigned char)(i >> 8));
        data.push_back((unsigned char)(i * 7));
        data.push_back((unsigned char)(255 - i));
    }
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    data.insert(data.end(), footer, footer + sizeof footer);
    Bytes file = Tga(TrueColour(w, h, 32, 0x20), data);
    Image fromFile(LoadTga(Write("tga_test_read.tga", file).c_str()));
    Image fromBytes(Decode(file));
    ASSERT_TRUE(fromFile.Ok());
    ASSERT_TRUE(fromBytes.Ok());
    EXPECT_EQ(fromBytes.Pixels(), fromFile.Pixels());
    EXPECT_EQ((Bytes{7, 0, 1, 254}), fromFile.Pixel(1, 0));  // file b, g, r, a = 1, 0, 7, 254
}

TEST_F(TgaFile, MissingEmptyAndShortFilesFail) {
    EXPECT_EQ(nullptr, LoadTga("tga_test_no_such_file.tga"));
    EXPECT_EQ(nullptr, LoadTga(nullptr));
    EXPECT_EQ(nullptr, LoadTga(Write("tga_test_empty.tga", {}).c_str()));
    Bytes cut = Tga(TrueColour(4, 4, 32), Bytes(63, 1));
    EXPECT_EQ(nullptr, LoadTga(Write("tga_test_short.tga", cut).c_str()));
}

// A caller may free what a failed load gave it without looking: the program goes on.
TEST(TgaFree, AcceptsNull) {
    EXPECT_EXIT(
        {
            FreeTga(nullptr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
