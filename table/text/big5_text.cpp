#include "table/text/big5_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "eudc/big5_string.h"

namespace kestra {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The code point of the UTF-8 sequence at text (`available` bytes on), and
// its length in width; kReplacement, one byte wide, where no well-formed
// sequence begins.
char32_t utf8CodePoint(const char* text, size_t available, size_t& width) {
    const auto lead = static_cast<unsigned char>(text[0]);
    width = 1;
    if (lead < 0x80)
        return lead;
    const size_t length = lead >= 0xF8   ? 0
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 0;
    if (length == 0 || length > available)
        return kReplacement;
    char32_t codePoint = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        if ((byte & 0xC0) != 0x80)
            return kReplacement;
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint < 0xE000))
        return kReplacement;
    width = length;
    return codePoint;
}

int hexDigitValue(char c) {
    for (int value = 0; value < 16; ++value) {
        if (kHexDigits[value] == c)
            return value;
    }
    return -1;
}

// Converts one character of `width` bytes; false when it has no counterpart.
bool convertOne(iconv_t converter, const char* in, size_t width, char* out, size_t& outLength) {
    char* inPointer = const_cast<char*>(in);
    size_t inLeft = width;
    char* outPointer = out;
    size_t outLeft = outLength;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1))
        return false;
    outLength -= outLeft;
    return inLeft == 0;
}

} // namespace

Big5Text::Big5Text()
    : toUnicode_(iconv_open("UTF-32LE", "CP950")), fromUtf8_(iconv_open("CP950", "UTF-8")) {}

Big5Text::~Big5Text() {
    if (toUnicode_ != kNoConverter)
        iconv_close(toUnicode_);
    if (fromUtf8_ != kNoConverter)
        iconv_close(fromUtf8_);
}

std::u32string Big5Text::toUnicode(const char* text, int length) {
    std::u32string result;
    for (int i = 0; i < length;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            result.push_back(byte);
            ++i;
            continue;
        }
        const size_t width = isBig5LeadByte(byte) && i + 1 < length ? 2 : 1;
        unsigned char out[8];
        size_t outLength = sizeof out;
        const bool converted =
            toUnicode_ != kNoConverter &&
            convertOne(toUnicode_, text + i, width, reinterpret_cast<char*>(out), outLength) &&
            outLength == 4;
        result.push_back(converted ? static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                                           (out[3] << 24))
                                   : kReplacement);
        i += static_cast<int>(width);
    }
    return result;
}

std::string Big5Text::fromUtf8(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            result.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        size_t width = 1;
        const char32_t character = utf8CodePoint(text.data() + i, text.size() - i, width);
        char out[8];
        size_t outLength = sizeof out;
        if (character == kReplacement) {
            result.push_back('?');
        } else if (fromUtf8_ != kNoConverter &&
                   convertOne(fromUtf8_, text.data() + i, width, out, outLength)) {
            result.append(out, outLength);
        } else {
            appendEscape(result, character);
        }
        i += width;
    }
    return result;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::u32string decodeUtf8(const std::string& text) {
    std::u32string result;
    for (size_t i = 0; i < text.size();) {
        size_t width = 1;
        result.push_back(utf8CodePoint(text.data() + i, text.size() - i, width));
        i += width;
    }
    return result;
}

void appendEscape(std::string& out, char32_t character) {
    out.push_back(kUnicodeEscape);
    for (int shift = 20; shift >= 0; shift -= 4)
        out.push_back(kHexDigits[(character >> shift) & 0xF]);
}

std::string codePointName(char32_t character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
    return name;
}

char32_t escapedCharacter(const char* text, int length) {
    if (length < kUnicodeEscapeLength || text[0] != kUnicodeEscape)
        return 0;
    char32_t character = 0;
    for (int k = 1; k < kUnicodeEscapeLength; ++k) {
        const int digit = hexDigitValue(text[k]);
        if (digit < 0)
            return 0;
        character = (character << 4) | static_cast<char32_t>(digit);
    }
    return character;
}

int characterLength(const char* text, int length) {
    if (escapedCharacter(text, length) != 0)
        return kUnicodeEscapeLength;
    return isBig5LeadByte(static_cast<unsigned char>(text[0])) && length > 1 ? 2 : 1;
}

} // namespace kestra
