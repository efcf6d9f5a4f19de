#include "eudc/big5_string.h"

namespace kestra {
namespace {

unsigned char foldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

} // namespace

bool isBig5LeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (foldAscii(*a) != foldAscii(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}

void upperCaseAsciiLetters(char* text) {
    for (auto* p = reinterpret_cast<unsigned char*>(text); *p != '\0'; ++p) {
        if (isBig5LeadByte(*p)) {
            if (p[1] == '\0')
                return;
            ++p;
        } else if (*p >= 'a' && *p <= 'z') {
            *p = static_cast<unsigned char>(*p - 'a' + 'A');
        }
    }
}

} // namespace kestra
