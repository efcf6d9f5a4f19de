// The table maker speaks with the Windows program's own words: its range
// messages and page texts must stay those of the resource script.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "table/text/big5_text.h"
#include "table/cli/messages.h"
#include "table/job/table_job.h"

namespace kestra {
namespace {

// NAME "text" lines of the string table.
std::map<std::string, std::string> resourceStrings() {
    std::map<std::string, std::string> strings;
    std::ifstream script(KESTRA_SOURCE_DIR "/res/kestra.rc");
    std::string line;
    while (std::getline(script, line)) {
        const size_t name = line.find_first_not_of(' ');
        const size_t open = line.find(" \"");
        if (name == std::string::npos || open == std::string::npos || line.back() != '"')
            continue;
        strings[line.substr(name, open - name)] = line.substr(open + 2, line.size() - open - 3);
    }
    return strings;
}

std::string utf8OfBig5(const char* text) {
    Big5Text big5;
    std::string utf8;
    for (char32_t c : big5.toUnicode(text, static_cast<int>(std::string(text).size())))
        appendUtf8(utf8, c);
    return utf8;
}

TEST(TableTexts, RangeMessagesInChineseAreTheRangeDialogsOwn) {
    const auto strings = resourceStrings();
    ASSERT_FALSE(strings.empty());
    const std::pair<const char*, Message> pairs[] = {
        {"IDS_INVALID_EUDC_CODE", Message::InvalidEudcCode},
        {"IDS_START_CODE_INCOMPLETE", Message::StartCodeIncomplete},
        {"IDS_END_CODE_INCOMPLETE", Message::EndCodeIncomplete},
        {"IDS_START_AFTER_END", Message::StartAfterEnd},
    };
    for (const auto& [id, message] : pairs)
        EXPECT_EQ(messageText(message, Language::Chinese), strings.at(id)) << id;
}

TEST(TableTexts, PageTextsAreTheStringTables) {
    const auto strings = resourceStrings();
    EXPECT_EQ(utf8OfBig5(kTablePageTexts.labelFace), strings.at("IDS_DEFAULT_FACE"));
    EXPECT_EQ(utf8OfBig5(kTablePageTexts.headerFormat), strings.at("IDS_PAGE_HEADER"));
    EXPECT_EQ(utf8OfBig5(kTablePageTexts.footerFormat), strings.at("IDS_PAGE_FOOTER"));
    EXPECT_EQ(utf8OfBig5(kTablePageTexts.codeHeading), strings.at("IDS_CODE_HEADING"));
}

TEST(TableTexts, LanguageFollowsTheFirstLocaleVariableSet) {
    EXPECT_EQ(languageFor("zh_TW.UTF-8", "C", "en_US"), Language::Chinese);
    EXPECT_EQ(languageFor("", "C", "zh_TW.UTF-8"), Language::English);
    EXPECT_EQ(languageFor(nullptr, "", "zh_TW.UTF-8"), Language::Chinese);
    EXPECT_EQ(languageFor("en_GB.UTF-8", "zh_TW", "zh_TW"), Language::English);
    EXPECT_EQ(languageFor(nullptr, nullptr, nullptr), Language::English);
}

TEST(TableTexts, OneIsCountedInTheSingular) {
    EXPECT_EQ(countedText(1, Counted::Glyphs, Language::English), "the glyph of 1 code");
    EXPECT_EQ(countedText(2, Counted::Entries, Language::English), "2 entries");
}

TEST(TableTexts, Big5AndUtf8MeetThroughCodePage950) {
    Big5Text big5;
    // ㄅ, the full-width space, a byte that begins no character and a cut lead byte.
    EXPECT_EQ(big5.toUnicode("\xA3\x74\xA1\x40\xFFx\xA4", 7),
              (std::u32string{0x3105, 0x3000, 0xFFFD, U'x', 0xFFFD}));
    // What code page 950 lacks travels escaped; a byte that is no UTF-8 is '?'.
    const std::string escaped = big5.fromUtf8("/srv/字型/😀.tte\xE4\xB8");
    EXPECT_EQ(escaped, "/srv/\xA6\x72\xAB\xAC/\xFF"
                       "01F600.tte??");
    EXPECT_EQ(escapedCharacter(escaped.data() + 10, kUnicodeEscapeLength), U'😀');
    EXPECT_EQ(escapedCharacter(escaped.data() + 10, kUnicodeEscapeLength - 1), 0u) << "cut short";
    EXPECT_EQ(decodeUtf8("a字😀\x80\xE4\xB8"),
              (std::u32string{U'a', U'字', U'😀', 0xFFFD, 0xFFFD, 0xFFFD}));
}

} // namespace
} // namespace kestra
