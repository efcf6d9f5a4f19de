#include "print/text_format.h"
#include "print/glyph_face.h"
#include "print/ime_headings.h"

#include "eudc/app_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kestra {
namespace {

std::string format(const char* pattern, std::initializer_list<const char*> fields, int size = 64) {
    char out[400];
    std::memset(out, '#', sizeof out);
    const int length =
        formatFields(out, size, pattern, fields.begin(), static_cast<int>(fields.size()));
    EXPECT_EQ(length, static_cast<int>(std::strlen(out)));
    EXPECT_EQ(out[size], '#') << "wrote past the buffer";
    return out;
}

TEST(FormatFields, FillsFieldsInOrder) {
    EXPECT_EQ(format("a%sb%sc", {"1", "22"}), "a1b22c");
    EXPECT_EQ(format("\xB2\xC4 %d \xAD\xB6", {"7"}), "\xB2\xC4 7 \xAD\xB6");
    EXPECT_EQ(format("100%%", {}), "100%");
}

TEST(FormatFields, TemplateAskingForMoreThanGivenStaysSafe) {
    EXPECT_EQ(format("%s/%s/%d", {"x"}), "x//");
    EXPECT_EQ(format("%x %n %", {"unused"}), "%x %n %");
}

TEST(FormatFields, NeverWritesPastTheBuffer) {
    EXPECT_EQ(format("abc%s", {"defghij"}, 5), "abcd");
    EXPECT_EQ(format("%s", {"abcdef"}, 1), "");
}

TEST(GlyphFace, StandardEntryDrawsInTheLabelFace) {
    const char* label = "\xB2\xD3\xA9\xFA\xC5\xE9";            // 細明體
    const char* standard = "\xBC\xD0\xB7\xC7\xB3\x79\xA6\x72"; // 標準造字
    const char* other = "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9";    // 新細明體
    EXPECT_STREQ(glyphFaceFor(standard, label, standard), label);
    EXPECT_STREQ(glyphFaceFor(other, label, standard), other);
    EXPECT_STREQ(glyphFaceFor("", label, standard), "");
}

TEST(ImeHeadings, KnownLayoutsByIdOthersByTheirOwnName) {
    ImeRecord ime;
    ime.layoutId = 0xE0090404;
    copyBounded(ime.layoutText, "X");
    EXPECT_STREQ(imeHeading(ime), "\xB7\x73\xAD\xDC\xBE\x65"); // 新倉頡
    ime.layoutId = 0xE0030404;
    EXPECT_STREQ(imeHeading(ime), "\xB3\x74\xA6\xA8"); // 速成
    ime.layoutId = 0xE0070404;
    EXPECT_STREQ(imeHeading(ime), "X");
}

} // namespace
} // namespace kestra
