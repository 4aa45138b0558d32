// The game's Czech texts are code page 1250 bytes; the Windows build shows them through
// MessageBoxW after widening them, so they read right whatever the system's code page.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/widen_1250.h"

namespace {

struct Case {
    const char* name;
    const char* bytes;
    const wchar_t* expected;
};

class Widen1250Cases : public testing::TestWithParam<Case> {};

TEST_P(Widen1250Cases, MatchesTheCodePage) {
    const Case& c = GetParam();
    std::vector<wchar_t> wide = Widen1250(c.bytes);
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide.back(), L'\0') << "the result is a terminated string";
    EXPECT_EQ(std::wstring(wide.data()), std::wstring(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Widen1250Cases,
    testing::Values(Case{"ascii", "Game Over", L"Game Over"},
                    // The game-over text: r with caron and i with acute differ from code page 1252.
                    Case{"game_over_words", "Poda\xF8ilo se ti sesb\xEDrat",
                         L"Poda\u0159ilo se ti sesb\u00EDrat"},
                    // Letters that sit where 1252 has other letters or punctuation.
                    Case{"caron_letters", "\x8A\x9A\x8E\x9E\xC8\xE8",
                         L"\u0160\u0161\u017D\u017E\u010C\u010D"},
                    Case{"ring_and_ogonek", "\xD9\xF9\xA5\xB9", L"\u016E\u016F\u0104\u0105"},
                    Case{"line_breaks_kept", "a :\n1\n", L"a :\n1\n"}, Case{"empty", "", L""}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Widen1250, NullIsAnEmptyText) {
    std::vector<wchar_t> wide = Widen1250(nullptr);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], L'\0');
}

}  // namespace
