#include "eudc/code_entry.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

struct CodeTextCase {
    const char* text;
    CodeText expected;
};

TEST(CodeEntry, TypedCodeTextsAreWaitedForAcceptedOrRefused) {
    const CodeTextCase cases[] = {
        {"", CodeText::Partial},      {"f", CodeText::Partial},     {"fa4", CodeText::Partial},
        {"fa40", CodeText::Complete}, {"FEFE", CodeText::Complete}, {"8140", CodeText::Complete},
        {"8DFE", CodeText::Complete}, {"C6A1", CodeText::Complete}, {"c8fe", CodeText::Complete},
        {"C6A0", CodeText::NotEudc},  {"C640", CodeText::NotEudc},  {"813F", CodeText::NotEudc},
        {"FF40", CodeText::NotEudc},  {"8DFF", CodeText::NotEudc},  {"G", CodeText::NotHex},
        {"fa4g", CodeText::NotHex},   {"fa 4", CodeText::NotHex},   {"\xA4\x40", CodeText::NotHex},
        {"fa40x", CodeText::NotHex},  {"-A40", CodeText::NotHex},
    };
    for (const CodeTextCase& c : cases)
        EXPECT_EQ(checkCodeText(c.text), c.expected) << '"' << c.text << '"';
}

TEST(CodeEntry, ParsesEitherCaseAndStopsAtTheFirstNonDigit) {
    EXPECT_EQ(parseCodeText("fa40"), 0xFA40);
    EXPECT_EQ(parseCodeText("C6a1"), 0xC6A1);
    EXPECT_EQ(parseCodeText("8e4"), 0x8E4);
    EXPECT_EQ(parseCodeText("12x4"), 0x12);
    EXPECT_EQ(parseCodeText(""), 0);
}

struct RangeCase {
    const char* start;
    const char* end;
    RangeText expected;
};

TEST(CodeEntry, RangesAreCheckedForCompletenessThenValidityThenOrder) {
    const RangeCase cases[] = {
        {"fa4", "fe", RangeText::StartIncomplete},  {"", "FEFE", RangeText::StartIncomplete},
        {"FA40", "FEF", RangeText::EndIncomplete},  {"C640", "fe", RangeText::EndIncomplete},
        {"C640", "FEFE", RangeText::StartInvalid},  {"FA40", "FF40", RangeText::EndInvalid},
        {"fa4g", "FEFE", RangeText::StartInvalid},  {"FEFE", "FA40", RangeText::StartAfterEnd},
        {"FA41", "FA40", RangeText::StartAfterEnd},
    };
    for (const RangeCase& c : cases) {
        uint16_t start = 1, end = 2;
        EXPECT_EQ(checkRangeTexts(c.start, c.end, start, end), c.expected)
            << c.start << "-" << c.end;
        EXPECT_EQ(start, 1) << "left alone when refused";
        EXPECT_EQ(end, 2);
    }
    uint16_t start = 0, end = 0;
    ASSERT_EQ(checkRangeTexts("fa40", "FA40", start, end), RangeText::Accepted);
    EXPECT_EQ(start, 0xFA40);
    EXPECT_EQ(end, 0xFA40);
}

struct SpanCase {
    bool printAll;
    uint16_t start;
    uint16_t end;
    uint16_t startIndex;
    uint16_t count;
};

TEST(CodeEntry, PrintSpanCoversTheChoiceInItsOrder) {
    const SpanCase cases[] = {
        {true, 0, 0, 0, 6217}, // all codes, whatever range was typed
        {true, 0xC6A1, 0xC8FE, 0, 6217},
        {false, 0xFA40, 0xFEFE, 5432, 785}, // the last range in code order
        {false, 0x8140, 0xFEFE, 0, 6217},   // the whole space in code order
        {false, 0xC8FE, 0xC8FE, 5431, 1},   // one code: the last before FA40
        {false, 0xC640, 0xFEFE, 0, 0},      // not an EUDC code: nothing
        {false, 0xFEFE, 0xFA40, 0, 0},      // reversed: nothing
    };
    for (const SpanCase& c : cases) {
        const PrintSpan span = printSpanFor(c.printAll, c.start, c.end);
        EXPECT_EQ(span.count, c.count) << std::hex << c.start << "-" << c.end;
        EXPECT_EQ(span.startIndex, c.startIndex) << std::hex << c.start << "-" << c.end;
    }
}

} // namespace
} // namespace kestra
