#include "eudc/big5_string.h"

#include <gtest/gtest.h>

#include "eudc/app_state.h"

namespace kestra {
namespace {

TEST(Big5String, OnlyAsciiLettersFold) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } const cases[] = {
        {"MingLiU", "mingliu", true},
        {"AZ", "az", true},                             // both ends of the letters
        {"\xAD\xDC\xBE\x65", "\xAD\xDC\xBE\x45", true}, // as _stricmp
        {"@", "`", false},                              // the bytes just before 'A' and 'a'
        {"[", "{", false},                              // and just after 'Z' and 'z'
        {"\xC1", "\xE1", false},                        // Latin-1 case pair: not folded
        {"abc", "abcd", false},
        {"abcd", "abc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " " << c.b;
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
        {"`az{", "`AZ{"},   // the letters' ends and the bytes around them
        // The first and last lead bytes keep a letter trail as it is; the bytes
        // around them lead nothing.
        {"\x81\x61z", "\x81\x61Z"},
        {"\xFE\x7Az", "\xFE\x7AZ"},
        {"\x80\x61", "\x80\x41"},
        {"\xFF\x7A", "\xFF\x5A"},
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
