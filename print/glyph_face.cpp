#include "print/glyph_face.h"

namespace kestra {
const char* glyphFaceFor(const char* fontFace, const char* labelFace,
                         const char* standardEudcLabel) {
    return equalsIgnoringAsciiCase(fontFace, standardEudcLabel) ? labelFace : fontFace;
}

} // namespace kestra
