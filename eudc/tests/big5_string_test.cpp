#include "eudc/big5_string.h"

#include <gtest/gtest.h>

#include "eudc/app_state.h"

namespace kestra {
namespace {

TEST(Big5String, OnlyAsciiLettersFold) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("MingLiU", "mingliu"));
    EXPECT_TRUE(equalsIgnoringAsciiCase("\xAD\xDC\xBE\x65", "\xAD\xDC\xBE\x45")); // as _stricmp
    EXPECT_FALSE(equalsIgnoringAsciiCase("\xC1", "\xE1")); // Latin-1 case pair: not folded
    EXPECT_FALSE(equalsIgnoringAsciiCase("[", "{"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("abc", "abcd"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("abcd", "abc"));
}

TEST(Big5String, UpperCasingLeavesDoubleByteCharactersWhole) {
    struct Case {
        const char* path;
        const char* expected;
    } const cases[] = {
        {"c:\\fonts\\eudc.tte", "C:\\FONTS\\EUDC.TTE"},
        // 字 is A6 72 and 造 is B3 79: their second bytes read as 'r' and 'y'.
        {"d:\\\xA6\x72\xB3\x79\\a.tte", "D:\\\xA6\x72\xB3\x79\\A.TTE"},
        {"x\xA6", "X\xA6"}, // a lead byte cut off at the end
    };
    for (const Case& c : cases) {
        char text[64];
        copyBounded(text, c.path);
        upperCaseAsciiLetters(text);
        EXPECT_STREQ(text, c.expected);
    }
}

} // namespace
} // namespace kestra
