// Which face draws the user's characters. The standard EUDC entry is no face of
// its own: its glyphs are the system default EUDC font's, which reach the page
// through the label face once the font command has removed that face's own link.
#pragma once

#include "eudc/big5_string.h"

namespace kestra {

// labelFace when fontFace names the standard EUDC entry, otherwise fontFace.
const char* glyphFaceFor(const char* fontFace, const char* labelFace,
                         const char* standardEudcLabel);

} // namespace kestra
