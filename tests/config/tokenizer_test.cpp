#include "config/tokenizer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Expected {
    int kind;
    int line;
    std::string text;  // identifier and string
    int intValue;      // integer and character
    float realValue;   // real
};

Expected Ident(const std::string& text, int line = 1) {
    return {TokenIdentifier, line, text, 0, 0.0f};
}
Expected Str(const std::string& text, int line = 1) { return {TokenString, line, text, 0, 0.0f}; }
Expected Int(int value, int line = 1) { return {TokenInteger, line, "", value, 0.0f}; }
Expected Chr(int value, int line = 1) { return {TokenCharacter, line, "", value, 0.0f}; }
Expected Real(float value, int line = 1) { return {TokenReal, line, "", 0, value}; }
Expected Punct(int kind, int line = 1) { return {kind, line, "", 0, 0.0f}; }
// Error tokens: the line is the token's first character, 0 for "nothing left".
Expected Err(int line = 1) { return {TokenError, line, "", 0, 0.0f}; }

struct TokenCase {
    const char* name;
    std::string input;
    std::vector<Expected> tokens;  // in order; an error token ends the list
    std::string message;           // last message after tokenizing; "" for none
    // Rows that check the message slot directly: report `report` on line `reportLine`.
    std::string report = "";
    int reportLine = 0;
};

std::string Repeat(char c, int count) { return std::string((size_t)count, c); }

const std::string kDigits255 = Repeat('7', 255);
const std::string kMessage251 = Repeat('m', 251);  // + " [7]" is 255 in all
const std::string kMessage252 = Repeat('m', 252);  // + " [7]" is 256: no suffix
const std::string kMessage300 = Repeat('m', 300);

const TokenCase kCases[] = {
    // Comments are removed wherever they stand.
    {"block comment joins", "a/* x */b", {Ident("ab")}, ""},
    {"line comment keeps its line feed", "a// x\nb", {Ident("a", 1), Ident("b", 2)}, ""},
    {"comment right after a comment delivers a slash", "/* a *//* b */", {Err(1)},
     "Unknown token found [1]"},
    {"slash star slash does not close", "/*/ x */y", {Ident("y")}, ""},
    {"block comment closing at the end", "x/**/", {Ident("x")}, ""},
    {"comment spanning lines counts its lines", "/* one\n two */ x", {Ident("x", 2)}, ""},
    {"line comments count lines", "// c\n\n  y", {Ident("y", 3)}, ""},
    {"slashes inside a string", "\"x//y\"\nz", {Err(1)}, "Newline in constant [2]"},
    {"unterminated block comment ends the input", "a\n/* x", {Ident("a")},
     "Comment into the end of file ! [2]"},
    {"lone slash", "a /", {Ident("a"), Err(1)}, "Unknown token found [1]"},

    // Numbers.
    {"hex", "0x1F 0X1f", {Int(31), Int(31)}, ""},
    {"hex with a point", "0x1.5", {Err(1)}, ""},
    {"leading zero is decimal", "017", {Int(17)}, ""},
    {"point first", ".5", {Real(0.5f)}, ""},
    {"second point stops the value", "1.2.3", {Real(1.2f)}, ""},
    {"lone point", ".", {Real(0.0f)}, ""},
    {"digits then letters", "12abc", {Int(12), Ident("abc")}, ""},
    {"no exponent", "1e5", {Int(1), Ident("e5")}, ""},
    {"no sign", "-5", {Err(1)}, "Unknown token found [1]"},
    {"plus", "+5", {Err(1)}, "Unknown token found [1]"},
    {"number at the very end is read once", "7", {Int(7)}, ""},
    {"zero at the very end", "0", {Int(0)}, ""},
    {"zero before a comment at the end", "0/* c */", {Int(0)}, ""},
    {"zero before a line comment", "0// c\n5", {Int(0, 1), Int(5, 2)}, ""},
    {"hex prefix alone", "0xg", {Int(0), Ident("g")}, ""},
    {"255 digits are accepted", kDigits255 + ";", {Int(2147483647), Punct(TokenSemicolon)}, ""},
    {"256 digits are too long", kDigits255 + "7", {Err(1)}, "Too long number found ! [1]"},
    {"hex counts stored digits after 0x", "0x" + Repeat('f', 254), {Int(-1)}, ""},
    {"hex of 256 stored digits", "0x" + Repeat('f', 255), {Err(1)},
     "Too long number found ! [1]"},
    {"decimal beyond 32 bits saturates", "99999999999", {Int(2147483647)}, ""},
    {"hex beyond 32 bits saturates", "0x123456789", {Int(-1)}, ""},

    // Named reals.
    {"Pi and _e", "Pi _e", {Real(3.1415927f), Real(2.7182817f)}, ""},
    {"other spellings stay names", "pi PI _e1", {Ident("pi"), Ident("PI"), Ident("_e1")}, ""},

    // Characters.
    {"character", "'a'", {Chr(97)}, ""},
    {"escaped line feed", "'\\n'", {Chr(10)}, ""},
    {"unknown escape gives 0 and goes on", "'\\q'", {Chr(0)},
     "Unknown escape sequence (skipping) [1]"},
    {"two characters", "'ab'", {Err(1)}, "Expected quotation mark not found [1]"},
    {"quote right after the opening quote", "'''", {Chr(39)}, ""},
    {"high byte is negative", "'\xE9'", {Chr(-23)}, ""},
    {"line feed in a character", "x\n'\n'", {Ident("x", 1), Err(2)},
     "Newline in constant [3]"},
    {"character cut by the end", "'a", {Err(1)}, "Unexpected end of file found [1]"},
    {"lone quote", "'", {Err(1)}, "Unexpected end of file found [1]"},

    // Strings.
    {"string", "\"hello world\"", {Str("hello world")}, ""},
    {"backslash zero adds nothing", "\"a\\0b\"", {Str("ab")}, ""},
    {"every escape", "\"\\\"\\'\\\\\\a\\b\\f\\n\\r\\t\\v\"", {Str("\"'\\\a\b\f\n\r\t\v")}, ""},
    {"unknown escape is skipped", "\"a\\qb\"", {Str("ab")},
     "Unknown escape sequence (skipping) [1]"},
    {"empty string", "\"\"", {Str("")}, ""},
    {"unterminated string", "\n\"abc", {Err(2)}, "Unexpected end of file found [2]"},
    {"line feed in a string", "\"ab\ncd\"", {Err(1)}, "Newline in constant [2]"},

    // Identifiers and punctuation.
    {"structured name is one identifier", "char[3].n_sign", {Ident("char[3].n_sign")}, ""},
    {"names are case-sensitive", "Abc abc", {Ident("Abc"), Ident("abc")}, ""},
    {"punctuation with lines", "{\n}\n;=,",
     {Punct(TokenOpenBrace, 1), Punct(TokenCloseBrace, 2), Punct(TokenSemicolon, 3),
      Punct(TokenAssign, 3), Punct(TokenComma, 3)},
     ""},
    {"statement", "n_Width = 800;",
     {Ident("n_Width"), Punct(TokenAssign), Int(800), Punct(TokenSemicolon)}, ""},
    {"parenthesis", "(", {Err(1)}, "Unknown token found [1]"},
    {"form feed is no whitespace", "\f", {Err(1)}, "Unknown token found [1]"},
    {"high byte cannot start a token", "\n\xC3\xA9", {Err(2)}, "Unknown token found [2]"},
    {"high byte ends an identifier", "ab\xC3", {Ident("ab"), Err(1)}, "Unknown token found [1]"},
    {"NUL byte reads as the end", std::string("ab \0cd", 6), {Ident("ab")}, ""},
    {"only whitespace", " \t\r\n ", {}, ""},

    // The message slot: suffix only when the whole fits in 255 characters.
    {"short message gets its line", "", {}, "Newline in constant [3]", "Newline in constant", 3},
    {"message just fitting", "", {}, kMessage251 + " [7]", kMessage251, 7},
    {"message one too long for the suffix", "", {}, kMessage252, kMessage252, 7},
    {"overlong message is cut", "", {}, Repeat('m', 255), kMessage300, 7},
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.name; }

class TokenizerTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerTable, DeliversTokensAndMessages) {
    const TokenCase& c = GetParam();
    Tokenizer tokenizer;
    ASSERT_EQ(1, tokenizer.LoadFromMemory(c.input.data(), c.input.size()));
    if (!c.report.empty()) tokenizer.ReportError(c.report.c_str(), c.reportLine);

    std::vector<Token> got;
    while (!tokenizer.AtEnd()) {
        got.push_back(tokenizer.NextToken());
        if (got.back().kind == TokenError) break;
    }

    ASSERT_EQ(c.tokens.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("token " + std::to_string(i));
        const Expected& e = c.tokens[i];
        EXPECT_EQ(e.kind, got[i].kind);
        EXPECT_EQ(e.line, got[i].line);
        EXPECT_EQ(e.intValue, got[i].intValue);
        EXPECT_EQ(e.realValue, got[i].realValue);
        if (e.kind == TokenIdentifier || e.kind == TokenString) {
            ASSERT_NE(nullptr, got[i].text);
            EXPECT_EQ(e.text, std::string(got[i].text));
        } else {
            EXPECT_EQ(nullptr, got[i].text);
        }
    }
    EXPECT_EQ(c.message, std::string(tokenizer.LastMessage()));
    EXPECT_LE(tokenizer.ReadPosition(), (int)c.input.size());
    for (Token& t : got) FreeTokenText(&t);
}

INSTANTIATE_TEST_SUITE_P(Cases, TokenizerTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TokenCase>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p) {
                                 n += (std::isalnum((unsigned char)*p) ? *p : '_');
                             }
                             return n;
                         });

TEST(Tokenizer, PiHasTheNearestFloatBits) {
    Tokenizer tokenizer;
    ASSERT_EQ(1, tokenizer.LoadFromMemory("Pi", 2));
    Token t = tokenizer.NextToken();
    unsigned bits;
    std::memcpy(&bits, &t.realValue, sizeof bits);
    EXPECT_EQ(0x40490FDBu, bits);
}

TEST(Tokenizer, ReadingStaysInsideTheText) {
    Tokenizer tokenizer;
    EXPECT_EQ(0, tokenizer.ReadChar());  // no text at all
    tokenizer.Unread();                  // never below the start
    EXPECT_EQ(0, tokenizer.ReadPosition());
    ASSERT_EQ(1, tokenizer.LoadFromMemory("ab", 2));
    tokenizer.Unread();
    EXPECT_EQ('a', tokenizer.ReadChar());
    EXPECT_EQ('b', tokenizer.ReadChar());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, tokenizer.ReadChar());
    EXPECT_EQ(2, tokenizer.ReadPosition());
    Token end = tokenizer.NextToken();
    EXPECT_EQ(TokenError, end.kind);
    EXPECT_STREQ("", tokenizer.LastMessage());
}

// The text is counted in a signed 32-bit length with room for its NUL: longer texts are
// refused before anything is copied, and the text held before is gone.
TEST(Tokenizer, ATextTooLongForItsLengthIsRefused) {
    Tokenizer tokenizer;
    for (size_t length : {(size_t)INT_MAX, (size_t)INT_MAX + 1, SIZE_MAX}) {
        ASSERT_EQ(1, tokenizer.LoadFromMemory("ab", 2));
        EXPECT_EQ(0, tokenizer.LoadFromMemory("ab", length)) << length;
        EXPECT_EQ(0, tokenizer.ReadChar()) << length;
    }
}

TEST(Tokenizer, AtEndKeepsThePosition) {
    Tokenizer tokenizer;
    const char text[] = "  /* c */ x";
    ASSERT_EQ(1, tokenizer.LoadFromMemory(text, std::strlen(text)));
    EXPECT_FALSE(tokenizer.AtEnd());
    EXPECT_EQ(0, tokenizer.ReadPosition());
    Token t = tokenizer.NextToken();
    EXPECT_TRUE(tokenizer.AtEnd());
    EXPECT_EQ((int)std::strlen(text), tokenizer.ReadPosition());
    FreeTokenText(&t);
}

}  // namespace
