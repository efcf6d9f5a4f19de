#include "table/big5_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "eudc/big5_string.h"

namespace kestra {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The length of the UTF-8 sequence that begins with c, 1 for a stray byte.
size_t utf8Length(unsigned char c) {
    if (c >= 0xF0)
        return 4;
    if (c >= 0xE0)
        return 3;
    if (c >= 0xC0)
        return 2;
    return 1;
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
        const size_t width = std::min(utf8Length(byte), text.size() - i);
        char out[8];
        size_t outLength = sizeof out;
        if (fromUtf8_ != kNoConverter &&
            convertOne(fromUtf8_, text.data() + i, width, out, outLength))
            result.append(out, outLength);
        else
            result.push_back('?');
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

} // namespace kestra
