#include "eudc/code_entry.h"

#include <cstring>

#include "eudc/code_space.h"

namespace kestra {
namespace {

const char kHexDigits[] = "1234567890abcdefABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A range end that is not complete is reported before one that is invalid,
// as OK in the range dialog does.
bool isComplete(const char* text) {
    return std::strlen(text) == kCodeTextLength;
}

} // namespace

CodeText checkCodeText(const char* text) {
    const size_t length = std::strlen(text);
    if (std::strspn(text, kHexDigits) != length)
        return CodeText::NotHex;
    if (length != kCodeTextLength)
        return CodeText::Partial;
    return isEudcCode(parseCodeText(text)) ? CodeText::Complete : CodeText::NotEudc;
}

uint16_t parseCodeText(const char* text) {
    uint16_t code = 0;
    for (int digit; (digit = hexValue(*text)) >= 0; ++text)
        code = static_cast<uint16_t>((code << 4) | digit);
    return code;
}

RangeText checkRangeTexts(const char* startText, const char* endText, uint16_t& start,
                          uint16_t& end) {
    if (!isComplete(startText))
        return RangeText::StartIncomplete;
    if (!isComplete(endText))
        return RangeText::EndIncomplete;
    if (checkCodeText(startText) != CodeText::Complete)
        return RangeText::StartInvalid;
    if (checkCodeText(endText) != CodeText::Complete)
        return RangeText::EndInvalid;
    const uint16_t first = parseCodeText(startText);
    const uint16_t last = parseCodeText(endText);
    if (last < first)
        return RangeText::StartAfterEnd;
    start = first;
    end = last;
    return RangeText::Accepted;
}

PrintSpan printSpanFor(bool printAll, uint16_t startCode, uint16_t endCode) {
    if (printAll)
        return {0, kEudcCodeCount};
    const uint16_t first = codeToCodeOrderIndex(startCode);
    const uint16_t last = codeToCodeOrderIndex(endCode);
    if (first == kNoCode || last == kNoCode || last < first)
        return {};
    return {first, static_cast<uint16_t>(last - first + 1)};
}

} // namespace kestra
