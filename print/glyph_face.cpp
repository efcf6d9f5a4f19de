#include "print/glyph_face.h"

namespace kestra {
namespace {

unsigned char foldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

} // namespace

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (foldAscii(*a) != foldAscii(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}

const char* glyphFaceFor(const char* fontFace, const char* labelFace,
                         const char* standardEudcLabel) {
    return equalsIgnoringAsciiCase(fontFace, standardEudcLabel) ? labelFace : fontFace;
}

} // namespace kestra
