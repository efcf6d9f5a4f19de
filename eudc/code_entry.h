// The rules for a code typed in hexadecimal and for a typed range of codes,
// shared by the print range dialog and the command-line table maker: a code is
// exactly four hexadecimal digits, in either case, naming an EUDC code.
#pragma once

#include <cstdint>

namespace kestra {

constexpr int kCodeTextLength = 4;

enum class CodeText {
    Partial,  // empty, or one to three hexadecimal digits: more may follow
    NotHex,   // holds a character that is no hexadecimal digit
    NotEudc,  // four digits naming no EUDC code
    Complete, // four digits naming an EUDC code
};

CodeText checkCodeText(const char* text);

// The low 16 bits of `text` read as hexadecimal; reading stops at the first
// character that is no hexadecimal digit.
uint16_t parseCodeText(const char* text);

enum class RangeText {
    Accepted,
    StartIncomplete,
    EndIncomplete,
    StartInvalid,
    EndInvalid,
    StartAfterEnd,
};

// Checks a start and an end text in the order the range dialog reports them:
// completeness of each, then validity, then order. On Accepted, `start` and
// `end` hold the codes.
RangeText checkRangeTexts(const char* startText, const char* endText, uint16_t& start,
                          uint16_t& end);

struct PrintSpan {
    uint16_t startIndex = 0; // in PUA order when printing all, else in code order
    uint16_t count = 0;
};

// What a choice prints: every code in PUA order, or startCode..endCode in code
// order. A range that is not two EUDC codes in order prints nothing.
PrintSpan printSpanFor(bool printAll, uint16_t startCode, uint16_t endCode);

} // namespace kestra
