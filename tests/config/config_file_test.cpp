#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/alloc_failure.h"
#include "tests/support/gl_test_window.h"

namespace {

enum Op { OpInt, OpChar, OpReal, OpListLength, OpRealList, OpString };

// One lookup and what it must leave behind. Outputs are pre-filled with a sentinel;
// `out` lists what must be there afterwards (empty: still the sentinel).
struct Lookup {
    Op op;
    const char* name;
    int result;
    std::vector<double> out = {};
    int maxCount = 0;        // OpRealList
    std::string text = "";   // OpString: the text of the name's string value
};

struct ConfigCase {
    const char* name;
    std::string text;
    int parseResult;
    std::vector<Lookup> lookups;
    std::string message = "";     // the tokenizer's last message after the parse
    int allocFailAfter = -1;      // make allocations fail after this many
    bool nullStream = false;
};

// "v0 = v1; v1 = v2; ... v<n-1> = 7;": looking up v0 takes n nested lookups.
std::string Chain(int n) {
    std::string s;
    for (int i = 0; i < n - 1; ++i) {
        s += "v" + std::to_string(i) + " = v" + std::to_string(i + 1) + ";\n";
    }
    s += "v" + std::to_string(n - 1) + " = 7;\n";
    return s;
}

// "m0 = m1; ... m<lists-1> = {v0};" and a chain of `elements` lookups from v0 to 7.
std::string ListThenChain(int lists, int elements) {
    std::string s;
    for (int i = 0; i < lists - 1; ++i) {
        s += "m" + std::to_string(i) + " = m" + std::to_string(i + 1) + ";\n";
    }
    s += "m" + std::to_string(lists - 1) + " = {v0};\n";
    return s + Chain(elements);
}

const int kIntSentinel = 12345;
const char kCharSentinel = '#';
const float kRealSentinel = -1.0f;
const double kPi = 3.1415927f;

const ConfigCase kCases[] = {
    // Nothing to read: the parse succeeds and every lookup says "no tokens".
    {"empty text", "", ConfigOk,
     {{OpInt, "a", ConfigNoTokens}, {OpChar, "a", ConfigNoTokens}, {OpReal, "a", ConfigNoTokens},
      {OpListLength, "a", ConfigNoTokens}, {OpRealList, "a", ConfigNoTokens, {}, 4}}},
    {"only comments and whitespace", "// settings\n/* none\n yet */  \r\n\t", ConfigOk,
     {{OpInt, "a", ConfigNoTokens}, {OpReal, "a", ConfigNoTokens}}},
    {"null stream", "", ConfigOk, {{OpInt, "n_Width", ConfigNoTokens}}, "", -1, true},

    // Scalars.
    {"window size", "n_Width = 800; n_Height = 600;", ConfigOk,
     {{OpInt, "n_Width", ConfigOk, {800}}, {OpInt, "n_Height", ConfigOk, {600}}}},
    {"first definition wins", "w = 1; w = 2;", ConfigOk, {{OpInt, "w", ConfigOk, {1}}}},
    {"character value", "x = 'A';", ConfigOk,
     {{OpInt, "x", ConfigOk, {65}}, {OpChar, "x", ConfigOk, {'A'}},
      {OpReal, "x", ConfigWrongKind}}},
    {"integer as real", "r = 2;", ConfigOk,
     {{OpReal, "r", ConfigOk, {2.0}}, {OpChar, "r", ConfigOk, {2}}}},
    {"real is no integer", "r = 2.5;", ConfigOk,
     {{OpInt, "r", ConfigWrongKind}, {OpChar, "r", ConfigWrongKind},
      {OpReal, "r", ConfigOk, {2.5}}}},
    {"character keeps the low 8 bits", "c = 321;", ConfigOk, {{OpChar, "c", ConfigOk, {65}}}},
    {"names are case-sensitive", "Size = 3;", ConfigOk,
     {{OpInt, "size", ConfigNotFound}, {OpInt, "Size", ConfigOk, {3}}}},
    {"undefined names", "a = b;", ConfigOk,
     {{OpInt, "nothing", ConfigNotFound}, {OpInt, "b", ConfigNotFound},
      {OpInt, "a", ConfigNotFound}, {OpReal, "a", ConfigNotFound}}},
    {"string is no number", "s = \"5\";", ConfigOk,
     {{OpInt, "s", ConfigWrongKind}, {OpChar, "s", ConfigWrongKind}, {OpReal, "s", ConfigWrongKind},
      {OpListLength, "s", ConfigWrongKind}, {OpRealList, "s", ConfigWrongKind, {}, 2}}},
    {"joined strings", "s = \"ab\" \"cd\"; t = \"x\";", ConfigOk,
     {{OpString, "s", ConfigOk, {}, 0, "abcd"}, {OpString, "t", ConfigOk, {}, 0, "x"}}},

    // References, chains and cycles.
    {"reference", "a = 5; b = a;", ConfigOk,
     {{OpInt, "b", ConfigOk, {5}}, {OpReal, "b", ConfigOk, {5.0}}}},
    {"chained assignment", "a = b = 5;", ConfigOk,
     {{OpInt, "a", ConfigOk, {5}}, {OpInt, "b", ConfigOk, {5}}}},
    {"cycle", "a = b; b = a; c = 1;", ConfigOk,
     {{OpInt, "a", ConfigTooDeep}, {OpChar, "a", ConfigTooDeep}, {OpReal, "a", ConfigTooDeep},
      {OpListLength, "a", ConfigTooDeep}, {OpRealList, "a", ConfigTooDeep, {}, 2},
      // the counters are back to zero afterwards
      {OpInt, "c", ConfigOk, {1}}}},
    {"self reference", "a = a;", ConfigOk, {{OpInt, "a", ConfigTooDeep}}},
    {"chain of 256 lookups", Chain(256), ConfigOk,
     {{OpInt, "v0", ConfigOk, {7}}, {OpReal, "v0", ConfigOk, {7.0}}}},
    {"chain of 257 lookups", Chain(257), ConfigOk,
     {{OpInt, "v0", ConfigTooDeep}, {OpInt, "v1", ConfigOk, {7}}, {OpReal, "v0", ConfigTooDeep}}},
    // Each kind has its own count: a list reached through 256 names may hold an element
    // that is itself 256 names deep.
    {"list and element chains count apart", ListThenChain(256, 256), ConfigOk,
     {{OpRealList, "m0", ConfigOk, {7.0}, 1}, {OpListLength, "m0", ConfigOk, {1}}}},
    {"list chain of 257 lookups", ListThenChain(257, 1), ConfigOk,
     {{OpRealList, "m0", ConfigTooDeep, {}, 1}, {OpListLength, "m0", ConfigTooDeep},
      {OpRealList, "m1", ConfigOk, {7.0}, 1}}},
    {"element chain of 257 lookups", ListThenChain(1, 257), ConfigOk,
     {{OpRealList, "m0", ConfigTooDeep, {}, 1}, {OpListLength, "m0", ConfigOk, {1}}}},

    // Lists.
    {"list", "l = {1, 2.5, Pi, k}; k = 4;", ConfigOk,
     {{OpListLength, "l", ConfigOk, {4}},
      {OpRealList, "l", ConfigOk, {1.0, 2.5, kPi, 4.0}, 4},
      {OpRealList, "l", ConfigOk, {1.0, 2.5}, 2},
      {OpRealList, "l", ConfigOk, {}, 0},
      {OpRealList, "l", ConfigOk, {1.0, 2.5, kPi, 4.0}, 6},
      {OpInt, "l", ConfigWrongKind}, {OpReal, "l", ConfigWrongKind}}},
    {"negative count writes nothing", "l = {1, 2};", ConfigOk,
     {{OpRealList, "l", ConfigOk, {}, -3}}},
    {"list through a reference", "m = l; l = {3, 4};", ConfigOk,
     {{OpListLength, "m", ConfigOk, {2}}, {OpRealList, "m", ConfigOk, {3.0, 4.0}, 5}}},
    {"string element", "l = {1, \"x\"};", ConfigOk,
     {{OpListLength, "l", ConfigWrongKind, {1}}, {OpRealList, "l", ConfigWrongKind, {1.0}, 2}}},
    {"character element", "l = {'a', 2};", ConfigOk,
     {{OpListLength, "l", ConfigOk, {2}}, {OpRealList, "l", ConfigWrongKind, {}, 2}}},
    {"unresolved element", "l = {1, q, 3};", ConfigOk,
     {{OpListLength, "l", ConfigOk, {3}}, {OpRealList, "l", ConfigNotFound, {1.0}, 3}}},
    {"element referring to a string", "l = {q}; q = \"s\";", ConfigOk,
     {{OpRealList, "l", ConfigWrongKind, {}, 1}}},
    {"list is no list length of a scalar", "n = 3;", ConfigOk,
     {{OpListLength, "n", ConfigWrongKind}, {OpRealList, "n", ConfigWrongKind, {}, 1}}},

    // Statements that do not parse leave no tokens behind.
    {"empty list", "l = {};", ConfigBadStatement, {{OpListLength, "l", ConfigNoTokens}}},
    {"trailing comma", "l = {1,};", ConfigBadStatement, {{OpListLength, "l", ConfigNoTokens}}},
    {"list without semicolon", "l = {1}", ConfigBadStatement, {}},
    {"list without close", "l = {1, 2", ConfigBadStatement, {}},
    {"list elements without comma", "l = {1 2};", ConfigBadStatement, {}},
    {"missing semicolon", "a = 1", ConfigBadStatement, {{OpInt, "a", ConfigNoTokens}}},
    {"missing value", "a =", ConfigBadStatement, {}},
    {"value of a wrong kind", "a = ;", ConfigBadStatement, {}},
    {"bare name at the start", "x;", ConfigBadStatement, {}},
    {"bare name later", "a = 1; x;", ConfigOk,
     {{OpInt, "a", ConfigOk, {1}}, {OpInt, "x", ConfigNotFound}}},
    {"double semicolon at the start", ";; a = 1;", ConfigBadStatement, {}},
    {"empty statements later", "a = 1; ;;", ConfigOk, {{OpInt, "a", ConfigOk, {1}}}},
    {"number first", "5 = a;", ConfigBadStatement, {}},
    {"two values", "a = 1 2;", ConfigBadStatement, {}},
    {"unterminated string", "a = 1;\ns = \"abc", ConfigBadToken, {{OpInt, "a", ConfigNoTokens}},
     "Unexpected end of file found [2]"},
    {"negative number", "a = 1;\nb = -2;", ConfigBadToken,
     {{OpInt, "a", ConfigNoTokens}}, "Unknown token found [2]"},

    // Out of memory. Allocations in order: the text, then the count pass's token texts
    // (s, ab, cd), the token array, the store pass's texts (s, ab, cd) and the join.
    {"no memory for the text", "s = \"ab\" \"cd\";", ConfigOk,
     {{OpInt, "s", ConfigNoTokens}}, "", 0},
    {"no memory while counting", "s = \"ab\" \"cd\";", ConfigBadToken,
     {{OpInt, "s", ConfigNoTokens}}, "String is too long to fit in memory [1]", 1},
    {"no memory for the token array", "s = \"ab\" \"cd\";", ConfigOutOfMemory,
     {{OpInt, "s", ConfigNoTokens}}, "", 4},
    {"no memory while storing", "s = \"ab\" \"cd\";", ConfigOutOfMemory,
     {{OpInt, "s", ConfigNoTokens}}, "String is too long to fit in memory [1]", 6},
    {"no memory to join", "s = \"ab\" \"cd\";", ConfigOutOfMemory,
     {{OpInt, "s", ConfigNoTokens}}, "", 8},
    {"just enough memory", "s = \"ab\" \"cd\";", ConfigOk,
     {{OpString, "s", ConfigOk, {}, 0, "abcd"}}, "", 9},
};

// The text of `name`'s string value, found the way the lookups find values.
const char* StringValue(const ConfigFile& config, const char* name) {
    const Token* t = config.Tokens();
    for (int i = 0; i + 2 < config.TokenCount(); ++i) {
        if (t[i].kind == TokenIdentifier && t[i + 1].kind == TokenAssign &&
            std::string(t[i].text) == name && t[i + 2].kind == TokenString) {
            return t[i + 2].text;
        }
    }
    return nullptr;
}

FILE* StreamOf(const std::string& text) {
    FILE* f = std::tmpfile();
    if (!f) return nullptr;
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

class ConfigTable : public ::testing::TestWithParam<ConfigCase> {
protected:
    void TearDown() override { SetAllocFailure(-1); }
};

TEST_P(ConfigTable, ParsesAndLooksUp) {
    const ConfigCase& c = GetParam();
    FILE* stream = nullptr;
    if (!c.nullStream) {
        stream = StreamOf(c.text);
        ASSERT_NE(nullptr, stream);
    }

    ConfigFile config;
    SetAllocFailure(c.allocFailAfter);
    int parsed = config.Parse(stream);
    SetAllocFailure(-1);
    if (stream) std::fclose(stream);
    ASSERT_EQ(c.parseResult, parsed);
    EXPECT_EQ(c.message, std::string(config.LastMessage()));
    if (parsed != 0) {
        EXPECT_EQ(0, config.TokenCount());
    }

    for (size_t k = 0; k < c.lookups.size(); ++k) {
        const Lookup& l = c.lookups[k];
        SCOPED_TRACE(std::string("lookup ") + std::to_string(k) + " of " + l.name);
        switch (l.op) {
            case OpInt: {
                int out = kIntSentinel;
                EXPECT_EQ(l.result, config.GetInt(l.name, &out));
                EXPECT_EQ(l.out.empty() ? kIntSentinel : (int)l.out[0], out);
                break;
            }
            case OpChar: {
                char out = kCharSentinel;
                EXPECT_EQ(l.result, config.GetChar(l.name, &out));
                EXPECT_EQ(l.out.empty() ? kCharSentinel : (char)l.out[0], out);
                break;
            }
            case OpReal: {
                float out = kRealSentinel;
                EXPECT_EQ(l.result, config.GetReal(l.name, &out));
                EXPECT_EQ(l.out.empty() ? kRealSentinel : (float)l.out[0], out);
                break;
            }
            case OpListLength: {
                int out = kIntSentinel;
                EXPECT_EQ(l.result, config.GetListLength(l.name, &out));
                EXPECT_EQ(l.out.empty() ? kIntSentinel : (int)l.out[0], out);
                break;
            }
            case OpRealList: {
                std::vector<float> out(8, kRealSentinel);
                EXPECT_EQ(l.result, config.GetRealList(l.name, out.data(), l.maxCount));
                for (size_t i = 0; i < out.size(); ++i) {
                    float want = i < l.out.size() ? (float)l.out[i] : kRealSentinel;
                    EXPECT_EQ(want, out[i]) << "element " << i;
                }
                break;
            }
            case OpString: {
                const char* s = StringValue(config, l.name);
                ASSERT_NE(nullptr, s);
                EXPECT_EQ(l.text, std::string(s));
                break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ConfigCase>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p) {
                                 n += (std::isalnum((unsigned char)*p) ? *p : '_');
                             }
                             return n;
                         });

TEST(ConfigFile, ClearReportsWhetherTextWasHeld) {
    ConfigFile config;
    EXPECT_EQ(ConfigNoTokens, config.Clear());
    FILE* f = StreamOf("a = 1;");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(ConfigOk, config.Parse(f));
    std::fclose(f);
    int a = 0;
    EXPECT_EQ(ConfigOk, config.GetInt("a", &a));
    // A parse gives its text up once the tokens are made: the clear finds no text to free,
    // and still drops the tokens.
    EXPECT_EQ(ConfigNoTokens, config.Clear());
    EXPECT_EQ(0, config.TokenCount());
    EXPECT_EQ(ConfigNoTokens, config.GetInt("a", &a));
}

TEST(ConfigFile, ParsingAgainReplacesTheTokens) {
    ConfigFile config;
    FILE* f = StreamOf("a = 1;");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(ConfigOk, config.Parse(f));
    std::fclose(f);
    f = StreamOf("b = 2;");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(ConfigOk, config.Parse(f));
    std::fclose(f);
    int v = 0;
    EXPECT_EQ(ConfigNotFound, config.GetInt("a", &v));
    EXPECT_EQ(ConfigOk, config.GetInt("b", &v));
    EXPECT_EQ(2, v);
}

TEST(ConfigFile, ShippedSettingsGiveTheDefaultWindow) {
    FILE* f = std::fopen(DataPath("Settings.ini"), "r");
    ASSERT_NE(nullptr, f);
    ConfigFile config;
    EXPECT_EQ(ConfigOk, config.Parse(f));
    std::fclose(f);
    int width = 0, height = 0;
    EXPECT_EQ(ConfigOk, config.GetInt("n_Width", &width));
    EXPECT_EQ(ConfigOk, config.GetInt("n_Height", &height));
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);
}

TEST(ConfigFile, LargeTexts) {
    const std::string longName(200000, 'n');
    std::string text = "// " + std::string(100000, '/') + "\n";
    text += longName + " = \"" + std::string(200000, 's') + "\" \"t\";\n";
    text += "l = {";
    for (int i = 0; i < 20000; ++i) text += (i ? ",\n" : "") + std::to_string(i);
    text += "};\nlast = 9;\n";
    FILE* f = StreamOf(text);
    ASSERT_NE(nullptr, f);
    ConfigFile config;
    ASSERT_EQ(ConfigOk, config.Parse(f));
    std::fclose(f);
    const char* s = StringValue(config, longName.c_str());
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(200001u, std::string(s).size());
    int count = 0;
    ASSERT_EQ(ConfigOk, config.GetListLength("l", &count));
    EXPECT_EQ(20000, count);
    std::vector<float> values(20000);
    ASSERT_EQ(ConfigOk, config.GetRealList("l", values.data(), count));
    EXPECT_EQ(19999.0f, values[19999]);
    int last = 0;
    EXPECT_EQ(ConfigOk, config.GetInt("last", &last));
    EXPECT_EQ(9, last);

    // An error at the end still carries the right line.
    f = StreamOf(text + "x = -1;");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(ConfigBadToken, config.Parse(f));
    std::fclose(f);
    EXPECT_EQ("Unknown token found [20004]", std::string(config.LastMessage()));
}

// Texts made of the syntax's own pieces in random order: whatever they hold, parsing and
// looking up stay inside the text and the tokens (checked for real in the sanitizer build).
TEST(ConfigFile, RandomTextsStayInBounds) {
    static const std::string pieces[] = {
        "a", "b", "l", "=", ";", ",", "{", "}", "1", "0x", "2.5", ".", "'", "\"", "\\",
        "/", "*", "\n", " ", "Pi", "'c'", "\"s\"", "\xC3", std::string(1, '\0'), "_e",
        "x[1].y", "99999999999999", "-", "//", "/*", "*/"};
    std::mt19937 rng(20240611u);
    const int pieceCount = (int)(sizeof pieces / sizeof pieces[0]);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int n = (int)(rng() % 40);
        if (round % 2 == 0) {
            for (int i = 0; i < n; ++i) text += pieces[rng() % pieceCount];
        } else {
            for (int i = 0; i < n; ++i) text += (char)(rng() & 0xFF);  // raw bytes
        }
        FILE* f = StreamOf(text);
        ASSERT_NE(nullptr, f);
        ConfigFile config;
        int result = config.Parse(f);
        std::fclose(f);
        ASSERT_TRUE(result == 0 || result == 2 || result == 5) << result << " for " << text;
        int i = 0;
        char ch = 0;
        float r = 0.0f, list[4];
        for (const char* name : {"a", "b", "l"}) {
            config.GetInt(name, &i);
            config.GetChar(name, &ch);
            config.GetReal(name, &r);
            config.GetListLength(name, &i);
            config.GetRealList(name, list, 4);
        }
    }
}

}  // namespace
